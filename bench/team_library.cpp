// The team library on a PostgreSQL server holding 100,000 colours: opening
// the browser, a search, a save (duplicate check and insert) and a
// 10,000-colour import, each against the very statements it sent, run
// through psql in the same run; and the time until a second client's open
// browser shows a colour saved by another (median of 20).
// Run it with bench/run_team_library.sh, which starts the server.
#include "library/LibQuery.h"
#include "library/PaletteIo.h"
#include "library/PgStore.h"
#include "library/ViewColor.h"
#include "skin/SkinData.h"
#include "support/Fakes.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace tp;

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Ms(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

struct Bench {
    QString uri;
    TPgStore store;
    QStringList sent; // what the store sent while recording
    bool recording = false;
    QTemporaryDir dir;

    explicit Bench(const QString& location) : uri(location), store(location) {
        store.setStatementLog([this](const QString& s) {
            if (recording) sent << s;
        });
    }

    // Runs f, keeping the statements it sent.
    QStringList Record(const std::function<void()>& f) {
        sent.clear();
        recording = true;
        f();
        recording = false;
        return sent;
    }

    // The statements run through psql, `repeat` times in one process: the
    // time of one pass, in ms.
    double Psql(const QStringList& statements, int repeat = 1) {
        QFile file(dir.filePath(QStringLiteral("statements.sql")));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (int i = 0; i < repeat; ++i)
            for (const QString& s : statements)
                file.write((s + QStringLiteral(";\n")).toUtf8());
        file.close();
        QProcess psql;
        psql.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const double ms = Ms([&] {
            psql.start(QStringLiteral("psql"),
                       {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"),
                        QStringLiteral("-t"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                        QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                        QStringLiteral("-d"), uri, QStringLiteral("-f"), file.fileName()});
            psql.waitForFinished(-1);
        });
        if (psql.exitCode() != 0) {
            std::fprintf(stderr, "psql failed\n");
            std::exit(1);
        }
        return ms / repeat;
    }

    // Removes what a round added, outside the timing.
    void Forget(int fromBlue) {
        Psql({QStringLiteral("delete from colors where bval >= %1").arg(fromBlue)});
    }
};

void Report(const char* what, double ours, double psql) {
    std::printf("%-34s ours %9.1f ms   psql %9.1f ms   ratio %.2f\n", what, ours, psql,
                ours / psql);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: team_library LOCATION\n");
        return 2;
    }
    Bench a(QString::fromLocal8Bit(argv[1]));
    TPgStore b(a.uri); // another member
    SkinData skin = SkinData::load();
    RecordingErrorReporter errors;
    Services services;
    services.skin = &skin;
    services.errors = &errors;
    a.store.EnsureConnected();
    b.EnsureConnected();
    int rows = 0;
    a.store.Fetch({}, [&](const StoredRow&) { ++rows; });
    std::printf("library of %d colours on the server\n", rows);

    // Opening the browser: built, its list read, shown and painted once.
    std::vector<double> ours, base;
    for (int r = 0; r < 5; ++r) {
        QStringList sent;
        ours.push_back(Ms([&] {
            sent = a.Record([&] {
                TfrmViewColor w(services, a.store, nullptr, nullptr);
                w.show();
                w.grab();
            });
        }));
        base.push_back(a.Psql(sent));
    }
    Report("opening the browser", Median(ours), Median(base));

    ours.clear();
    base.clear();
    for (int r = 0; r < 7; ++r) {
        QStringList sent;
        ours.push_back(Ms([&] {
            sent = a.Record([&] {
                TLibQuery q(a.store);
                q.SetSelection(StoreSelection::NameEndingWith(QStringLiteral("9红")));
                q.Open();
            });
        }));
        base.push_back(a.Psql(sent, 3));
    }
    Report("search '9红'", Median(ours), Median(base));

    // 200 saves a round, each a colour new to the library; psql then sends
    // the same statements into the same table, the round's rows removed in
    // between.
    ours.clear();
    base.clear();
    int blue = 200;
    for (int r = 0; r < 5; ++r, ++blue) {
        QStringList sent;
        const double t = Ms([&] {
            sent = a.Record([&] {
                for (int i = 0; i < 200; ++i) {
                    const TRGB c{uint8_t(i), uint8_t(r), uint8_t(blue)};
                    if (!a.store.Contains(c))
                        a.store.AddColor({QStringLiteral("bench"), c, QString()});
                }
            });
        });
        ours.push_back(t / 200);
        a.Forget(200);
        base.push_back(a.Psql(sent) / 200);
        a.Forget(200);
    }
    Report("save (check and insert), each", Median(ours), Median(base));

    // A palette of 10,000 colours new to the library, through the import.
    const QString gpl = a.dir.filePath(QStringLiteral("bench.gpl"));
    {
        QFile f(gpl);
        f.open(QIODevice::WriteOnly);
        f.write("GIMP Palette\n");
        for (int i = 0; i < 10000; ++i)
            f.write(QStringLiteral("%1 %2 %3\tp%4\n")
                        .arg(i % 256)
                        .arg(i / 256)
                        .arg(210)
                        .arg(i)
                        .toUtf8());
    }
    ours.clear();
    base.clear();
    for (int r = 0; r < 5; ++r) {
        QStringList sent;
        ours.push_back(Ms([&] { sent = a.Record([&] { ImportPaletteFile(a.store, gpl); }); }));
        a.Forget(210);
        base.push_back(a.Psql(sent));
        a.Forget(210);
    }
    Report("import of 10,000 colours", Median(ours), Median(base));

    // Another member saves; how long until this browser lists it.
    std::vector<double> live;
    {
        TfrmViewColor w(services, a.store, nullptr, nullptr);
        w.show();
        const QAbstractItemModel* model =
            w.findChild<QTableView*>(QStringLiteral("dbgColors"))->model();
        for (int r = 0; r < 20; ++r) {
            const int before = model->rowCount();
            QElapsedTimer t;
            t.start();
            b.AddColor({QStringLiteral("live"), {uint8_t(r), 0, 220}, QString()});
            while (model->rowCount() == before && t.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            live.push_back(double(t.nsecsElapsed()) / 1e6);
        }
    }
    a.Forget(220);
    std::printf("a second client's browser shows a new colour: median %.1f ms of 20 "
                "(fastest %.1f, slowest %.1f)\n",
                Median(live), *std::min_element(live.begin(), live.end()),
                *std::max_element(live.begin(), live.end()));
    for (const QString& m : errors.messages)
        std::fprintf(stderr, "error: %s\n", m.toLocal8Bit().constData());
    return errors.messages.isEmpty() ? 0 : 1;
}
