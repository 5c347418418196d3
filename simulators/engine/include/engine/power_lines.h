// The scan engine's power and flash-mode lines as the terminal drives them:
// bits of the shared HCR0 state that both hardware paths (the "SYI1:" driver
// and the register itself) set and clear.
#pragma once

#include "engine/line_state.h"

namespace engine {

// The engine runs its boot loader only when it was powered up while the
// flash-mode line was set; it goes deaf when powered down or switched to
// scanning mode, and switching to flash mode while powered does not wake it.
// One engine thread samples the lines; the object is not shared between
// threads.
class TerminalLines final : public LineState {
public:
    bool Powered() const override;
    bool FlashMode() const override;

private:
    void Sample() const;

    mutable bool sampled_ = false;
    mutable bool powered_ = false;
    mutable bool bootLoader_ = false; // powered up in flash mode, still in it
};

} // namespace engine
