// Power and mode requests for the scan engine, each through a sysIo object of
// its own and followed by a settle time. Failures are logged and raised as
// events; the caller's run goes on.
#pragma once

void PowerDownScanner();
void PowerUpScanner();
// 1 = flash (download) mode, 0 = scanning mode.
void SetScannerMode(int mode);

// How long the engine is given to change state after every request.
constexpr unsigned ScannerSettleMs = 500;
