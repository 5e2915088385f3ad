#pragma once
// The data module: the program's one connection to the colour store, the
// SQLite file store.kvd in the working directory, and the statements the
// library runs over it. Needs Qt SQL only, no widgets.
#include "base/Convert.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>
#include <string_view>

class QSqlQuery;

namespace tp {

// A failure of the colour store. Until a caller says what it could not do,
// what() is the store's own text (or ours where the store gave none); after
// Saying(), it is the whole message for the user: what was not done and why,
// the store file, and the store's text as the detail.
class StoreError : public Error {
public:
    // code: the engine's result code (0 when the failure is ours); reason:
    // why, in the user's words, when the code does not say it.
    StoreError(QString file, QString detail, int code, QString reason = {});
    // The same failure as the message of an action that was not done
    // ("颜色没有保存"). A message that says so already is kept: the inner
    // action knows best what was lost.
    StoreError Saying(const QString& notDone) const;

    const QString& file() const { return file_; }
    const QString& detail() const { return detail_; }
    int code() const { return code_; }

private:
    StoreError(QString file, QString detail, int code, QString reason, QString notDone);
    static std::string Compose(const QString& file, const QString& detail, int code,
                               const QString& reason, const QString& notDone);
    QString file_, detail_, reason_, notDone_;
    int code_;
};

// Runs one action on the store; a store failure inside it says what was not
// done.
template <class F> decltype(auto) Doing(const char* notDone, F&& action) {
    try {
        return std::forward<F>(action)();
    } catch (const StoreError& e) {
        throw e.Saying(QString::fromUtf8(notDone));
    }
}

// The file name of the store, resolved against the working directory each
// time the connection opens.
inline constexpr const char* StoreFileName = "store.kvd";

class TdmMain {
public:
    TdmMain();
    ~TdmMain();
    TdmMain(const TdmMain&) = delete;
    TdmMain& operator=(const TdmMain&) = delete;

    // Start-up: drop any open connection and open it afresh. Throws
    // StoreError with a message that says which file and what went wrong,
    // also when the store opened but failed its check (it is then used for
    // reading only).
    void DataModuleCreate();
    // Opens the connection when it is closed; every use of the store goes
    // through here, so a store that appears while the program runs is found
    // by the next use. A store file deleted or replaced since the connection
    // opened, or a connection that failed, is opened again by name.
    void EnsureConnected();
    bool Connected() const;
    void Disconnect();

    // How long a statement waits for another process's lock to go before it
    // gives up with "database is locked".
    void setBusyTimeout(int ms) { busyTimeoutMs_ = ms; }

    // The connection (open or not) for queries of the library.
    QSqlDatabase adocMain() const;
    QString storePath() const { return storePath_; }
    // The store file as messages name it.
    QString storeFile() const;

    // Checks that table Colors has the columns the library reads, of the
    // kinds it reads them with. labels are the display labels used in the
    // "Type mismatch" message, in the order ID, Name, RVal, GVal, BVal,
    // Comment (the browser's column titles when empty). Throws Error.
    void CheckColorsTable(const QStringList& labels);

    // A store whose pages failed the check at open is read, never written:
    // writing could only spread the damage.
    bool Writable() const { return damage_.isEmpty(); }
    // Throws the StoreError that refuses a write to a damaged store.
    void RequireWritable() const;

    // Select and count: runs a SELECT and returns how many rows it gave.
    int SelectCount(const QString& sql, const QVariantList& binds);
    // Runs a statement that returns no rows: how many rows it changed, and
    // the ID of the row it inserted.
    struct Written {
        int rows = 0;
        qint64 insertedId = 0;
    };
    Written Execute(const QString& sql, const QVariantList& binds);

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

    // Prepares, binds and executes; throws StoreError with the store's
    // message.
    void Run(QSqlQuery& query, const QString& sql, const QVariantList& binds);

private:
    void Connect();
    bool FileMoved() const;
    QString TableSql();
    // Throws a StoreError about the store file; the next use reconnects.
    [[noreturn]] void Fail(const QString& detail, int code, const QString& reason = {});
    QString connectionName_;
    QString storePath_;
    int busyTimeoutMs_ = 2000;
    bool tableChecked_ = false;
    bool failed_ = false;
    QString damage_; // what the check at open found; empty for a sound store
    // The last select-and-count statement, kept prepared: the duplicate
    // check runs the same text on every save.
    std::unique_ptr<QSqlQuery> countQuery_;
    QString countSql_;
};

// The data module of the running program; null until start-up creates it.
extern TdmMain* dmMain;

// The store's text for a failed statement.
QString StoreMessage(const class QSqlError& error);
// The engine's result code of a failed statement (0 when it gave none).
int StoreCode(const class QSqlError& error);

} // namespace tp
