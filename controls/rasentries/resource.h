#pragma once

#define IDS_PROJNAME 100
#define IDB_RASENTRIES 101
#define IDR_RASENTRIES 102
