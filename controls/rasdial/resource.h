#pragma once

#define IDS_PROJNAME 100
#define IDB_RASDIAL 101
#define IDR_RASDIAL 102
