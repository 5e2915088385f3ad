#pragma once

namespace tp {

// The system's default beep, sounded when a control refuses a keystroke.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

class QtBeeper final : public Beeper {
public:
    void beep() override;
};

} // namespace tp
