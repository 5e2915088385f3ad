#pragma once
// The data module: the program's one connection to the colour store, the
// SQLite file store.kvd in the working directory, and the statements the
// library runs over it. Needs Qt SQL only, no widgets.
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlQuery;

namespace tp {

// The file name of the store, resolved against the working directory each
// time the connection opens.
inline constexpr const char* StoreFileName = "store.kvd";

class TdmMain {
public:
    TdmMain();
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

    // Checks that table Colors has the columns the library reads, of the
    // kinds it reads them with. labels are the display labels used in the
    // "Type mismatch" message, in the order ID, Name, RVal, GVal, BVal,
    // Comment (the browser's column titles when empty). Throws Error.
    void CheckColorsTable(const QStringList& labels);

    // Select and count: runs a SELECT and returns how many rows it gave.
    int SelectCount(const QString& sql, const QVariantList& binds);
    // Runs a statement that returns no rows; returns the last inserted ID.
    qint64 Execute(const QString& sql, const QVariantList& binds);

    // Prepares, binds and executes; throws Error with the store's message.
    void Run(QSqlQuery& query, const QString& sql, const QVariantList& binds);

private:
    void Connect();
    QString connectionName_;
    QString storePath_;
    int busyTimeoutMs_ = 2000;
    bool tableChecked_ = false;
};

// The data module of the running program; null until start-up creates it.
extern TdmMain* dmMain;

// The store's text for a failed statement.
QString StoreMessage(const class QSqlError& error);

} // namespace tp
