#include "library/dm.h"

#include "base/Convert.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
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
// Why a store failure happened, in the user's words, by the engine's code.
QString ReasonOf(int code) {
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("颜色库正被其他程序使用");
    case SQLITE_READONLY:
        return QStringLiteral("颜色库文件不能写入");
    case SQLITE_IOERR:
        return QStringLiteral("读写颜色库文件时出错");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("颜色库文件已损坏");
    case SQLITE_FULL:
        return QStringLiteral("磁盘已满");
    case SQLITE_CANTOPEN:
        return QStringLiteral("打不开颜色库文件");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("颜色库不接受这个值");
    default:
        return {};
    }
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

// Whether ID is the table's row key: declared INTEGER PRIMARY KEY, the only
// key column, in a table with row keys, and not the one spelling
// ("INTEGER PRIMARY KEY DESC" on the column) that SQLite keeps apart.
bool IsRowKey(const QString& declared, const QStringList& keyColumns, const QString& tableSql) {
    if (declared.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) != 0)
        return false;
    if (keyColumns != QStringList{QStringLiteral("id")}) return false;
    static const QRegularExpression withoutRowid(QStringLiteral("\\)\\s*WITHOUT\\s+ROWID"),
                                                 QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression descKey(
        QStringLiteral("[(,]\\s*[\"`\\[]?ID[\"`\\]]?\\s+INTEGER\\s+PRIMARY\\s+KEY\\s+DESC\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return !withoutRowid.match(tableSql).hasMatch() && !descKey.match(tableSql).hasMatch();
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

StoreError::StoreError(QString file, QString detail, int code, QString reason)
    : StoreError(std::move(file), std::move(detail), code, std::move(reason), QString()) {}

StoreError::StoreError(QString file, QString detail, int code, QString reason, QString notDone)
    : Error(Compose(file, detail, code, reason, notDone)), file_(std::move(file)),
      detail_(std::move(detail)), reason_(std::move(reason)), notDone_(std::move(notDone)),
      code_(code) {}

StoreError StoreError::Saying(const QString& notDone) const {
    if (!notDone_.isEmpty()) return *this;
    return StoreError(file_, detail_, code_, reason_, notDone);
}

std::string StoreError::Compose(const QString& file, const QString& detail, int code,
                                const QString& reason, const QString& notDone) {
    const QString why = reason.isEmpty() ? ReasonOf(code) : reason;
    if (notDone.isEmpty()) return (detail.isEmpty() ? why : detail).toStdString();
    QString text = notDone + (why.isEmpty() ? QStringLiteral("。") : u'：' + why + u'。');
    text += QStringLiteral("\n颜色库文件：") + file;
    if (!detail.isEmpty()) text += QStringLiteral("\n详细信息：") + detail;
    return text.toStdString();
}

int StoreCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : 0;
}

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
    failed_ = false;
    damage_.clear();
}

QString TdmMain::storeFile() const {
    const QString path = storePath_.isEmpty()
                             ? QDir::current().absoluteFilePath(QString::fromLatin1(StoreFileName))
                             : storePath_;
    return QDir::toNativeSeparators(path);
}

void TdmMain::Fail(const QString& detail, int code, const QString& reason) {
    failed_ = true;
    throw StoreError(storeFile(), detail, code, reason);
}

void TdmMain::DataModuleCreate() {
    Disconnect();
    Doing("颜色库没有打开", [this] { Connect(); });
    if (!Writable())
        throw StoreError(storeFile(), damage_, SQLITE_CORRUPT)
            .Saying(QStringLiteral("颜色库只能读取，保存和修改都不会写入它"));
}

void TdmMain::EnsureConnected() {
    if (Connected() && (failed_ || FileMoved())) Disconnect();
    if (!Connected()) Connect();
}

bool TdmMain::FileMoved() const {
    const QVariant handle = adocMain().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return false;
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    int moved = 0;
    return sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
           moved != 0;
}

void TdmMain::RequireWritable() const {
    if (!Writable()) throw StoreError(storeFile(), damage_, SQLITE_CORRUPT);
}

void TdmMain::Connect() {
    tableChecked_ = false;
    failed_ = false;
    damage_.clear();
    countQuery_.reset();
    storePath_ = QDir::current().absoluteFilePath(QString::fromLatin1(StoreFileName));
    const QString shown = storeFile();
    // SQLite would create a missing file on open; the store is never made
    // here, so a missing file is reported, and the URI's mode=rw makes
    // SQLite itself refuse to create one should it vanish in between.
    const QFileInfo info(storePath_);
    if (!info.exists())
        throw StoreError(shown, QStringLiteral("Could not find file '%1'.").arg(shown),
                         SQLITE_CANTOPEN, QStringLiteral("找不到颜色库文件"));
    if (!info.isFile())
        throw StoreError(
            shown,
            QStringLiteral("Cannot open the colour store '%1': it is not a file.").arg(shown),
            SQLITE_CANTOPEN);

    QSqlDatabase db = adocMain();
    db.setDatabaseName(QUrl::fromLocalFile(storePath_).toString(QUrl::FullyEncoded) +
                       QStringLiteral("?mode=rw"));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
    if (!db.open())
        throw StoreError(shown, StoreMessage(db.lastError()), StoreCode(db.lastError()));
    // SQLite reads the file only when a statement needs it: a damaged file or
    // another process's exclusive lock shows here, not at open. The header
    // alone says little, so every page is checked; a store that fails is
    // kept for reading only (see Writable).
    QSqlError failure;
    QStringList findings;
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")) || !probe.next())
            failure = probe.lastError();
        else if (!probe.exec(QStringLiteral("pragma quick_check(20)")))
            failure = probe.lastError();
        else
            while (probe.next())
                findings << probe.value(0).toString();
    }
    if (failure.isValid()) {
        db.close();
        throw StoreError(shown, StoreMessage(failure), StoreCode(failure));
    }
    if (findings != QStringList{QStringLiteral("ok")}) {
        damage_ = findings.join(u'\n');
        if (damage_.isEmpty()) damage_ = QStringLiteral("the integrity check gave no answer");
        // The engine itself refuses writes on this connection from now on.
        QSqlQuery(db).exec(QStringLiteral("pragma query_only=1"));
    }
}

void TdmMain::Run(QSqlQuery& query, const QString& sql, const QVariantList& binds) {
    if (!query.prepare(sql)) Fail(StoreMessage(query.lastError()), StoreCode(query.lastError()));
    for (int i = 0; i < binds.size(); ++i)
        query.bindValue(i, binds.at(i));
    if (!query.exec()) Fail(StoreMessage(query.lastError()), StoreCode(query.lastError()));
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
    const QString shape = QStringLiteral("颜色库的表 Colors 不合要求");
    QSqlQuery q(adocMain());
    q.setForwardOnly(true);
    Run(q, QStringLiteral("PRAGMA table_info(Colors)"), {});
    QHash<QString, QString> declared;
    QStringList keyColumns;
    while (q.next()) {
        declared.insert(q.value(1).toString().toLower(), q.value(2).toString());
        if (q.value(5).toInt() > 0) keyColumns << q.value(1).toString().toLower();
    }
    if (declared.isEmpty()) Fail(QStringLiteral("no such table: Colors"), 0, shape);
    for (int i = 0; i < 6; ++i) {
        const Expect& e = expected[i];
        const QString label = i < labels.size() ? labels.at(i) : QString::fromUtf8(e.label);
        const auto it = declared.constFind(QString::fromLatin1(e.column).toLower());
        if (it == declared.constEnd())
            Fail(QStringLiteral("Field '%1' not found").arg(QString::fromLatin1(e.column)), 0,
                 shape);
        const QString affinity = Affinity(*it);
        if (affinity != QLatin1String(e.affinity))
            Fail(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                     .arg(label, QString::fromLatin1(e.typeName), FieldTypeName(affinity)),
                 0, shape);
    }
    // Edits and deletes find their row by ID, and a new row takes the ID the
    // store gives it: only the table's own row key (a column declared
    // INTEGER PRIMARY KEY) is filled in by the store and unique. A plain
    // integer column could hold no ID or another row's.
    if (!IsRowKey(declared.value(QStringLiteral("id")), keyColumns, TableSql()))
        Fail(QStringLiteral("Type mismatch for field '%1', expecting: AutoInc actual: Integer")
                 .arg(labels.isEmpty() ? QString::fromUtf8(expected[0].label) : labels.at(0)),
             0, shape);
    tableChecked_ = true;
}

QString TdmMain::TableSql() {
    QSqlQuery q(adocMain());
    q.setForwardOnly(true);
    Run(q,
        QStringLiteral("select sql from sqlite_master where type='table' and name='Colors' "
                       "collate nocase"),
        {});
    return q.next() ? q.value(0).toString() : QString();
}

int TdmMain::SelectCount(const QString& sql, const QVariantList& binds) {
    EnsureConnected();
    if (!tableChecked_) CheckColorsTable({});
    if (!countQuery_ || countSql_ != sql) {
        countQuery_.reset();
        auto q = std::make_unique<QSqlQuery>(adocMain());
        q->setForwardOnly(true);
        if (!q->prepare(sql)) Fail(StoreMessage(q->lastError()), StoreCode(q->lastError()));
        countQuery_ = std::move(q);
        countSql_ = sql;
    }
    QSqlQuery& q = *countQuery_;
    for (int i = 0; i < binds.size(); ++i)
        q.bindValue(i, binds.at(i));
    if (!q.exec()) {
        const QSqlError error = q.lastError();
        countQuery_.reset();
        Fail(StoreMessage(error), StoreCode(error));
    }
    int n = 0;
    while (q.next())
        ++n;
    const QSqlError error = q.lastError();
    // A statement left unfinished would keep its read lock on the file.
    q.finish();
    if (error.isValid()) Fail(StoreMessage(error), StoreCode(error));
    return n;
}

TdmMain::Written TdmMain::Execute(const QString& sql, const QVariantList& binds) {
    EnsureConnected();
    if (!tableChecked_) CheckColorsTable({});
    RequireWritable();
    QSqlQuery q(adocMain());
    Run(q, sql, binds);
    return {q.numRowsAffected(), q.lastInsertId().toLongLong()};
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
        Fail(QStringLiteral("The colour store's driver gives no SQLite handle"), 0);
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    auto failHere = [&] { Fail(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db)); };
    sqlite3_stmt* st = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
        failHere();
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
        if (rc != SQLITE_OK) failHere();
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
        if (col[k] < 0)
            Fail(QStringLiteral("Field '%1' not found").arg(columns.at(qsizetype(k))), 0,
                 QStringLiteral("颜色库的表 Colors 不合要求"));
    FetchRow row;
    row.st_ = st;
    row.col_ = col.data();
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        sink(row);
    if (rc != SQLITE_DONE) failHere();
}

} // namespace tp
