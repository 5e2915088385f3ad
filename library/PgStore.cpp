#include "library/PgStore.h"

#include "library/LibraryLocation.h"
#include "library/ServerStore.h"
#include "platform/SocketCut.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlResult>
#include <QThread>
#include <QTimer>

#include <libpq-fe.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace tp {

namespace {

const QString ServerLabel = QStringLiteral("颜色库服务器");
const QString Channel = QStringLiteral("tintpick_colors");

// The messages' reasons, in the user's words.
const char* const NoAnswer = "颜色库服务器 5 秒内没有回答";
const char* const Unreachable = "连不上颜色库服务器";
const char* const Lost = "与颜色库服务器的连接断了";
const char* const ReadOnly = "这个颜色库对你是只读的：不能保存、导入、修改或删除";
const char* const Shape = "颜色库的表 Colors 不合要求";

// A location as libpq reads it: keyword and value, in its order.
using Options = QList<std::pair<QString, QString>>;

// Throws StoreError when libpq cannot read the location, or when it holds a
// secret the program would keep in its settings.
Options ParseLocation(const QString& location, const StorePlace& place) {
    const QByteArray text = location.toUtf8();
    char* error = nullptr;
    PQconninfoOption* parsed = PQconninfoParse(text.constData(), &error);
    if (!parsed) {
        const QString why =
            error ? QString::fromUtf8(error).trimmed() : QStringLiteral("out of memory");
        PQfreemem(error);
        throw StoreError(place, why, QStringLiteral("颜色库位置写得不对"));
    }
    Options options;
    for (const PQconninfoOption* o = parsed; o->keyword; ++o)
        if (o->val) options.append({QString::fromUtf8(o->keyword), QString::fromUtf8(o->val)});
    PQconninfoFree(parsed);
    for (const auto& [key, value] : options) {
        if (key == QLatin1String("password") || key == QLatin1String("sslpassword"))
            throw StoreError(place, QStringLiteral("The location holds a password."),
                             QStringLiteral("颜色库位置里不能写密码：请把它写进 ~/.pgpass（或 "
                                            "PGPASSFILE 指向的文件）或 service 条目"));
        // The driver turns every ";" of its options into a blank.
        if (value.contains(u';'))
            throw StoreError(place, QStringLiteral("The value of '%1' holds a semicolon.").arg(key),
                             QStringLiteral("颜色库位置写得不对"));
    }
    return options;
}

QString Quoted(QString value) {
    value.replace(u'\\', QLatin1String("\\\\"));
    value.replace(u'\'', QLatin1String("\\'"));
    return u'\'' + value + u'\'';
}

// The driver's connection options: the location's own, with the program's
// time limit on connecting, which a location may shorten but not lengthen.
QString ConnectOptions(const Options& options, bool listening) {
    QStringList out;
    bool named = false;
    int timeout = TPgStore::TimeoutSeconds;
    for (const auto& [key, value] : options) {
        if (key == QLatin1String("connect_timeout")) {
            bool ok = false;
            const int t = value.toInt(&ok);
            if (ok && t > 0 && t < timeout) timeout = t;
            continue;
        }
        if (key == QLatin1String("application_name")) named = true;
        out << key + u'=' + Quoted(value);
    }
    out << QStringLiteral("connect_timeout=%1").arg(timeout);
    if (!named) out << QStringLiteral("application_name='tintpick'");
    // The listening connection is idle for hours; keepalives find out when
    // the network under it is gone, so that it connects again.
    if (listening)
        out << QStringLiteral("keepalives=1") << QStringLiteral("keepalives_idle=5")
            << QStringLiteral("keepalives_interval=2") << QStringLiteral("keepalives_count=3");
    return out.join(u';');
}

// The driver's handles carry libpq's struct names, by the typedef or not.
bool IsHandle(const QVariant& handle, const char* structName) {
    if (!handle.isValid()) return false;
    const char* type = handle.typeName();
    return qstrcmp(type, structName) == 0 ||
           qstrcmp(type, qstrcmp(structName, "pg_conn*") == 0 ? "PGconn*" : "PGresult*") == 0;
}

PGconn* ConnectionOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!IsHandle(handle, "pg_conn*")) return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

// libpq writes the server's notices (and its last words when it goes
// away) to standard error by default; the program reports failures itself.
void Quiet(PGconn* conn) {
    if (conn)
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
}

PGresult* ResultOf(const QSqlQuery& q) {
    const QVariant handle = q.result() ? q.result()->handle() : QVariant();
    if (!IsHandle(handle, "pg_result*")) return nullptr;
    return *static_cast<PGresult* const*>(handle.constData());
}

// The server's text without the code the driver appends to it.
QString ServerText(const QSqlError& e) {
    QString m = e.databaseText().trimmed();
    static const QRegularExpression code(QStringLiteral("\\([0-9A-Z]*\\)$"));
    m.remove(code);
    static const QRegularExpression level(QStringLiteral("^(ERROR|FATAL):\\s+"));
    m.remove(level);
    m = m.trimmed();
    if (m.isEmpty()) m = e.driverText().trimmed();
    if (m.isEmpty()) m = QStringLiteral("unknown error of the colour store");
    return m;
}

bool Says(const QString& text, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (text.contains(QString::fromUtf8(w), Qt::CaseInsensitive)) return true;
    return false;
}

// Why a call failed, from the server's code or, where the failure came
// before there was one (connecting), from libpq's text.
QString ReasonOf(const QSqlError& e, bool connecting, bool lost = false) {
    const QString code = e.nativeErrorCode();
    const QString text = e.databaseText();
    if (code == QLatin1String("23505")) return QStringLiteral("颜色库中已有这个颜色");
    if (code == QLatin1String("42501"))
        return QStringLiteral("服务器不许这个用户这样做（权限不够）");
    if (code == QLatin1String("25006")) return QStringLiteral("颜色库服务器只许读取");
    if (code == QLatin1String("42P01") || code == QLatin1String("42703"))
        return QString::fromUtf8(Shape);
    if (code.startsWith(QLatin1String("23")) || code.startsWith(QLatin1String("22")))
        return QStringLiteral("颜色库不接受这个值");
    if (code == QLatin1String("28P01") || Says(text, {"password authentication failed"}))
        return QStringLiteral("服务器不接受这个用户的密码（密码取自 ~/.pgpass、PGPASSFILE "
                              "或 service 条目）");
    if (Says(text, {"no password supplied"}))
        return QStringLiteral("没有这个用户的密码：~/.pgpass、PGPASSFILE 和 service "
                              "条目里都没有");
    if (Says(text, {"SSL", "no encryption", "GSSAPI"}))
        return QStringLiteral("服务器和这个位置的加密要求（sslmode）不合");
    if (code == QLatin1String("3D000") ||
        (Says(text, {"database \""}) && Says(text, {"does not exist"})))
        return QStringLiteral("服务器上没有这个数据库");
    if (code.startsWith(QLatin1String("28"))) return QStringLiteral("服务器不让这个用户登录");
    if (code == QLatin1String("42P07")) return QStringLiteral("数据库里已经有表 Colors");
    if (Says(text, {"timeout expired", "超时"})) return QString::fromUtf8(NoAnswer);
    if (connecting) return QString::fromUtf8(Unreachable);
    if (lost) return QString::fromUtf8(Lost);
    return {};
}

// A value as the driver writes it into a statement: the quoting its own
// bound values get, with the server's string settings taken into account.
QString Literal(const QSqlDriver* driver, const QVariant& v) {
    if (v.isNull()) return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QString::number(v.toLongLong());
    default: {
        QSqlField f(QString(), QMetaType(QMetaType::QString));
        f.setValue(v.toString());
        return driver->formatValue(f);
    }
    }
}

const char* ColumnName(ColorColumn c) {
    switch (c) {
    case colID:
        return "id";
    case colName:
        return "name";
    case colRVal:
        return "rval";
    case colGVal:
        return "gval";
    case colBVal:
        return "bval";
    case colComment:
        return "comment";
    default:
        return nullptr;
    }
}

qint64 Integer(const char* p, int n) {
    qint64 v = 0;
    std::from_chars(p, p + n, v);
    return v;
}

} // namespace

// Cuts the connection when the server leaves a call unanswered for longer
// than the time limit: a frozen server or a network that is gone would
// otherwise hold the window for as long as TCP takes to give up.
class TPgStore::Watch {
public:
    Watch() : thread_([this] { Run(); }) {}
    ~Watch() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void Arm(long long socket) {
        std::lock_guard lock(mutex_);
        socket_ = socket;
        deadline_ = Clock::now() + std::chrono::seconds(TimeoutSeconds);
        armed_ = true;
        fired_ = false;
        wake_.notify_all();
    }
    // Whether the call ran out of time (its connection is cut then).
    bool Disarm() {
        std::lock_guard lock(mutex_);
        armed_ = false;
        return fired_;
    }

private:
    using Clock = std::chrono::steady_clock;
    void Run() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            if (!armed_) {
                wake_.wait(lock);
            } else if (Clock::now() >= deadline_) {
                CutSocket(socket_);
                fired_ = true;
                armed_ = false;
            } else {
                wake_.wait_until(lock, deadline_);
            }
        }
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    long long socket_ = -1;
    Clock::time_point deadline_;
    bool armed_ = false, fired_ = false, stop_ = false;
    std::thread thread_;
};

// Listens for the server's notices on a connection of its own, in a thread
// of its own: connecting, and connecting again after the server went away,
// never waits in the window's thread. Says when another client changed the
// library, and after each reconnection, since notices sent meanwhile are
// lost. (The notices also name the rows; the browser reads its list again
// whole, which keeps an edit under way and costs a tenth of a second on
// 100,000 colours.)
class TPgStore::Listener : public QObject {
    Q_OBJECT
public:
    Listener(QString options, QString name) : options_(std::move(options)), name_(std::move(name)) {
        moveToThread(&thread_);
        connect(&thread_, &QThread::started, this, &Listener::Start);
        connect(&thread_, &QThread::finished, this, &Listener::Stop);
        Running().Add(this);
        thread_.start();
    }
    ~Listener() override {
        Running().Remove(this);
        End();
    }
    // The writer's server process whose notices are the program's own.
    void setOwnPid(qint64 pid) { ownPid_.store(pid); }

signals:
    void changed();

private:
    void Start() {
        timer_ = new QTimer(this);
        connect(timer_, &QTimer::timeout, this, &Listener::Check);
        timer_->start(250);
        Check();
    }
    void Stop() {
        delete timer_;
        timer_ = nullptr;
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    void Check() {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        if (db.isValid() && db.isOpen()) return;
        if (retryIn_-- > 0) return;
        if (!db.isValid()) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
            db.setConnectOptions(options_);
        }
        db.close();
        if (!db.open() || !db.driver()->subscribeToNotification(Channel)) {
            db.close();
            retryIn_ = 8; // two seconds
            return;
        }
        Quiet(ConnectionOf(db));
        connect(db.driver(), &QSqlDriver::notification, this, &Listener::Notice,
                Qt::UniqueConnection);
        if (everConnected_) emit changed();
        everConnected_ = true;
    }
    void Notice(const QString& name, QSqlDriver::NotificationSource, const QVariant& payload) {
        if (name != Channel) return;
        // "writer's process:IDs"; the program's own writes are known to it.
        const QString text = payload.toString();
        const qsizetype colon = text.indexOf(u':');
        if (colon > 0 && text.left(colon).toLongLong() == ownPid_.load()) return;
        emit changed();
    }

    void End() {
        thread_.quit();
        thread_.wait();
    }
    // The listeners alive. A process can end by exit() with its windows
    // still open (Qt ends it so when the X server goes away); the
    // connections' registry goes with the static objects then, and must not
    // go from under a listening thread, so each is stopped first.
    class Registry {
    public:
        void Add(Listener* l) {
            std::lock_guard lock(mutex_);
            static const bool once = [] { return std::atexit([] { Running().EndAll(); }) == 0; }();
            (void)once;
            all_.push_back(l);
        }
        void Remove(Listener* l) {
            std::lock_guard lock(mutex_);
            std::erase(all_, l);
        }
        void EndAll() {
            std::lock_guard lock(mutex_);
            for (Listener* l : all_)
                l->End();
        }

    private:
        std::mutex mutex_;
        std::vector<Listener*> all_;
    };
    static Registry& Running() {
        static Registry* r = new Registry; // outlives the exit handlers
        return *r;
    }

    QThread thread_;
    QString options_, name_;
    QTimer* timer_ = nullptr;
    int retryIn_ = 0;
    bool everConnected_ = false;
    std::atomic<qint64> ownPid_{0};
};

TPgStore::TPgStore(QString location)
    : location_(std::move(location)), watch_(std::make_unique<Watch>()) {
    static std::atomic<int> serial{0};
    connectionName_ = QStringLiteral("tintpick-server-%1").arg(++serial);
    QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName_);
}

TPgStore::~TPgStore() {
    listener_.reset();
    last_.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

StorePlace TPgStore::Place() const {
    return {ServerLabel, QString::fromStdString(ShownLocation(location_.toStdString()))};
}

bool TPgStore::Connected() const {
    return QSqlDatabase::database(connectionName_, false).isOpen();
}

void TPgStore::Disconnect() {
    last_.reset();
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (db.isOpen()) db.close();
    shapeChecked_ = false;
    writable_ = true;
    backendPid_ = 0;
}

void TPgStore::DataModuleCreate() {
    // A member who may only read is not told so at every start: reading is
    // what the grants give them, and each write says it when tried.
    Disconnect();
    Doing("颜色库没有打开", [this] { Connect(); });
}

void TPgStore::EnsureConnected() {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    // A server that restarted or went away while the connection sat idle
    // has closed it; what it said is read without waiting, so the next
    // statement goes to a fresh connection instead of failing.
    if (PGconn* conn = ConnectionOf(db); conn && db.isOpen())
        if (!PQconsumeInput(conn) || PQstatus(conn) != CONNECTION_OK) Disconnect();
    // A server killed or restarted may say nothing before the next
    // statement meets the dead connection. After a pause the connection is
    // tried first, so that a save is not lost to a connection that died
    // while the user typed; a server that does not answer is reported as
    // it is, without a second wait for a new connection.
    if (Connected() && shapeChecked_ &&
        std::chrono::steady_clock::now() - lastAnswer_ > std::chrono::seconds(TimeoutSeconds)) {
        try {
            Run(QStringLiteral("select 1"), {});
        } catch (const StoreError&) {
            if (Connected() || timedOut_) throw;
        }
    }
    if (!Connected() || !shapeChecked_) {
        Disconnect();
        Connect();
    }
}

void TPgStore::Connect() {
    const Options options = ParseLocation(location_, Place());
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.isValid() || !db.driver() || db.driverName() != QLatin1String("QPSQL"))
        throw StoreError(Place(),
                         QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not installed."),
                         QStringLiteral("这台电脑上没有 PostgreSQL 的驱动（libqt6sql6-psql）"));
    db.setConnectOptions(ConnectOptions(options, false));
    if (!db.open()) {
        const QSqlError e = db.lastError();
        throw StoreError(Place(), ServerText(e), ReasonOf(e, true));
    }
    Quiet(ConnectionOf(db));
    lastAnswer_ = std::chrono::steady_clock::now();
    try {
        QSqlQuery& q = Run(QStringLiteral("select pg_backend_pid()"), {});
        backendPid_ = q.next() ? q.value(0).toLongLong() : 0;
        CheckShape();
        ReadRights();
    } catch (...) {
        Disconnect();
        throw;
    }
    if (wantsNotices_) StartListening();
}

void TPgStore::connectNotify(const QMetaMethod& signal) {
    // Only a browser asks for changes; a library command never starts the
    // listening connection.
    if (signal != QMetaMethod::fromSignal(&ColorStore::changedElsewhere)) return;
    wantsNotices_ = true;
    if (Connected()) StartListening();
}

void TPgStore::StartListening() {
    // The listener outlives the connection: it connects again by itself.
    if (listener_) {
        listener_->setOwnPid(backendPid_);
        return;
    }
    listener_ = std::make_unique<Listener>(ConnectOptions(ParseLocation(location_, Place()), true),
                                           connectionName_ + QStringLiteral("-listen"));
    listener_->setOwnPid(backendPid_);
    connect(listener_.get(), &Listener::changed, this, &ColorStore::changedElsewhere);
}

void TPgStore::RunOnce(QSqlQuery& q, const QString& sql, const QVariantList& binds) {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    QString text;
    text.reserve(sql.size() + 16 * binds.size());
    qsizetype next = 0;
    for (const QChar c : sql) {
        if (c == u'?' && next < binds.size())
            text += Literal(db.driver(), binds.at(next++));
        else
            text += c;
    }
    if (log_) log_(text);
    PGconn* conn = ConnectionOf(db);
    if (conn) watch_->Arm(PQsocket(conn));
    const bool ok = q.exec(text);
    const bool late = conn && watch_->Disarm();
    timedOut_ = late;
    if (ok) lastAnswer_ = std::chrono::steady_clock::now();
    if (late) {
        Disconnect();
        throw StoreError(Place(),
                         QStringLiteral("No answer within %1 seconds; the connection was dropped.")
                             .arg(TimeoutSeconds),
                         QString::fromUtf8(NoAnswer));
    }
    if (!ok) Fail(q.lastError());
}

QSqlQuery& TPgStore::Run(const QString& sql, const QVariantList& binds) {
    // Statements go out whole, with their values quoted by the driver as
    // its prepared statements would send them (it prepares by PREPARE and
    // EXECUTE with the values written in): one round trip instead of two,
    // and nothing left on the server to free when a connection is lost.
    last_.reset();
    auto q = std::make_unique<QSqlQuery>(QSqlDatabase::database(connectionName_, false));
    RunOnce(*q, sql, binds);
    last_ = std::move(q);
    return *last_;
}

void TPgStore::Fail(const QSqlError& error) {
    PGconn* conn = ConnectionOf(QSqlDatabase::database(connectionName_, false));
    const bool lost = !conn || PQstatus(conn) != CONNECTION_OK;
    const QString detail = ServerText(error);
    // A write the grants refuse to a member known to read only says so.
    const QString reason = error.nativeErrorCode() == QLatin1String("42501") && !writable_
                               ? QString::fromUtf8(ReadOnly)
                               : ReasonOf(error, false, lost);
    if (lost) Disconnect();
    throw StoreError(Place(), detail, reason);
}

void TPgStore::CheckShape() {
    if (!Connected()) {
        EnsureConnected(); // checks the shape on the way
        return;
    }
    struct Expect {
        const char* column;
        const char* label;
        QStringList types; // format_type's spellings that fit
        const char* wanted;
    };
    const Expect expected[] = {
        {"id", "编号", {QStringLiteral("integer"), QStringLiteral("bigint")}, "AutoInc"},
        {"name", "名称", {QStringLiteral("character varying(20)")}, "varchar(20)"},
        {"rval", "红", {QStringLiteral("integer"), QStringLiteral("bigint")}, "integer"},
        {"gval", "绿", {QStringLiteral("integer"), QStringLiteral("bigint")}, "integer"},
        {"bval", "蓝", {QStringLiteral("integer"), QStringLiteral("bigint")}, "integer"},
        {"comment", "注释", {QStringLiteral("character varying(50)")}, "varchar(50)"},
        {"rowversion",
         "RowVersion",
         {QStringLiteral("bigint"), QStringLiteral("integer")},
         "bigint"},
    };
    QSqlQuery& q =
        Run(QStringLiteral("select a.attname, format_type(a.atttypid, a.atttypmod), a.attidentity, "
                           "coalesce(pg_get_expr(d.adbin, d.adrelid), '') "
                           "from pg_attribute a left join pg_attrdef d "
                           "on d.adrelid = a.attrelid and d.adnum = a.attnum "
                           "where a.attrelid = to_regclass('colors') and a.attnum > 0 "
                           "and not a.attisdropped"),
            {});
    QHash<QString, std::pair<QString, bool>> columns; // type, filled in by the server
    while (q.next())
        columns.insert(q.value(0).toString(),
                       {q.value(1).toString(),
                        !q.value(2).toString().isEmpty() ||
                            q.value(3).toString().startsWith(QLatin1String("nextval("))});
    if (columns.isEmpty())
        throw StoreError(Place(), QStringLiteral("no such table: Colors"),
                         QString::fromUtf8(Shape));
    QStringList differs;
    for (const Expect& e : expected) {
        const auto it = columns.constFind(QString::fromLatin1(e.column));
        const QString label = QString::fromUtf8(e.label);
        if (it == columns.constEnd()) {
            differs << QStringLiteral("Field '%1' not found").arg(label);
            continue;
        }
        if (!e.types.contains(it->first))
            differs << QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                           .arg(label, QString::fromLatin1(e.wanted), it->first);
        else if (qstrcmp(e.column, "id") == 0 && !it->second)
            differs << QStringLiteral("Type mismatch for field '%1', expecting: AutoInc actual: %2")
                           .arg(label, it->first);
    }
    QSqlQuery& k =
        Run(QStringLiteral(
                "select exists (select 1 from pg_index i where i.indrelid = to_regclass('colors') "
                "and i.indisunique and i.indpred is null and i.indnkeyatts = 3 and "
                "(select array_agg(a.attname::text order by a.attname) from pg_attribute a "
                "where a.attrelid = i.indrelid and a.attnum = any (i.indkey)) = "
                "array['bval', 'gval', 'rval']), "
                "(select string_agg(tgname, ',') from pg_trigger "
                "where tgrelid = to_regclass('colors') and not tgisinternal and tgenabled <> 'D')"),
            {});
    k.next();
    if (!k.value(0).toBool()) differs << QStringLiteral("No unique key on (RVal, GVal, BVal)");
    const QStringList triggers = k.value(1).toString().split(u',');
    for (const char* t : {"colors_version", "colors_inserted", "colors_updated", "colors_deleted"})
        if (!triggers.contains(QString::fromLatin1(t)))
            differs << QStringLiteral("Trigger '%1' not found").arg(QString::fromLatin1(t));
    if (!differs.isEmpty())
        throw StoreError(Place(), differs.join(u'\n'), QString::fromUtf8(Shape));
    shapeChecked_ = true;
}

void TPgStore::ReadRights() {
    // What the server's grants allow, known before any dialog opens; the
    // server refuses a write all the same.
    QSqlQuery& q = Run(QStringLiteral("select has_table_privilege('colors', 'INSERT'), "
                                      "has_table_privilege('colors', 'UPDATE'), "
                                      "has_table_privilege('colors', 'DELETE'), "
                                      "current_setting('transaction_read_only') = 'on', "
                                      "current_user"),
                       {});
    q.next();
    const bool any = q.value(0).toBool() || q.value(1).toBool() || q.value(2).toBool();
    const bool readOnlyServer = q.value(3).toBool();
    writable_ = any && !readOnlyServer;
    readOnlyWhy_ =
        readOnlyServer
            ? QStringLiteral("The server takes no writes (transaction_read_only).")
            : QStringLiteral("Role '%1' may only read table Colors.").arg(q.value(4).toString());
}

void TPgStore::RequireWritable() {
    EnsureConnected();
    if (!writable_) throw StoreError(Place(), readOnlyWhy_, QString::fromUtf8(ReadOnly));
}

bool TPgStore::Contains(const TRGB& rgb) {
    EnsureConnected();
    QSqlQuery& q = Run(QStringLiteral("select 1 from colors where rval = ? and gval = ? and "
                                      "bval = ? limit 1"),
                       {int(rgb.r), int(rgb.g), int(rgb.b)});
    return q.next();
}

void TPgStore::Fetch(const StoreSelection& which, const RowSink& sink) {
    EnsureConnected();
    QString sql = QStringLiteral(
        "select id, rowversion, name, rval, gval, bval, comment from colors where true");
    QVariantList binds;
    // As in the local file: the keyword as typed, its % and _ wildcards,
    // no escape character, letters matched without regard to case.
    QStringList any;
    if (which.nameEndsWith) {
        any << QStringLiteral("name ilike '%' || ? escape ''");
        binds << *which.nameEndsWith;
    }
    if (which.orColour) {
        any << QStringLiteral("(rval = ? and gval = ? and bval = ?)");
        binds << int(which.orColour->r) << int(which.orColour->g) << int(which.orColour->b);
    }
    if (!any.isEmpty()) sql += QStringLiteral(" and (") + any.join(QStringLiteral(" or ")) + u')';
    if (which.id) {
        sql += QStringLiteral(" and id = ?");
        binds << *which.id;
    }
    // Always in the order of the IDs: the server keeps no order of its own
    // (an edited row moves to the end of the table), and the list must not
    // reshuffle when another member changes a row.
    sql += QStringLiteral(" order by id");
    QSqlQuery& q = Run(sql, binds);
    PGresult* result = ResultOf(q);
    if (!result) throw StoreError(Place(), QStringLiteral("The driver gave no result."));
    const int n = PQntuples(result);
    for (int i = 0; i < n; ++i) {
        StoredRow row;
        const auto text = [&](int c) {
            return std::string_view(PQgetvalue(result, i, c), size_t(PQgetlength(result, i, c)));
        };
        const auto number = [&](int c) {
            return Integer(PQgetvalue(result, i, c), PQgetlength(result, i, c));
        };
        row.key = {number(0), number(1)};
        for (int c = 0; c < 3; ++c)
            row.channels[size_t(c)] = number(3 + c);
        row.name = text(2);
        row.comment = text(6);
        const int columnOf[] = {colID, -1, colName, colRVal, colGVal, colBVal, colComment};
        for (int c = 0; c < 7; ++c)
            if (columnOf[c] >= 0 && PQgetisnull(result, i, c)) row.nulls |= 1u << columnOf[c];
        sink(row);
    }
}

bool TPgStore::AddColor(const NewColor& c) {
    EnsureConnected();
    // The unique key, not a check beforehand, decides between two members
    // saving the same colour at the same moment.
    QSqlQuery& q = Run(QStringLiteral("insert into colors (name, rval, gval, bval, comment) "
                                      "values (?, ?, ?, ?, ?) "
                                      "on conflict (rval, gval, bval) do nothing returning id"),
                       {c.name, int(c.rgb.r), int(c.rgb.g), int(c.rgb.b), c.comment});
    return q.next();
}

std::vector<bool> TPgStore::AddColors(const std::vector<NewColor>& colors) {
    std::vector<bool> added(colors.size(), false);
    if (colors.empty()) return added;
    EnsureConnected();
    QJsonArray list;
    for (const NewColor& c : colors)
        list.append(QJsonObject{{QStringLiteral("n"), c.name},
                                {QStringLiteral("r"), int(c.rgb.r)},
                                {QStringLiteral("g"), int(c.rgb.g)},
                                {QStringLiteral("b"), int(c.rgb.b)},
                                {QStringLiteral("c"), c.comment}});
    // One statement is one transaction: all of it is stored or none. Rows go
    // in in the file's order, so of two equal colours the first is kept.
    QSqlQuery& q = Run(
        QStringLiteral("insert into colors (name, rval, gval, bval, comment) "
                       "select e->>'n', (e->>'r')::int, (e->>'g')::int, (e->>'b')::int, e->>'c' "
                       "from json_array_elements(?::json) with ordinality as t (e, k) order by k "
                       "on conflict (rval, gval, bval) do nothing returning rval, gval, bval"),
        {QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact))});
    QHash<int, bool> stored;
    while (q.next())
        stored.insert(q.value(0).toInt() << 16 | q.value(1).toInt() << 8 | q.value(2).toInt(),
                      true);
    for (size_t i = 0; i < colors.size(); ++i) {
        const TRGB& rgb = colors[i].rgb;
        const auto it = stored.find(int(rgb.r) << 16 | int(rgb.g) << 8 | int(rgb.b));
        if (it != stored.end() && it.value()) {
            added[i] = true;
            it.value() = false; // a later one of the same colour was not added
        }
    }
    return added;
}

std::optional<StoredKey> TPgStore::InsertRecord(const ColumnValues& values) {
    EnsureConnected();
    QStringList names, marks;
    QVariantList binds;
    for (const ColumnValue& v : values) {
        const char* name = ColumnName(v.column);
        if (!name || v.column == colID) continue;
        names << QString::fromLatin1(name);
        marks << QStringLiteral("?");
        binds << v.value;
    }
    const QString sql = names.isEmpty() ? QStringLiteral("insert into colors default values "
                                                         "returning id, rowversion")
                                        : QStringLiteral("insert into colors (%1) values (%2) "
                                                         "returning id, rowversion")
                                              .arg(names.join(QLatin1String(", ")),
                                                   marks.join(QLatin1String(", ")));
    QSqlQuery& q = Run(sql, binds);
    if (!q.next()) return std::nullopt;
    return StoredKey{q.value(0).toLongLong(), q.value(1).toLongLong()};
}

RowWriteResult TPgStore::Missed(const StoredKey& key) {
    QSqlQuery& q = Run(QStringLiteral("select rowversion from colors where id = ?"), {key.id});
    if (!q.next()) return {RowWrite::Gone, 0};
    return {RowWrite::Changed, q.value(0).toLongLong()};
}

RowWriteResult TPgStore::UpdateRecord(const StoredKey& key, const ColumnValues& values) {
    EnsureConnected();
    QStringList sets;
    QVariantList binds;
    for (const ColumnValue& v : values) {
        const char* name = ColumnName(v.column);
        if (!name || v.column == colID) continue;
        sets << QString::fromLatin1(name) + QStringLiteral(" = ?");
        binds << v.value;
    }
    if (sets.isEmpty()) sets << QStringLiteral("rowversion = rowversion");
    QString sql = QStringLiteral("update colors set %1 where id = ?").arg(sets.join(u','));
    binds << key.id;
    if (key.version != 0) {
        sql += QStringLiteral(" and rowversion = ?");
        binds << key.version;
    }
    QSqlQuery& q = Run(sql + QStringLiteral(" returning rowversion"), binds);
    if (q.next()) return {RowWrite::Written, q.value(0).toLongLong()};
    return Missed(key);
}

RowWriteResult TPgStore::DeleteRecord(const StoredKey& key) {
    EnsureConnected();
    QString sql = QStringLiteral("delete from colors where id = ?");
    QVariantList binds{key.id};
    if (key.version != 0) {
        sql += QStringLiteral(" and rowversion = ?");
        binds << key.version;
    }
    QSqlQuery& q = Run(sql + QStringLiteral(" returning id"), binds);
    if (q.next()) return {RowWrite::Written, 0};
    return Missed(key);
}

void TPgStore::CreateLibrary() {
    QFile schema(QStringLiteral(":/tintpick/schema-postgresql.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        throw StoreError(Place(), schema.errorString(), QStringLiteral("程序里没有颜色库的表结构"));
    const QString script = QString::fromUtf8(schema.readAll());
    // Connected without the shape check, which an empty database fails.
    const Options options = ParseLocation(location_, Place());
    Disconnect();
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    db.setConnectOptions(ConnectOptions(options, false));
    if (!db.open()) {
        const QSqlError e = db.lastError();
        throw StoreError(Place(), ServerText(e), ReasonOf(e, true));
    }
    // Sent as one string, the script runs as one transaction.
    Run(script, {});
    Disconnect();
}

std::unique_ptr<ColorStore> MakeServerStore(const QString& location) {
    return std::make_unique<TPgStore>(location);
}

void CreateServerLibrary(const QString& location) {
    TPgStore(location).CreateLibrary();
}

} // namespace tp

#include "PgStore.moc"
