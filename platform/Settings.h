#pragma once
// The user's choices that outlast a run (the copy format, ...), as text
// under a key. Windows get it through Services and never open a settings
// file of their own, so that tests can hand them an empty one.
#include <QString>

#include <memory>

class QSettings;

namespace tp {

class Settings {
public:
    virtual ~Settings() = default;
    // Empty when the key was never set.
    virtual QString value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QString& value) = 0;
};

// The user's configuration folder ($XDG_CONFIG_HOME/tintpick/tintpick.ini,
// ~/.config when unset), never the program's own folder, which an installed
// program cannot write and which several users may share.
class QtSettings final : public Settings {
public:
    QtSettings();
    ~QtSettings() override;
    QString value(const QString& key) const override;
    void setValue(const QString& key, const QString& value) override;
    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace tp
