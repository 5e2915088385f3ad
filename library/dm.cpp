#include "library/dm.h"

#include "base/Convert.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>

namespace tp {

TdmMain* dmMain = nullptr;

namespace {
[[noreturn]] void Raise(const QString& message) {
    throw Error(message.toStdString());
}

// SQLite's type affinity of a declared column type.
QString Affinity(const QString& declared) {
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT"))) return QStringLiteral("INTEGER");
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) ||
        t.contains(QLatin1String("TEXT")))
        return QStringLiteral("TEXT");
    if (t.isEmpty() || t.contains(QLatin1String("BLOB"))) return QStringLiteral("BLOB");
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
        t.contains(QLatin1String("DOUB")))
        return QStringLiteral("REAL");
    return QStringLiteral("NUMERIC");
}

// The field type names the library's messages use for each affinity.
QString FieldTypeName(const QString& affinity) {
    if (affinity == QLatin1String("INTEGER")) return QStringLiteral("Integer");
    if (affinity == QLatin1String("TEXT")) return QStringLiteral("WideString");
    if (affinity == QLatin1String("REAL")) return QStringLiteral("Float");
    if (affinity == QLatin1String("NUMERIC")) return QStringLiteral("BCD");
    return QStringLiteral("Blob");
}
} // namespace

QString StoreMessage(const QSqlError& error) {
    QString m = error.databaseText().trimmed();
    if (m.isEmpty()) m = error.driverText().trimmed();
    if (m.isEmpty()) m = QStringLiteral("unknown error of the colour store");
    return m;
}

TdmMain::TdmMain() {
    static std::atomic<int> serial{0};
    connectionName_ = QStringLiteral("adocMain%1").arg(++serial);
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
}

TdmMain::~TdmMain() {
    countQuery_.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
    if (dmMain == this) dmMain = nullptr;
}

QSqlDatabase TdmMain::adocMain() const {
    return QSqlDatabase::database(connectionName_, false);
}

bool TdmMain::Connected() const {
    return adocMain().isOpen();
}

void TdmMain::Disconnect() {
    countQuery_.reset();
    QSqlDatabase db = adocMain();
    if (db.isOpen()) db.close();
    tableChecked_ = false;
}

void TdmMain::DataModuleCreate() {
    Disconnect();
    Connect();
}

void TdmMain::EnsureConnected() {
    if (!Connected()) Connect();
}

void TdmMain::Connect() {
    tableChecked_ = false;
    countQuery_.reset();
    storePath_ = QDir::current().absoluteFilePath(QString::fromLatin1(StoreFileName));
    const QString shown = QDir::toNativeSeparators(storePath_);
    // SQLite would create a missing file on open; the store is never made
    // here, so a missing file is reported, and the URI's mode=rw makes
    // SQLite itself refuse to create one should it vanish in between.
    const QFileInfo info(storePath_);
    if (!info.exists()) Raise(QStringLiteral("Could not find file '%1'.").arg(shown));
    if (!info.isFile())
        Raise(QStringLiteral("Cannot open the colour store '%1': it is not a file.").arg(shown));

    QSqlDatabase db = adocMain();
    db.setDatabaseName(QUrl::fromLocalFile(storePath_).toString(QUrl::FullyEncoded) +
                       QStringLiteral("?mode=rw"));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
    if (!db.open())
        Raise(QStringLiteral("Cannot open the colour store '%1': %2")
                  .arg(shown, StoreMessage(db.lastError())));
    // SQLite reads the file only when a statement needs it: a damaged file or
    // another process's exclusive lock shows here, not at open.
    QString failure;
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")) || !probe.next())
            failure = StoreMessage(probe.lastError());
    }
    if (!failure.isEmpty()) {
        db.close();
        Raise(QStringLiteral("Cannot open the colour store '%1': %2").arg(shown, failure));
    }
}

void TdmMain::Run(QSqlQuery& query, const QString& sql, const QVariantList& binds) {
    if (!query.prepare(sql)) Raise(StoreMessage(query.lastError()));
    for (int i = 0; i < binds.size(); ++i)
        query.bindValue(i, binds.at(i));
    if (!query.exec()) Raise(StoreMessage(query.lastError()));
}

void TdmMain::CheckColorsTable(const QStringList& labels) {
    EnsureConnected();
    struct Expect {
        const char* column;
        const char* affinity;
        const char* typeName;
        const char* label;
    };
    static const Expect expected[] = {
        {"ID", "INTEGER", "AutoInc", "编号"}, {"Name", "TEXT", "WideString", "名称"},
        {"RVal", "INTEGER", "Word", "红"},    {"GVal", "INTEGER", "Word", "绿"},
        {"BVal", "INTEGER", "Integer", "蓝"}, {"Comment", "TEXT", "WideString", "注释"},
    };
    QSqlQuery q(adocMain());
    q.setForwardOnly(true);
    Run(q, QStringLiteral("PRAGMA table_info(Colors)"), {});
    QHash<QString, QString> declared;
    while (q.next())
        declared.insert(q.value(1).toString().toLower(), q.value(2).toString());
    if (declared.isEmpty()) Raise(QStringLiteral("no such table: Colors"));
    for (int i = 0; i < 6; ++i) {
        const Expect& e = expected[i];
        const QString label = i < labels.size() ? labels.at(i) : QString::fromUtf8(e.label);
        const auto it = declared.constFind(QString::fromLatin1(e.column).toLower());
        if (it == declared.constEnd())
            Raise(QStringLiteral("Field '%1' not found").arg(QString::fromLatin1(e.column)));
        const QString affinity = Affinity(*it);
        if (affinity != QLatin1String(e.affinity))
            Raise(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                      .arg(label, QString::fromLatin1(e.typeName), FieldTypeName(affinity)));
    }
    tableChecked_ = true;
}

int TdmMain::SelectCount(const QString& sql, const QVariantList& binds) {
    EnsureConnected();
    if (!tableChecked_) CheckColorsTable({});
    if (!countQuery_ || countSql_ != sql) {
        countQuery_.reset();
        auto q = std::make_unique<QSqlQuery>(adocMain());
        q->setForwardOnly(true);
        if (!q->prepare(sql)) Raise(StoreMessage(q->lastError()));
        countQuery_ = std::move(q);
        countSql_ = sql;
    }
    QSqlQuery& q = *countQuery_;
    for (int i = 0; i < binds.size(); ++i)
        q.bindValue(i, binds.at(i));
    if (!q.exec()) {
        const QString m = StoreMessage(q.lastError());
        countQuery_.reset();
        Raise(m);
    }
    int n = 0;
    while (q.next())
        ++n;
    const QSqlError error = q.lastError();
    // A statement left unfinished would keep its read lock on the file.
    q.finish();
    if (error.isValid()) Raise(StoreMessage(error));
    return n;
}

qint64 TdmMain::Execute(const QString& sql, const QVariantList& binds) {
    EnsureConnected();
    if (!tableChecked_) CheckColorsTable({});
    QSqlQuery q(adocMain());
    Run(q, sql, binds);
    return q.lastInsertId().toLongLong();
}

} // namespace tp

namespace tp {

bool TdmMain::FetchRow::isNull(int k) const {
    return sqlite3_column_type(static_cast<sqlite3_stmt*>(st_), col_[k]) == SQLITE_NULL;
}

qint64 TdmMain::FetchRow::integer(int k) const {
    return sqlite3_column_int64(static_cast<sqlite3_stmt*>(st_), col_[k]);
}

QString TdmMain::FetchRow::text(int k) const {
    auto* st = static_cast<sqlite3_stmt*>(st_);
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col_[k]));
    const int n = sqlite3_column_bytes(st, col_[k]);
    return n == 0 ? QStringLiteral("") : QString::fromUtf8(p, n);
}

std::string_view TdmMain::FetchRow::utf8(int k) const {
    auto* st = static_cast<sqlite3_stmt*>(st_);
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col_[k]));
    return {p ? p : "", size_t(sqlite3_column_bytes(st, col_[k]))};
}

void TdmMain::Fetch(const QString& sql, const QVariantList& binds, const QStringList& columns,
                    const std::function<void(const FetchRow& row)>& sink) {
    EnsureConnected();
    const QVariant handle = adocMain().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        Raise(QStringLiteral("The colour store's driver gives no SQLite handle"));
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    sqlite3_stmt* st = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
        Raise(QString::fromUtf8(sqlite3_errmsg(db)));
    struct Finalize {
        sqlite3_stmt* st;
        ~Finalize() { sqlite3_finalize(st); }
    } finalize{st};
    for (int i = 0; i < binds.size(); ++i) {
        const QVariant& v = binds.at(i);
        int rc;
        if (v.isNull())
            rc = sqlite3_bind_null(st, i + 1);
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
                 v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::ULongLong)
            rc = sqlite3_bind_int64(st, i + 1, v.toLongLong());
        else {
            const QByteArray b = v.toString().toUtf8();
            rc = sqlite3_bind_text(st, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) Raise(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    std::vector<int> col(static_cast<size_t>(columns.size()), -1);
    const int n = sqlite3_column_count(st);
    for (int c = 0; c < n; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(st, c));
        for (size_t k = 0; k < col.size(); ++k)
            if (col[k] < 0 && name.compare(columns.at(qsizetype(k)), Qt::CaseInsensitive) == 0)
                col[k] = c;
    }
    for (size_t k = 0; k < col.size(); ++k)
        if (col[k] < 0) Raise(QStringLiteral("Field '%1' not found").arg(columns.at(qsizetype(k))));
    FetchRow row;
    row.st_ = st;
    row.col_ = col.data();
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        sink(row);
    if (rc != SQLITE_DONE) Raise(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace tp
