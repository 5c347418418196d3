// Resource identifiers of the upgrade utility.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_Q4MUPGRADEUTILITY_DIALOG 102

#define IDC_DRIVER_PATH 1010
#define IDC_IMAGE_PATH 1011
#define IDC_EXIT 1013
#define IDC_DEVICE_LIST 1020
#define IDC_UPGRADE 1022
#define IDC_DRIVER_BROWSE 1023
#define IDC_IMAGE_BROWSE 1024
#define IDC_STATUS 1025

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
