#pragma once
// Which colour library the program uses: the local file by default, another
// file, or a team library on a database server; chosen by --library for one
// run, or in the "颜色库位置" dialog and kept in the settings. Owns the store
// in use and keeps dmMain pointing at it.
#include "base/AppPaths.h"
#include "library/ColorStore.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace tp {

class Settings;

// A store for a location: empty is the file the lookup finds; a server
// location (IsServerLocation) its server; anything else a file of that name,
// which is used as it is and never created.
std::unique_ptr<ColorStore> MakeColorStore(const QString& location, const StoreLookup& lookup);

class TLibraryChoice : public QObject {
    Q_OBJECT
public:
    // The settings key of the chosen location.
    static const char* const SettingsKey;

    // forThisRun: --library's value, which wins over the settings (and is
    // not kept in them). onCreated: told of a local store the lookup made.
    TLibraryChoice(Settings* settings, StoreLookup lookup, QString forThisRun,
                   std::function<void(const QString&)> onCreated = {});
    ~TLibraryChoice() override;

    ColorStore& store() const { return *store_; }
    // The location in use; empty for the local file.
    QString location() const { return location_; }
    // How captions name the library when it is not the local file; empty
    // for the local file.
    QString shownName() const;
    // Why the library of the settings or the command line is not the one
    // in use (this build cannot reach it); empty when it is.
    QString startupProblem() const { return problem_; }

    // Tries the location (empty: the local file) as every use would:
    // connects and checks its table. Throws StoreError and changes nothing
    // when that fails; otherwise the library is used from now on and kept
    // in the settings.
    void Choose(const QString& location);

signals:
    void changed();

private:
    void Use(std::unique_ptr<ColorStore> store, const QString& location);
    void ReleaseRetired();
    Settings* settings_;
    StoreLookup lookup_;
    std::function<void(const QString&)> onCreated_;
    std::unique_ptr<ColorStore> store_;
    // Stores replaced while a window may still use them (the browser from
    // which the dialog was opened); released once no window is modal.
    std::vector<std::unique_ptr<ColorStore>> retired_;
    QString location_;
    QString problem_;
};

// The library choice of the running program; null until start-up makes it.
extern TLibraryChoice* libraryChoice;

} // namespace tp
