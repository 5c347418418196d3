// The setup library that the application installer calls around installing
// and removing the upgrade utility's package.
#pragma once

#include <windows.h>

extern "C" {

// What each call tells the installer; these calls only ever continue.
enum codeINSTALL_INIT { codeINSTALL_INIT_CONTINUE = 0, codeINSTALL_INIT_CANCEL };
enum codeINSTALL_EXIT { codeINSTALL_EXIT_DONE = 0, codeINSTALL_EXIT_UNINSTALL };
enum codeUNINSTALL_INIT { codeUNINSTALL_INIT_CONTINUE = 0, codeUNINSTALL_INIT_CANCEL };
enum codeUNINSTALL_EXIT { codeUNINSTALL_EXIT_DONE = 0 };

codeINSTALL_INIT WINAPI Install_Init(HWND hwndParent, BOOL fFirstCall, BOOL fPreviouslyInstalled,
                                     LPCWSTR pszInstallDir);

// Starts the freshly installed upgrade utility and keeps "q4muperr.log" in
// the install folder.
codeINSTALL_EXIT WINAPI Install_Exit(HWND hwndParent, LPCWSTR pszInstallDir, WORD cFailedDirs,
                                     WORD cFailedFiles, WORD cFailedRegKeys, WORD cFailedRegVals,
                                     WORD cFailedShortcuts);

codeUNINSTALL_INIT WINAPI Uninstall_Init(HWND hwndParent, LPCWSTR pszInstallDir);

// Deletes the install log and the utility log from the storage card.
codeUNINSTALL_EXIT WINAPI Uninstall_Exit(HWND hwndParent);

typedef codeINSTALL_INIT(WINAPI* InstallInitFunction)(HWND, BOOL, BOOL, LPCWSTR);
typedef codeINSTALL_EXIT(WINAPI* InstallExitFunction)(HWND, LPCWSTR, WORD, WORD, WORD, WORD, WORD);
typedef codeUNINSTALL_INIT(WINAPI* UninstallInitFunction)(HWND, LPCWSTR);
typedef codeUNINSTALL_EXIT(WINAPI* UninstallExitFunction)(HWND);
}
