#pragma once
// A colour store in a temporary directory that is the working directory for
// the test's duration, made from the schema the build uses.
#include "library/dm.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <functional>

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
        if (locker.state() != QProcess::NotRunning) {
            locker.closeWriteChannel();
            locker.waitForFinished(3000);
        }
        QDir::setCurrent(oldCwd);
    }

    QString storePath() const { return dir.filePath(QStringLiteral("store.kvd")); }

    // Runs SQL through the sqlite3 command-line shell, as the build does.
    void sqlite(const QString& sql, const QString& file = {}) {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {file.isEmpty() ? storePath() : file});
        ASSERT_TRUE(p.waitForStarted());
        p.write(sql.toUtf8());
        p.closeWriteChannel();
        ASSERT_TRUE(p.waitForFinished(10000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    // The shell's output of a statement.
    QString sqliteOutput(const QString& sql) {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {storePath(), sql});
        EXPECT_TRUE(p.waitForFinished(10000));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
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

    // Another process holds an exclusive lock on the store until TearDown
    // or unlock().
    void lockFromAnotherProcess() {
        locker.start(QStringLiteral("sqlite3"), {storePath()});
        ASSERT_TRUE(locker.waitForStarted());
        locker.write("BEGIN EXCLUSIVE;\nSELECT 'locked';\n");
        QByteArray out;
        while (!out.contains("locked")) {
            ASSERT_TRUE(locker.waitForReadyRead(5000));
            out += locker.readAllStandardOutput();
        }
    }
    void unlock() {
        locker.write("COMMIT;\n");
        locker.closeWriteChannel();
        locker.waitForFinished(5000);
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
    QProcess locker;
};

} // namespace tp::test
