#pragma once

namespace tp {

// Whether the desktop has a notification area to hold the program's icon. A
// window sent to the tray where there is none could never be brought back.
class TrayHost {
public:
    virtual ~TrayHost() = default;
    virtual bool available() const = 0;
};

class QtTrayHost final : public TrayHost {
public:
    bool available() const override;
};

} // namespace tp
