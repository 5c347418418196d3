#pragma once

#define IDS_PROJNAME 100
#define IDR_LISTORA 101
#define IDB_LISTORA 102
