#pragma once
#include <QString>
#include <QStringList>

namespace tp {

// Opening a web address or local page in the user's default browser.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QString& url) = 0;
};

class QtShell final : public Shell {
public:
    bool openUrl(const QString& url) override;
};

} // namespace tp
