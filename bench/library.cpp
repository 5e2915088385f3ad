// The colour library on a store of 100,000 colours: the duplicate check,
// the insert, opening the browser's query and a search, each against the
// same statement run through the SQLite C API in the same run.
#include "Timing.h"
#include "library/LibQuery.h"
#include "library/ViewColor.h"
#include "library/dm.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace tp;
using bench::Median;

namespace {
constexpr int StoreRows = 100000;

// Median time of one call of f, in microseconds, over rounds of batch calls.
double Time(int rounds, int batch, const std::function<void(int)>& f) {
    std::vector<double> t;
    int k = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < batch; ++i)
            f(k++);
        t.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0 / batch);
    }
    return Median(t);
}

// Both sides measured in alternating rounds, so that load from elsewhere on
// the machine falls on both alike.
std::pair<double, double> TimePair(int rounds, int batch, const std::function<void(int)>& base,
                                   const std::function<void(int)>& ours) {
    std::vector<double> b, o;
    for (int r = 0; r < rounds; ++r) {
        b.push_back(Time(1, batch, base));
        o.push_back(Time(1, batch, ours));
    }
    return {Median(o), Median(b)};
}

void Check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

struct CRow {
    long long id, r, g, b;
    std::string name, comment;
};

void Report(const char* what, double ours, double base, const char* baseline = "C API") {
    std::printf("%-28s ours %10.1f us   %s %10.1f us   ratio %.2f\n", what, ours, baseline, base,
                ours / base);
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QByteArray path = QDir::current().absoluteFilePath(QStringLiteral("store.kvd")).toUtf8();

    sqlite3* db = nullptr;
    Check(sqlite3_open(path.constData(), &db), db);
    QFile schema(QStringLiteral(TINTPICK_SOURCE_DIR "/data/schema.sql"));
    schema.open(QIODevice::ReadOnly);
    Check(sqlite3_exec(db, schema.readAll().constData(), nullptr, nullptr, nullptr), db);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    {
        Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
        sqlite3_stmt* ins = nullptr;
        Check(sqlite3_prepare_v2(
                  db, "INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) VALUES(?,?,?,?,?)", -1, &ins,
                  nullptr),
              db);
        const char* tails[] = {"红", "蓝", "绿", "灰", "色"};
        for (int i = 0; i < StoreRows; ++i) {
            const std::string name = "c" + std::to_string(i) + tails[i % 5];
            sqlite3_bind_text(ins, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(ins, 2, byte(rng));
            sqlite3_bind_int(ins, 3, byte(rng));
            sqlite3_bind_int(ins, 4, byte(rng));
            sqlite3_bind_text(ins, 5, "a comment", -1, SQLITE_STATIC);
            Check(sqlite3_step(ins), db);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    }

    TdmMain dm;
    dm.DataModuleCreate();
    std::vector<TRGB> probes;
    for (int i = 0; i < 100000; ++i)
        probes.push_back({uint8_t(byte(rng)), uint8_t(byte(rng)), uint8_t(byte(rng))});
    auto probe = [&](int k) { return probes[static_cast<size_t>(k) % probes.size()]; };

    std::printf("store of %d colours\n", StoreRows);

    // Duplicate check.
    const char* dupSql = "select 1 from Colors where RVal=? and GVal=? and BVal=? limit 1";
    auto cDup = [&](int k) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, dupSql, -1, &s, nullptr);
        const TRGB c = probe(k);
        sqlite3_bind_int(s, 1, c.r);
        sqlite3_bind_int(s, 2, c.g);
        sqlite3_bind_int(s, 3, c.b);
        int n = 0;
        while (sqlite3_step(s) == SQLITE_ROW)
            ++n;
        sqlite3_finalize(s);
        return n;
    };
    volatile int sink = 0;
    auto [ours, base] = TimePair(
        21, 500, [&](int k) { sink = sink + cDup(k); },
        [&](int k) { sink = sink + dm.Contains(probe(k)); });
    Report("duplicate check", ours, base);

    // A save: the insert unless the colour is stored, in a transaction of its
    // own that takes the write lock first.
    const char* insSql =
        "INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) SELECT ?,?,?,?,? WHERE NOT EXISTS "
        "(select 1 from Colors where RVal=? and GVal=? and BVal=?)";
    // Each side saves colours of its own, new to the store (Time counts from
    // 0 in every round).
    int baseSaved = 50000, oursSaved = 0;
    std::tie(ours, base) = TimePair(
        11, 20,
        [&](int) {
            Check(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), db);
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(db, insSql, -1, &s, nullptr);
            const TRGB c = probe(baseSaved++);
            sqlite3_bind_text(s, 1, "bench", -1, SQLITE_STATIC);
            sqlite3_bind_text(s, 5, "", -1, SQLITE_STATIC);
            sqlite3_bind_int(s, 2, c.r);
            sqlite3_bind_int(s, 3, c.g);
            sqlite3_bind_int(s, 4, c.b);
            sqlite3_bind_int(s, 6, c.r);
            sqlite3_bind_int(s, 7, c.g);
            sqlite3_bind_int(s, 8, c.b);
            Check(sqlite3_step(s), db);
            sqlite3_finalize(s);
            Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
        },
        [&](int) {
            dm.AddColor({QStringLiteral("bench"), probe(oursSaved++), QString()});
        });
    Report("save (check and insert)", ours, base);

    // Opening the browser's query: every row fetched.
    auto cFetch = [&](const char* sql, const char* bind) {
        std::vector<CRow> rows;
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        if (bind) sqlite3_bind_text(s, 1, bind, -1, SQLITE_STATIC);
        while (sqlite3_step(s) == SQLITE_ROW) {
            CRow r;
            r.id = sqlite3_column_int64(s, 0);
            r.name = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
            r.r = sqlite3_column_int64(s, 2);
            r.g = sqlite3_column_int64(s, 3);
            r.b = sqlite3_column_int64(s, 4);
            const unsigned char* c = sqlite3_column_text(s, 5);
            r.comment = c ? reinterpret_cast<const char*>(c) : "";
            rows.push_back(std::move(r));
        }
        sqlite3_finalize(s);
        return rows.size();
    };
    std::tie(ours, base) = TimePair(
        9, 1, [&](int) { sink = sink + int(cFetch("select * from colors", nullptr)); },
        [&](int) {
            TLibQuery q(dm);
            q.Open();
            sink = sink + q.RecordCount();
        });
    Report("browser query, all rows", ours, base);

    // Search by the end of the name.
    std::tie(ours, base) = TimePair(
        11, 1,
        [&](int) { sink = sink + int(cFetch("select * from colors where name like ?", "%9红")); },
        [&](int) {
            TLibQuery q(dm);
            q.SetSelection(StoreSelection::NameEndingWith(QStringLiteral("9红")));
            q.Open();
            sink = sink + q.RecordCount();
        });
    Report("search '9红'", ours, base);

    // The page check every opening of the store runs, against one plain
    // read of the whole table; then the whole opening with it, against the
    // same read.
    auto quickCheck = [&] {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "pragma quick_check(20)", -1, &s, nullptr);
        int n = 0;
        while (sqlite3_step(s) == SQLITE_ROW)
            ++n;
        sqlite3_finalize(s);
        return n;
    };
    std::tie(ours, base) = TimePair(
        9, 1, [&](int) { sink = sink + int(cFetch("select * from colors", nullptr)); },
        [&](int) { sink = sink + quickCheck(); });
    Report("pragma quick_check", ours, base, "full read");
    std::printf("pragma quick_check on %d rows: %.1f ms\n", StoreRows, ours / 1000.0);
    const double opening = Time(9, 1, [&](int) { dm.DataModuleCreate(); });
    Report("store opening with check", opening, base, "full read");
    dm.DataModuleCreate();

    // The whole window, as a user waits for it: built, query opened, shown
    // and painted once.
    test::TestServices fakes;
    const Services services = fakes.services();
    const double window = Time(5, 1, [&](int) {
        TfrmViewColor w(services, dm, nullptr, nullptr);
        w.show();
        w.grab();
        w.hide();
    });
    std::printf("browser window open (100,000 rows): %.1f ms\n", window / 1000.0);
    sqlite3_close(db);
    return fakes.errors.messages.isEmpty() ? 0 : 1;
}
