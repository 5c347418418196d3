// The flash download protocol with the scan engine: auto-baud, driver
// download to the boot loader, the flash driver's commands, and the upgrade
// and extract sequences built from them. Everything works on a port handle
// that the caller has opened and configured (38400 8N1, no flow control);
// operations return 0 for success and non-zero for failure unless said
// otherwise. Paths are multibyte, at most 255 characters.
#pragma once

#include <windows.h>

// Status codes of the sequences that the entry points return.
constexpr LONG Q4M_SUCCESS = 0;
constexpr LONG Q4M_FAILURE = static_cast<LONG>(0x80004005);

// The flash driver's version string, its NUL included, is at most this long.
constexpr DWORD MaximumReceivedString = 128;

// Primitives.
void send_byte(HANDLE port, BYTE value);
void send_word(HANDLE port, WORD value);
void send_dword(HANDLE port, DWORD value);
int receive_byte(HANDLE port, BYTE* value);
int expect_byte(HANDLE port, BYTE expected, BYTE* value);
int receive_ack_word(HANDLE port, WORD* value);
int receive_ack_dword(HANDLE port, DWORD* value);
int receive_string(HANDLE port, char* buffer, DWORD maximum);
DWORD weighted_checksum(const WORD* words, DWORD count);

// Flash driver commands.
int ack_mode_cmd(HANDLE port);
int flash_init_cmd(HANDLE port, DWORD* flashSize, char* version, DWORD maximum);
int remove_driver_cmd(HANDLE port);
int software_version_cmd(HANDLE port, WORD fourWords[4], char* version, DWORD maximum);
int erase_all_cmd(HANDLE port);
int read_block_cmd(HANDLE port, DWORD wordCount, DWORD wordAddress, WORD* words, DWORD* wordsRead);
int write_block_cmd(HANDLE port, DWORD wordCount, DWORD wordAddress, const WORD* words);
int write_same_word_cmd(HANDLE port, DWORD wordCount, DWORD wordAddress, WORD word);

// Sequences.
int baud_rate_autodetec(HANDLE port);
int tst_file_exists(const char* path);
int download_flash_driver(HANDLE port, const char* driverPath);
// `version`, when given, receives the flash driver's version string (cut to
// `versionMaximum` bytes with its NUL).
int download_correct_flash_driver(HANDLE port, const char* driverPath, int driverNumber,
                                  DWORD* flashSize, int ackMode, char* version = nullptr,
                                  DWORD versionMaximum = 0);
int flash_memory_initialization(HANDLE port, DWORD* flashSize, const char* driverPath,
                                char* version, DWORD maximum);
int erase_flash(HANDLE port);
int DetermineFirmwareFileFormat(const char* imagePath);
int check_image_fits(DWORD flashSize, const char* imagePath);
int write_flash(HANDLE port, DWORD flashSize, const char* imagePath);
int read_flash(HANDLE port, DWORD flashSize, const char* hostCopyPath);
LONG Upgrade(HANDLE port, const char* driverPath, const char* imagePath);
