#include "library/LibraryChoice.h"

#include "library/LibraryLocation.h"
#include "library/ServerStore.h"
#include "library/dm.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

namespace tp {

TLibraryChoice* libraryChoice = nullptr;
const char* const TLibraryChoice::SettingsKey = "library/location";

std::unique_ptr<ColorStore> MakeColorStore(const QString& location, const StoreLookup& lookup) {
    const QString where = location.trimmed();
    if (where.isEmpty()) return std::make_unique<TdmMain>(lookup);
    if (IsServerLocation(where.toStdString())) return MakeServerStore(where);
    StoreLookup file;
    file.candidates = {QDir::current().absoluteFilePath(where).toStdString()};
    return std::make_unique<TdmMain>(file);
}

TLibraryChoice::TLibraryChoice(Settings* settings, StoreLookup lookup, QString forThisRun,
                               std::function<void(const QString&)> onCreated)
    : settings_(settings), lookup_(std::move(lookup)), onCreated_(std::move(onCreated)) {
    QString location = forThisRun.trimmed();
    if (location.isEmpty() && settings_)
        location = settings_->value(QString::fromLatin1(SettingsKey)).trimmed();
    std::unique_ptr<ColorStore> store;
    try {
        store = MakeColorStore(location, lookup_);
    } catch (const StoreError& e) {
        // This build cannot reach the library chosen; the local file serves
        // meanwhile, and start-up says why.
        problem_ = QString::fromUtf8(e.Saying(QStringLiteral("颜色库没有打开")).what());
        store = MakeColorStore({}, lookup_);
        location.clear();
    }
    Use(std::move(store), location);
}

TLibraryChoice::~TLibraryChoice() {
    if (libraryChoice == this) libraryChoice = nullptr;
    if (dmMain == store_.get()) dmMain = nullptr;
}

void TLibraryChoice::Use(std::unique_ptr<ColorStore> store, const QString& location) {
    if (auto* file = dynamic_cast<TdmMain*>(store.get()); file && onCreated_)
        file->setOnStoreCreated(onCreated_);
    if (store_) {
        store_->Disconnect();
        retired_.push_back(std::move(store_));
        ReleaseRetired();
    }
    store_ = std::move(store);
    location_ = location;
    dmMain = store_.get();
    emit changed();
}

void TLibraryChoice::ReleaseRetired() {
    if (retired_.empty()) return;
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(500, this, &TLibraryChoice::ReleaseRetired);
        return;
    }
    retired_.clear();
}

QString TLibraryChoice::shownName() const {
    if (location_.isEmpty()) return {};
    return store_->Place().name;
}

void TLibraryChoice::Choose(const QString& location) {
    const QString where = location.trimmed();
    std::unique_ptr<ColorStore> next = MakeColorStore(where, lookup_);
    if (auto* file = dynamic_cast<TdmMain*>(next.get()); file && onCreated_)
        file->setOnStoreCreated(onCreated_);
    next->EnsureConnected();
    next->CheckShape();
    if (settings_) settings_->setValue(QString::fromLatin1(SettingsKey), where);
    Use(std::move(next), where);
}

} // namespace tp
