#pragma once
// The team library: table Colors of a database on a PostgreSQL server,
// reached through Qt SQL's PostgreSQL driver. Many members use it at once:
// a colour is stored once however many save it at the same moment (the
// table's unique key decides, not a check beforehand), an edit names the
// row version it read, and open browsers learn of other members' changes
// from the server's notices. Needs Qt Core and Qt SQL only.
#include "library/ColorStore.h"

#include <QSqlDatabase>

#include <chrono>
#include <functional>
#include <memory>

class QSqlQuery;

namespace tp {

class TPgStore final : public ColorStore {
    Q_OBJECT
public:
    // The longest the program waits for the server in one call: to connect,
    // and for any statement's answer.
    static constexpr int TimeoutSeconds = 5;

    // location: a libpq connection URI (postgresql://user@host:port/db?...)
    // or key=value string (service=team). It must hold no password: libpq
    // takes it from ~/.pgpass, PGPASSFILE or the service file. Nothing is
    // sent before the first use.
    explicit TPgStore(QString location);
    ~TPgStore() override;

    void DataModuleCreate() override;
    void EnsureConnected() override;
    bool Connected() const override;
    void Disconnect() override;
    StorePlace Place() const override;
    void CheckShape() override;
    bool Writable() const override { return writable_; }
    void RequireWritable() override;
    bool Contains(const TRGB& rgb) override;
    void Fetch(const StoreSelection& which, const RowSink& sink) override;
    bool AddColor(const NewColor& c) override;
    std::vector<bool> AddColors(const std::vector<NewColor>& colors) override;
    std::optional<StoredKey> InsertRecord(const ColumnValues& values) override;
    RowWriteResult UpdateRecord(const StoredKey& key, const ColumnValues& values) override;
    RowWriteResult DeleteRecord(const StoredKey& key) override;

    // Called with each statement as it is sent, values in place (the
    // benchmark replays them through psql).
    void setStatementLog(std::function<void(const QString&)> log) { log_ = std::move(log); }

    // Makes table Colors and what goes with it in the (empty) database, from
    // data/schema-postgresql.sql, all or nothing.
    void CreateLibrary();

protected:
    void connectNotify(const QMetaMethod& signal) override;

private:
    class Watch;
    class Listener;
    void Connect();
    void ReadRights();
    // Runs a statement, its values in place of the "?" marks; throws
    // StoreError. The result lasts until the next statement.
    QSqlQuery& Run(const QString& sql, const QVariantList& binds);
    void RunOnce(QSqlQuery& q, const QString& sql, const QVariantList& binds);
    [[noreturn]] void Fail(const class QSqlError& error);
    RowWriteResult Missed(const StoredKey& key);
    void StartListening();

    QString location_;
    QString connectionName_;
    std::unique_ptr<Watch> watch_;
    std::unique_ptr<Listener> listener_;
    std::unique_ptr<QSqlQuery> last_; // the last statement's result, read by the caller
    qint64 backendPid_ = 0;
    std::chrono::steady_clock::time_point lastAnswer_;
    bool timedOut_ = false; // the last statement ran out of time
    bool wantsNotices_ = false;
    std::function<void(const QString&)> log_;
    bool shapeChecked_ = false;
    bool writable_ = true;
    QString readOnlyWhy_;
};

} // namespace tp
