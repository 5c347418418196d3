#include "engine/power_lines.h"

#include "ceplatform.h"

namespace engine {

void TerminalLines::Sample() const {
    DWORD hcr0 = ::TerminalGetHcr0();
    bool powered = (hcr0 & HCR0_SCAN_POWER_OFF) == 0;
    bool flashMode = (hcr0 & HCR0_SCAN_FLASH_MODE) != 0;
    if (!sampled_) {
        // Lines found already up count as a power-up at the engine's start.
        bootLoader_ = powered && flashMode;
        sampled_ = true;
    } else if (powered && !powered_) {
        bootLoader_ = flashMode;
    } else if (!powered || !flashMode) {
        bootLoader_ = false;
    }
    powered_ = powered;
}

bool TerminalLines::Powered() const {
    Sample();
    return powered_;
}

bool TerminalLines::FlashMode() const {
    Sample();
    return bootLoader_;
}

} // namespace engine
