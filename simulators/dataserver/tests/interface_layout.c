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
