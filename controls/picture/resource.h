#pragma once

#define IDS_PROJNAME 100
#define IDR_PICTUREVORP 101
#define IDR_FONTVORP 102
