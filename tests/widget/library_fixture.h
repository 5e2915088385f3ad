#pragma once
// A colour store in a temporary directory that is the working directory for
// the test's duration, made from the schema the build uses. The tests change
// it and lock it through connections of their own, with the SQLite library
// the program's store uses (a Windows machine has no sqlite3 shell).
#include "library/dm.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <functional>

#include <sqlite3.h>

#include <gtest/gtest.h>

// Failures show texts as text, not as UTF-16 units.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tp::test {

struct StoreRow {
    qint64 id;
    QString name;
    QVariant r, g, b;
    QString comment;
    friend bool operator==(const StoreRow&, const StoreRow&) = default;
};

inline void PrintTo(const StoreRow& r, std::ostream* os) {
    *os << r.id << " '" << r.name.toStdString() << "' " << r.r.toString().toStdString() << ","
        << r.g.toString().toStdString() << "," << r.b.toString().toStdString() << " '"
        << r.comment.toStdString() << "'";
}

class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        dm.setBusyTimeout(50);
    }
    void TearDown() override {
        unlock();
        QDir::setCurrent(oldCwd);
    }

    QString storePath() const { return dir.filePath(QStringLiteral("store.kvd")); }

    // Runs SQL statements on a connection of their own (the file is made
    // if it does not exist); `out` gets the rows, '|' between the values and
    // a line break after each row.
    static int exec(const QString& file, const QString& sql, std::string& error,
                    QString* out = nullptr) {
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(file.toUtf8().constData(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        char* message = nullptr;
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(
                db, sql.toUtf8().constData(),
                [](void* to, int n, char** values, char**) {
                    if (auto* text = static_cast<QString*>(to)) {
                        for (int i = 0; i < n; ++i)
                            *text += (i ? QStringLiteral("|") : QString()) +
                                     QString::fromUtf8(values[i] ? values[i] : "");
                        *text += QLatin1Char('\n');
                    }
                    return 0;
                },
                out, &message);
        error = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        sqlite3_close(db);
        return rc;
    }
    void sqlite(const QString& sql, const QString& file = {}) {
        std::string error;
        ASSERT_EQ(exec(file.isEmpty() ? storePath() : file, sql, error), SQLITE_OK) << error;
    }
    // The rows a statement gives, as text.
    QString sqliteOutput(const QString& sql) {
        QString out;
        std::string error;
        EXPECT_EQ(exec(storePath(), sql, error, &out), SQLITE_OK) << error;
        return out.trimmed();
    }
    void makeStore() {
        QFile schema(QStringLiteral(TINTPICK_SOURCE_DIR "/data/schema.sql"));
        ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
        sqlite(QString::fromUtf8(schema.readAll()));
    }
    void addRow(const QString& name, qint64 r, qint64 g, qint64 b, const QString& comment = {}) {
        QString n = name;
        n.replace(QLatin1Char('\''), QStringLiteral("''"));
        sqlite(QStringLiteral(
                   "INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) VALUES('%1',%2,%3,%4,'%5');")
                   .arg(n)
                   .arg(r)
                   .arg(g)
                   .arg(b)
                   .arg(comment));
    }

    // Reads the table through a connection of its own.
    std::vector<StoreRow> rows() {
        std::vector<StoreRow> out;
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(storePath());
            EXPECT_TRUE(db.open());
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec(
                QStringLiteral("select ID,Name,RVal,GVal,BVal,Comment from Colors order by ID")));
            while (q.next())
                out.push_back({q.value(0).toLongLong(), q.value(1).toString(), q.value(2),
                               q.value(3), q.value(4), q.value(5).toString()});
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return out;
    }

    // Another connection, as another program's would, holds an exclusive
    // lock on the store until TearDown or unlock().
    void lockFromAnotherConnection() {
        ASSERT_EQ(locker, nullptr);
        ASSERT_EQ(sqlite3_open_v2(storePath().toUtf8().constData(), &locker, SQLITE_OPEN_READWRITE,
                                  nullptr),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(locker, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(locker);
    }
    void unlock() {
        if (!locker) return;
        EXPECT_EQ(sqlite3_exec(locker, "COMMIT;", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(locker);
        locker = nullptr;
    }

    static std::string messageOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no error";
    }

    QTemporaryDir dir;
    QString oldCwd;
    TdmMain dm;
    sqlite3* locker = nullptr;
};

} // namespace tp::test
