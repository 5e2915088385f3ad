#include "library/dm.h"

#include "app/Convert.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

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
    QSqlQuery q(adocMain());
    q.setForwardOnly(true);
    Run(q, sql, binds);
    int n = 0;
    while (q.next())
        ++n;
    if (q.lastError().isValid()) Raise(StoreMessage(q.lastError()));
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
