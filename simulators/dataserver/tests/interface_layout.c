/* The slot order of IBarCodeReaderConfig is what callers rely on: they reach
   Initialize as the first method after IUnknown and DownloadBarcodeReader as
   the sixteenth. Checked on the C view of the interface. */
#define CINTERFACE
#include <stddef.h>

#include "HVTDataServer.h"

_Static_assert(offsetof(IBarCodeReaderConfigVtbl, QueryInterface) == 0 * sizeof(void*),
               "IUnknown comes first");
_Static_assert(offsetof(IBarCodeReaderConfigVtbl, Initialize) == 3 * sizeof(void*),
               "Initialize is the first method after IUnknown");
_Static_assert(offsetof(IBarCodeReaderConfigVtbl, DownloadBarcodeReader) == 18 * sizeof(void*),
               "DownloadBarcodeReader is the sixteenth method after IUnknown");
_Static_assert(sizeof(IBarCodeReaderConfigVtbl) == 19 * sizeof(void*),
               "no slot after DownloadBarcodeReader");

/* The reader interfaces of the same object: the barcode control reaches Open
   as the first method after IUnknown and ControlLED as the ninth, and
   IReaderQueue's QueryData as the seventh. */
_Static_assert(offsetof(IReaderDeviceVtbl, Open) == 3 * sizeof(void*), "Open comes first");
_Static_assert(offsetof(IReaderDeviceVtbl, Read) == 4 * sizeof(void*), "Read is second");
_Static_assert(offsetof(IReaderDeviceVtbl, CancelRead) == 5 * sizeof(void*), "CancelRead");
_Static_assert(offsetof(IReaderDeviceVtbl, GetAttribute) == 6 * sizeof(void*), "GetAttribute");
_Static_assert(offsetof(IReaderDeviceVtbl, SetAttribute) == 7 * sizeof(void*), "SetAttribute");
_Static_assert(offsetof(IReaderDeviceVtbl, ControlScanner) == 8 * sizeof(void*), "ControlScanner");
_Static_assert(offsetof(IReaderDeviceVtbl, IssueBeeps) == 9 * sizeof(void*), "IssueBeeps");
_Static_assert(offsetof(IReaderDeviceVtbl, ControlLED) == 11 * sizeof(void*),
               "ControlLED is the ninth method after IUnknown");
_Static_assert(offsetof(IReaderQueueVtbl, QueryData) == 9 * sizeof(void*),
               "QueryData is the seventh method after IUnknown");
_Static_assert(sizeof(ReadInfo) == 30, "the read info record is 30 bytes");
_Static_assert(offsetof(ReadInfo, time) == 14, "the time of the read at offset 14");
_Static_assert(sizeof(GridRecord) == 76, "the grid record is 76 bytes");
_Static_assert(offsetof(GridRecord, symbologyMask) == 68, "the mask at offset 68");
_Static_assert(sizeof(BeepRecord) == 10, "the beep record is 10 bytes");
