// What the terminal's power and flash-mode lines tell the scan engine. The
// engine runs its boot loader only while it is powered up in flash mode; a
// power-up in flash mode starts the boot loader afresh.
#pragma once

namespace engine {

class LineState {
public:
    virtual ~LineState() = default;
    virtual bool Powered() const = 0;
    virtual bool FlashMode() const = 0;
};

// Lines held powered up in flash mode: the engine listens from the start.
class AlwaysInFlashMode final : public LineState {
public:
    bool Powered() const override { return true; }
    bool FlashMode() const override { return true; }
};

} // namespace engine
