#pragma once
// The data module: the program's one connection to the colour store, the
// SQLite file store.kvd (where, base/AppPaths decides), and the statements
// the library runs over it. Needs Qt SQL only, no widgets.
#include "base/AppPaths.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>
#include <string_view>

class QSqlQuery;

namespace tp {

class TdmMain {
public:
    // By default the store is store.kvd in the working directory, taken
    // each time the connection opens, and never created.
    explicit TdmMain(StoreLookup lookup = {});
    ~TdmMain();
    TdmMain(const TdmMain&) = delete;
    TdmMain& operator=(const TdmMain&) = delete;

    // Start-up: drop any open connection and open it afresh. Throws Error
    // with a message that says which file and what went wrong.
    void DataModuleCreate();
    // Opens the connection when it is closed; every use of the store goes
    // through here, so a store that appears while the program runs is found
    // by the next use.
    void EnsureConnected();
    bool Connected() const;
    void Disconnect();

    // How long a statement waits for another process's lock to go before it
    // gives up with "database is locked".
    void setBusyTimeout(int ms) { busyTimeoutMs_ = ms; }

    // The connection (open or not) for queries of the library.
    QSqlDatabase adocMain() const;
    QString storePath() const { return storePath_; }
    // Called with the path of a store the module has just made, so that the
    // user learns once where the library lives.
    void setOnStoreCreated(std::function<void(const QString& path)> f) {
        onStoreCreated_ = std::move(f);
    }

    // Checks that table Colors has the columns the library reads, of the
    // kinds it reads them with. labels are the display labels used in the
    // "Type mismatch" message, in the order ID, Name, RVal, GVal, BVal,
    // Comment (the browser's column titles when empty). Throws Error.
    void CheckColorsTable(const QStringList& labels);

    // Select and count: runs a SELECT and returns how many rows it gave.
    int SelectCount(const QString& sql, const QVariantList& binds);
    // Runs a statement that returns no rows; returns the last inserted ID.
    qint64 Execute(const QString& sql, const QVariantList& binds);

    // Runs a SELECT and hands every row to sink, its values in the order of
    // columns (matched by name, without regard to case). Reads through the
    // connection's own SQLite handle: fetching a whole table row by row
    // through QSqlQuery costs several times what SQLite itself needs.
    class FetchRow {
    public:
        bool isNull(int k) const;
        // Integer columns read as integers (text that is no number reads as
        // 0), text columns as text, whatever the value's own type.
        qint64 integer(int k) const;
        QString text(int k) const;
        std::string_view utf8(int k) const;

    private:
        friend class TdmMain;
        void* st_ = nullptr;
        const int* col_ = nullptr;
    };
    void Fetch(const QString& sql, const QVariantList& binds, const QStringList& columns,
               const std::function<void(const FetchRow& row)>& sink);

    // Prepares, binds and executes; throws Error with the store's message.
    void Run(QSqlQuery& query, const QString& sql, const QVariantList& binds);

private:
    void Connect();
    QString FindStore();
    StoreLookup lookup_;
    std::function<void(const QString&)> onStoreCreated_;
    QString connectionName_;
    QString storePath_;
    int busyTimeoutMs_ = 2000;
    bool tableChecked_ = false;
    // The last select-and-count statement, kept prepared: the duplicate
    // check runs the same text on every save.
    std::unique_ptr<QSqlQuery> countQuery_;
    QString countSql_;
};

// The data module of the running program; null until start-up creates it.
extern TdmMain* dmMain;

// The store's text for a failed statement.
QString StoreMessage(const class QSqlError& error);

} // namespace tp
