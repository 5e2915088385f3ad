#include "library/dm.h"

#include "base/Convert.h"
#include "platform/FilePlace.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>

namespace tp {

namespace {
const QString FileLabel = QStringLiteral("颜色库文件");

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
// Makes an empty store at path from the schema. It is built under a
// temporary name and linked into place complete, so a failure halfway never
// leaves a store without its table, and a store that appeared meanwhile is
// kept as it is.
void CreateStore(const QString& path, const QString& schemaPath) {
    const QString shown = QDir::toNativeSeparators(path);
    const auto fail = [&](const QString& why) {
        throw StoreError({FileLabel, shown},
                         QStringLiteral("Cannot create the colour store '%1': %2").arg(shown, why),
                         QStringLiteral("无法新建颜色库"));
    };
    QFile schemaFile(schemaPath);
    if (!schemaFile.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read the schema '%1': %2")
                 .arg(QDir::toNativeSeparators(schemaPath), schemaFile.errorString()));
    const QByteArray schema = schemaFile.readAll();
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir)) fail(QStringLiteral("cannot make the folder"));
    // QTemporaryFile keeps its handle open until it goes, and Windows moves
    // no file that is open: only the name is kept, and removed at the end
    // (after a move it names nothing).
    QString tempPath;
    {
        QTemporaryFile temp(dir + QStringLiteral("/.store.kvd.XXXXXX"));
        temp.setAutoRemove(false);
        if (!temp.open()) fail(temp.errorString());
        tempPath = temp.fileName();
    }
    const struct RemoveTemp {
        QString path;
        ~RemoveTemp() { QFile::remove(path); }
    } removeTemp{tempPath};
    const QByteArray tempName = tempPath.toUtf8(); // SQLite takes UTF-8 on every system
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(tempName.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    char* error = nullptr;
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, schema.constData(), nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
    sqlite3_free(error);
    if (sqlite3_close(db) != SQLITE_OK && rc == SQLITE_OK) rc = SQLITE_ERROR;
    if (rc != SQLITE_OK) fail(message);
    QString placeError;
    if (!PlaceNewFile(tempPath, path, placeError)) fail(placeError);
}

// The store's text for a failed statement.
QString StoreMessage(const QSqlError& error) {
    QString m = error.databaseText().trimmed();
    if (m.isEmpty()) m = error.driverText().trimmed();
    if (m.isEmpty()) m = QStringLiteral("unknown error of the colour store");
    return m;
}

// The engine's result code of a failed statement (0 when it gave none).
int StoreCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : 0;
}

sqlite3* HandleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

const QString Shape = QStringLiteral("颜色库的表 Colors 不合要求");

// The columns in ColorColumn order, as the statements name them.
const char* const ColumnNames[ColumnCount] = {"ID", "Name", "RVal", "GVal", "BVal", "Comment"};

} // namespace

TdmMain::TdmMain(StoreLookup lookup) : lookup_(std::move(lookup)) {
    static std::atomic<int> serial{0};
    connectionName_ = QStringLiteral("adocMain%1").arg(++serial);
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
}

TdmMain::~TdmMain() {
    containsQuery_.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase TdmMain::connection() const {
    return QSqlDatabase::database(connectionName_, false);
}

bool TdmMain::Connected() const {
    return connection().isOpen();
}

void TdmMain::Disconnect() {
    containsQuery_.reset();
    QSqlDatabase db = connection();
    if (db.isOpen()) db.close();
    tableChecked_ = false;
    failed_ = false;
    damage_.clear();
}

QString TdmMain::storeFile() const {
    const QString path =
        storePath_.isEmpty() && !lookup_.candidates.empty()
            ? QDir::current().absoluteFilePath(QString::fromStdString(lookup_.candidates.front()))
            : storePath_;
    return QDir::toNativeSeparators(path);
}

StorePlace TdmMain::Place() const {
    return {FileLabel, storeFile()};
}

void TdmMain::Fail(const QString& detail, int code, const QString& reason) {
    failed_ = true;
    throw StoreError(Place(), detail, reason.isEmpty() ? ReasonOf(code) : reason);
}

void TdmMain::DataModuleCreate() {
    Disconnect();
    Doing("颜色库没有打开", [this] { Connect(); });
    if (!Writable())
        throw StoreError(Place(), damage_, ReasonOf(SQLITE_CORRUPT))
            .Saying(QStringLiteral("颜色库只能读取，保存和修改都不会写入它"));
}

void TdmMain::EnsureConnected() {
    if (Connected() && (failed_ || FileMoved())) Disconnect();
    if (!Connected()) Connect();
}

bool TdmMain::FileMoved() const {
    sqlite3* db = HandleOf(connection());
    int moved = 0;
    return db && sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
           moved != 0;
}

void TdmMain::RequireWritable() {
    if (!Connected()) EnsureConnected();
    if (!Writable()) throw StoreError(Place(), damage_, ReasonOf(SQLITE_CORRUPT));
}

void TdmMain::Connect() {
    tableChecked_ = false;
    failed_ = false;
    damage_.clear();
    containsQuery_.reset();
    storePath_ = FindStore();
    const QString shown = storeFile();
    // SQLite would create a missing file on open; the store is never made
    // here, so a missing file is reported, and the URI's mode=rw makes
    // SQLite itself refuse to create one should it vanish in between.
    const QFileInfo info(storePath_);
    if (!info.exists())
        throw StoreError(Place(), QStringLiteral("Could not find file '%1'.").arg(shown),
                         QStringLiteral("找不到颜色库文件"));
    if (!info.isFile())
        throw StoreError(
            Place(),
            QStringLiteral("Cannot open the colour store '%1': it is not a file.").arg(shown),
            ReasonOf(SQLITE_CANTOPEN));

    QSqlDatabase db = connection();
    db.setDatabaseName(QUrl::fromLocalFile(storePath_).toString(QUrl::FullyEncoded) +
                       QStringLiteral("?mode=rw"));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
    if (!db.open())
        throw StoreError(Place(), StoreMessage(db.lastError()),
                         ReasonOf(StoreCode(db.lastError())));
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
        throw StoreError(Place(), StoreMessage(failure), ReasonOf(StoreCode(failure)));
    }
    if (findings != QStringList{QStringLiteral("ok")}) {
        damage_ = findings.join(u'\n');
        if (damage_.isEmpty()) damage_ = QStringLiteral("the integrity check gave no answer");
        // The engine itself refuses writes on this connection from now on.
        QSqlQuery(db).exec(QStringLiteral("pragma query_only=1"));
    }
}

QString TdmMain::FindStore() {
    QString first;
    for (const std::string& c : lookup_.candidates) {
        const QString path = QDir::current().absoluteFilePath(QString::fromStdString(c));
        if (first.isEmpty()) first = path;
        if (QFileInfo::exists(path)) return path;
    }
    if (lookup_.createAt.empty()) return first; // reported as missing
    const QString made = QString::fromStdString(lookup_.createAt);
    CreateStore(made, QString::fromStdString(lookup_.schema));
    if (onStoreCreated_) onStoreCreated_(made);
    return made;
}

void TdmMain::Run(QSqlQuery& query, const QString& sql, const QVariantList& binds) {
    if (!query.prepare(sql)) Fail(StoreMessage(query.lastError()), StoreCode(query.lastError()));
    for (int i = 0; i < binds.size(); ++i)
        query.bindValue(i, binds.at(i));
    if (!query.exec()) {
        const int code = StoreCode(query.lastError());
        Fail(StoreMessage(query.lastError()), code, WriteReason(code));
    }
}

QString TdmMain::WriteReason(int code) {
    if ((code & 0xFF) != SQLITE_FULL) return {};
    // AUTOINCREMENT never reuses an ID: once the largest one is taken, every
    // insert fails with the engine's "database or disk is full", however much
    // room the disk has.
    QSqlQuery q(connection());
    if (q.exec(QStringLiteral("select max(seq) from sqlite_sequence where name='Colors' "
                              "collate nocase")) &&
        q.next() && q.value(0).toLongLong() == std::numeric_limits<qint64>::max())
        return QStringLiteral("颜色库的编号已经用完，不能再添加颜色");
    return {};
}

void TdmMain::CheckShape() {
    EnsureConnected();
    struct Expect {
        const char* affinity;
        const char* typeName;
        const char* label;
    };
    // In ColorColumn order; the labels are the browser's column titles.
    static const Expect expected[ColumnCount] = {
        {"INTEGER", "AutoInc", "编号"}, {"TEXT", "WideString", "名称"},
        {"INTEGER", "Word", "红"},      {"INTEGER", "Word", "绿"},
        {"INTEGER", "Integer", "蓝"},   {"TEXT", "WideString", "注释"},
    };
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    Run(q, QStringLiteral("PRAGMA table_info(Colors)"), {});
    QHash<QString, QString> declared;
    QStringList keyColumns;
    while (q.next()) {
        declared.insert(q.value(1).toString().toLower(), q.value(2).toString());
        if (q.value(5).toInt() > 0) keyColumns << q.value(1).toString().toLower();
    }
    if (declared.isEmpty()) Fail(QStringLiteral("no such table: Colors"), 0, Shape);
    for (int i = 0; i < ColumnCount; ++i) {
        const Expect& e = expected[i];
        const QString column = QString::fromLatin1(ColumnNames[i]);
        const auto it = declared.constFind(column.toLower());
        if (it == declared.constEnd())
            Fail(QStringLiteral("Field '%1' not found").arg(column), 0, Shape);
        const QString affinity = Affinity(*it);
        if (affinity != QLatin1String(e.affinity))
            Fail(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                     .arg(QString::fromUtf8(e.label), QString::fromLatin1(e.typeName),
                          FieldTypeName(affinity)),
                 0, Shape);
    }
    // Edits and deletes find their row by ID, and a new row takes the ID the
    // store gives it: only the table's own row key (a column declared
    // INTEGER PRIMARY KEY) is filled in by the store and unique. A plain
    // integer column could hold no ID or another row's.
    if (!IsRowKey(declared.value(QStringLiteral("id")), keyColumns, TableSql()))
        Fail(QStringLiteral("Type mismatch for field '%1', expecting: AutoInc actual: Integer")
                 .arg(QString::fromUtf8(expected[colID].label)),
             0, Shape);
    tableChecked_ = true;
}

void TdmMain::RequireShape() {
    EnsureConnected();
    if (!tableChecked_) CheckShape();
}

QString TdmMain::TableSql() {
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    Run(q,
        QStringLiteral("select sql from sqlite_master where type='table' and name='Colors' "
                       "collate nocase"),
        {});
    return q.next() ? q.value(0).toString() : QString();
}

bool TdmMain::Contains(const TRGB& rgb) {
    RequireShape();
    if (!containsQuery_) {
        auto q = std::make_unique<QSqlQuery>(connection());
        q->setForwardOnly(true);
        if (!q->prepare(
                QStringLiteral("select 1 from Colors where RVal=? and GVal=? and BVal=? limit 1")))
            Fail(StoreMessage(q->lastError()), StoreCode(q->lastError()));
        containsQuery_ = std::move(q);
    }
    QSqlQuery& q = *containsQuery_;
    q.bindValue(0, int(rgb.r));
    q.bindValue(1, int(rgb.g));
    q.bindValue(2, int(rgb.b));
    if (!q.exec()) {
        const QSqlError error = q.lastError();
        containsQuery_.reset();
        Fail(StoreMessage(error), StoreCode(error));
    }
    const bool found = q.next();
    const QSqlError error = q.lastError();
    // A statement left unfinished would keep its read lock on the file.
    q.finish();
    if (error.isValid()) Fail(StoreMessage(error), StoreCode(error));
    return found;
}

TdmMain::Written TdmMain::Execute(const QString& sql, const QVariantList& binds) {
    RequireShape();
    RequireWritable();
    QSqlQuery q(connection());
    Run(q, sql, binds);
    return {q.numRowsAffected(), q.lastInsertId().toLongLong()};
}

void TdmMain::Begin() {
    RequireShape();
    RequireWritable();
    QSqlQuery q(connection());
    Run(q, QStringLiteral("BEGIN IMMEDIATE"), {});
}

void TdmMain::Commit() {
    QSqlQuery q(connection());
    Run(q, QStringLiteral("COMMIT"), {});
}

void TdmMain::Rollback() {
    QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
}

bool TdmMain::InsertUnlessStored(const NewColor& c) {
    const QVariantList channels{int(c.rgb.r), int(c.rgb.g), int(c.rgb.b)};
    const Written w = Execute(
        QStringLiteral("INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) SELECT ?,?,?,?,? WHERE "
                       "NOT EXISTS (select 1 from Colors where RVal=? and GVal=? and BVal=?)"),
        QVariantList{c.name} + channels + QVariantList{c.comment} + channels);
    if (w.rows == 1) return true;
    // Nothing written: the colour is there, or the store dropped the row
    // (a trigger, say) without a word.
    if (Contains(c.rgb)) return false;
    throw StoreError(Place(), {}, QStringLiteral("颜色库没有写入这一行"));
}

bool TdmMain::AddColor(const NewColor& c) {
    Begin();
    try {
        const bool added = InsertUnlessStored(c);
        Commit();
        return added;
    } catch (...) {
        Rollback();
        throw;
    }
}

std::vector<bool> TdmMain::AddColors(const std::vector<NewColor>& colors) {
    Begin();
    try {
        std::vector<bool> added;
        added.reserve(colors.size());
        for (const NewColor& c : colors)
            added.push_back(InsertUnlessStored(c));
        Commit();
        return added;
    } catch (...) {
        Rollback();
        throw;
    }
}

std::optional<StoredKey> TdmMain::InsertRecord(const ColumnValues& values) {
    QVariantList binds(5);
    for (const ColumnValue& v : values)
        if (v.column != colID) binds[v.column - 1] = v.value;
    const Written w = Execute(
        QStringLiteral("INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) VALUES(?,?,?,?,?)"), binds);
    if (w.rows != 1) return std::nullopt;
    return StoredKey{w.insertedId, 0};
}

RowWriteResult TdmMain::UpdateRecord(const StoredKey& key, const ColumnValues& values) {
    QStringList sets;
    QVariantList binds;
    for (const ColumnValue& v : values) {
        if (v.column == colID) continue;
        sets << QStringLiteral("%1=?").arg(QString::fromLatin1(ColumnNames[v.column]));
        binds << v.value;
    }
    if (sets.isEmpty()) return {RowWrite::Written, key.version};
    binds << key.id;
    const Written w =
        Execute(QStringLiteral("UPDATE Colors SET %1 WHERE ID=?").arg(sets.join(u',')), binds);
    return {w.rows == 1 ? RowWrite::Written : RowWrite::Gone, key.version};
}

RowWriteResult TdmMain::DeleteRecord(const StoredKey& key) {
    const Written w = Execute(QStringLiteral("DELETE FROM Colors WHERE ID=?"), {key.id});
    return {w.rows == 1 ? RowWrite::Written : RowWrite::Gone, key.version};
}

void TdmMain::Fetch(const StoreSelection& which, const RowSink& sink) {
    // Read through the connection's own SQLite handle: fetching a whole table
    // row by row through QSqlQuery costs several times what SQLite needs.
    EnsureConnected();
    CheckShape();
    sqlite3* db = HandleOf(connection());
    if (!db) Fail(QStringLiteral("The colour store's driver gives no SQLite handle"), 0);
    QString sql = QStringLiteral("select * from Colors");
    QStringList where;
    QVariantList binds;
    QStringList any;
    if (which.nameEndsWith) {
        any << QStringLiteral("Name like ?");
        binds << QStringLiteral("%") + *which.nameEndsWith;
    }
    if (which.orColour) {
        any << QStringLiteral("(RVal=? and GVal=? and BVal=?)");
        binds << qint64(which.orColour->r) << qint64(which.orColour->g)
              << qint64(which.orColour->b);
    }
    if (!any.isEmpty())
        where << QStringLiteral("(") + any.join(QStringLiteral(" or ")) + QLatin1Char(')');
    if (which.id) {
        where << QStringLiteral("ID=?");
        binds << *which.id;
    }
    if (!where.isEmpty()) sql += QStringLiteral(" where ") + where.join(QStringLiteral(" and "));
    if (which.inIdOrder) sql += QStringLiteral(" order by ID");

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
        if (v.typeId() == QMetaType::LongLong) {
            rc = sqlite3_bind_int64(st, i + 1, v.toLongLong());
        } else {
            const QByteArray b = v.toString().toUtf8();
            rc = sqlite3_bind_text(st, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) failHere();
    }
    // The six columns by name, without regard to case; others are ignored.
    int col[ColumnCount];
    std::fill(std::begin(col), std::end(col), -1);
    const int n = sqlite3_column_count(st);
    for (int c = 0; c < n; ++c) {
        const char* name = sqlite3_column_name(st, c);
        for (int k = 0; k < ColumnCount; ++k)
            if (col[k] < 0 && sqlite3_stricmp(name, ColumnNames[k]) == 0) col[k] = c;
    }
    for (int k = 0; k < ColumnCount; ++k)
        if (col[k] < 0)
            Fail(QStringLiteral("Field '%1' not found").arg(QString::fromLatin1(ColumnNames[k])), 0,
                 Shape);
    auto textOf = [st](int c) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
        return std::string_view(p ? p : "", size_t(sqlite3_column_bytes(st, c)));
    };
    StoredRow row;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        row.nulls = 0;
        for (int k = 0; k < ColumnCount; ++k)
            if (sqlite3_column_type(st, col[k]) == SQLITE_NULL) row.nulls |= 1u << k;
        row.key.id = sqlite3_column_int64(st, col[colID]);
        for (int k = 0; k < 3; ++k)
            row.channels[size_t(k)] = sqlite3_column_int64(st, col[colRVal + k]);
        row.name = textOf(col[colName]);
        row.comment = textOf(col[colComment]);
        sink(row);
    }
    if (rc != SQLITE_DONE) failHere();
}

} // namespace tp
