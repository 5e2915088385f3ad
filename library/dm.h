#pragma once
// The data module: the colour library in the SQLite file store.kvd (where,
// base/AppPaths decides), the program's one connection to it, and every
// statement the library runs over it. Needs Qt SQL only, no widgets.
#include "base/AppPaths.h"
#include "library/ColorStore.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

class QSqlQuery;

namespace tp {

class TdmMain final : public ColorStore {
    Q_OBJECT
public:
    // By default the store is store.kvd in the working directory, taken
    // each time the connection opens, and never created.
    explicit TdmMain(StoreLookup lookup = {});
    ~TdmMain() override;
    TdmMain(const TdmMain&) = delete;
    TdmMain& operator=(const TdmMain&) = delete;

    // A store that failed its page check at open is used for reading only;
    // DataModuleCreate says so. A store file deleted or replaced since the
    // connection opened, or a connection that failed, is opened again by
    // name.
    void DataModuleCreate() override;
    void EnsureConnected() override;
    bool Connected() const override;
    void Disconnect() override;
    StorePlace Place() const override;
    void CheckShape() override;
    bool Writable() const override { return damage_.isEmpty(); }
    void RequireWritable() override;

    bool Contains(const TRGB& rgb) override;
    void Fetch(const StoreSelection& which, const RowSink& sink) override;
    bool AddColor(const NewColor& c) override;
    std::vector<bool> AddColors(const std::vector<NewColor>& colors) override;
    std::optional<StoredKey> InsertRecord(const ColumnValues& values) override;
    RowWriteResult UpdateRecord(const StoredKey& key, const ColumnValues& values) override;
    RowWriteResult DeleteRecord(const StoredKey& key) override;

    // How long a statement waits for another process's lock to go before it
    // gives up with "database is locked".
    void setBusyTimeout(int ms) { busyTimeoutMs_ = ms; }
    // The store file once found (empty before the first opening).
    QString storePath() const { return storePath_; }
    // Called with the path of a store the module has just made.
    void setOnStoreCreated(std::function<void(const QString& path)> f) {
        onStoreCreated_ = std::move(f);
    }

private:
    struct Written {
        int rows = 0;
        qint64 insertedId = 0;
    };
    // Runs a statement that returns no rows on a checked, writable store.
    Written Execute(const QString& sql, const QVariantList& binds);
    bool InsertUnlessStored(const NewColor& c);
    // BEGIN IMMEDIATE: the write lock is taken before the duplicate check,
    // so that two programs saving the same colour cannot both find it new.
    void Begin();
    void Commit();
    void Rollback();
    void Run(QSqlQuery& query, const QString& sql, const QVariantList& binds);
    void RequireShape();
    QSqlDatabase connection() const;
    QString storeFile() const;
    void Connect();
    QString FindStore();
    bool FileMoved() const;
    QString TableSql();
    // Why a failed write failed, where the engine's code says less than it
    // could.
    QString WriteReason(int code);
    // Throws a StoreError about the store file; the next use reconnects.
    [[noreturn]] void Fail(const QString& detail, int code, const QString& reason = {});

    StoreLookup lookup_;
    std::function<void(const QString&)> onStoreCreated_;
    QString connectionName_;
    QString storePath_;
    int busyTimeoutMs_ = 2000;
    bool tableChecked_ = false;
    bool failed_ = false;
    QString damage_; // what the check at open found; empty for a sound store
    // The duplicate check, kept prepared: every save and every colour of an
    // import runs it.
    std::unique_ptr<QSqlQuery> containsQuery_;
};

} // namespace tp
