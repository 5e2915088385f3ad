#pragma once
// The colour library as the rest of the program sees it: one table of named
// colours (ID, Name, RVal, GVal, BVal, Comment) and the operations the save
// dialog, the browser, the palette files and the library commands need. An
// implementation keeps its statements to itself; no caller writes SQL. The
// local file (library/dm.*, SQLite) is one; a database server is another.
// Needs Qt Core only.
#include "base/Convert.h"
#include "colour/ColorTypes.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

// The table's columns, in the order the browser shows them.
enum ColorColumn : int { colID, colName, colRVal, colGVal, colBVal, colComment, ColumnCount };

// What the Name and Comment columns hold at most, in characters (code points).
inline constexpr int NameLength = 20;
inline constexpr int CommentLength = 50;

// Where a library lies, as messages name it.
struct StorePlace {
    QString label; // what kind of place: "颜色库文件"
    QString name;  // the file, or the server and database; never a password
};

// A failure of the colour store. Until a caller says what it could not do,
// what() is the store's own text (or ours where the store gave none); after
// Saying(), it is the whole message for the user: what was not done and why,
// where the library lies, and the store's text as the detail.
class StoreError : public Error {
public:
    // reason: why, in the user's words ("颜色库正被其他程序使用"); detail:
    // the store's own text.
    StoreError(StorePlace place, QString detail, QString reason = {});
    // The same failure as the message of an action that was not done
    // ("颜色没有保存"). A message that says so already is kept: the inner
    // action knows best what was lost.
    StoreError Saying(const QString& notDone) const;

    const StorePlace& place() const { return place_; }
    const QString& detail() const { return detail_; }
    const QString& reason() const { return reason_; }

private:
    StoreError(StorePlace place, QString detail, QString reason, QString notDone);
    static std::string Compose(const StorePlace& place, const QString& detail,
                               const QString& reason, const QString& notDone);
    StorePlace place_;
    QString detail_, reason_, notDone_;
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

// A stored row's identity: its ID, and the version of its contents where the
// store keeps one (0 where it keeps none). A write names the version it
// read, so that a row another client changed meanwhile is never written over.
struct StoredKey {
    qint64 id = 0;
    qint64 version = 0;
    friend bool operator==(const StoredKey&, const StoredKey&) = default;
};

// One row as Fetch hands it over. The texts are UTF-8 as stored (a store
// written by another tool may hold bytes that are not UTF-8) and valid only
// during the call; channels are the stored integers, whatever their range.
struct StoredRow {
    StoredKey key;
    std::array<qint64, 3> channels{}; // RVal, GVal, BVal
    std::string_view name, comment;
    unsigned nulls = 0; // bit (1 << column) for each column that holds NULL
    bool isNull(int column) const { return (nulls >> column) & 1u; }
};
using RowSink = std::function<void(const StoredRow&)>;

// Which rows Fetch delivers.
struct StoreSelection {
    // The rows whose name ends with this text; "%" and "_" in it act as the
    // wildcards of SQL's LIKE, and letter case is the engine's matter.
    // Nothing: every row.
    std::optional<QString> nameEndsWith;
    // Also the rows with these R, G and B, whatever their name: a keyword
    // that is a colour code finds the colour as well as the names.
    // Alone, only those rows.
    std::optional<TRGB> orColour;
    // Only the row with this ID.
    std::optional<qint64> id;
    // In the order of their IDs; otherwise in the order the store gives.
    bool inIdOrder = false;

    static StoreSelection All() { return {}; }
    static StoreSelection NameEndingWith(const QString& k) { return {k, {}, {}, false}; }
    static StoreSelection NameEndingWithOrColour(const QString& k, const TRGB& c) {
        return {k, c, {}, false};
    }
};

// A colour saved with "保存" or imported from a palette file.
struct NewColor {
    QString name;
    TRGB rgb;
    QString comment;
};

// The value of one column; a null QVariant is NULL. Names and comments are
// QString, channels qint64.
struct ColumnValue {
    ColorColumn column;
    QVariant value;
};
using ColumnValues = std::vector<ColumnValue>;

// What came of a write to a row that was read before.
enum class RowWrite {
    Written,
    Gone,    // the store no longer holds the row
    Changed, // another client changed it since it was read (only where the store keeps versions)
};
struct RowWriteResult {
    RowWrite outcome = RowWrite::Written;
    qint64 version = 0; // the row's version after the write
};

// Every operation opens the connection first when it is closed (see
// EnsureConnected) and checks the table's shape once per connection, and
// throws StoreError for the store's failures.
class ColorStore : public QObject {
    Q_OBJECT
public:
    ~ColorStore() override;

    // Start-up: drop any open connection and open it afresh; throws when
    // the library cannot be opened. The local file also throws when it
    // opened damaged and is kept for reading only (see Writable), so the
    // user learns that once, at the start. A server that grants this user
    // reading only does not throw here: each write says so when tried.
    virtual void DataModuleCreate() = 0;
    // Opens the connection when it is closed, or gone since (a file replaced,
    // a server restarted); every use of the store goes through here, so a
    // library that appears while the program runs is found by the next use.
    virtual void EnsureConnected() = 0;
    virtual bool Connected() const = 0;
    virtual void Disconnect() = 0;
    virtual StorePlace Place() const = 0;

    // Checks that table Colors has the columns the library reads, of the
    // kinds it reads them with, and that ID is a key the store assigns.
    // Throws StoreError: "Type mismatch for field '红', expecting: Word
    // actual: WideString", "Field 'BVal' not found", naming the field by its
    // browser label.
    virtual void CheckShape() = 0;

    // False while the library may only be read: a damaged file, or a server
    // that grants this user reading only. Known once connected.
    virtual bool Writable() const = 0;
    // Throws the StoreError that refuses a write, saying why; callers run it
    // before they open any dialog.
    virtual void RequireWritable() = 0;

    // Whether a row holds these R, G and B (names play no part).
    virtual bool Contains(const TRGB& rgb) = 0;
    // Hands each selected row to sink. A whole table of 100,000 colours is
    // read here when the browser opens: implementations read it in one go.
    virtual void Fetch(const StoreSelection& which, const RowSink& sink) = 0;

    // Adds the colour unless a row holds its R, G and B already, as one
    // step that another client saving the same colour at the same moment
    // cannot split: false when it was there. Throws StoreError when the
    // store wrote nothing without saying why.
    virtual bool AddColor(const NewColor& c) = 0;
    // AddColor for each colour, all in one transaction: which were added (a
    // colour earlier in the list counts as stored). On any failure nothing
    // is added.
    virtual std::vector<bool> AddColors(const std::vector<NewColor>& colors) = 0;

    // The browser's writes. A new record with the values given (other
    // columns NULL): its key, or nothing when the store wrote no row.
    virtual std::optional<StoredKey> InsertRecord(const ColumnValues& values) = 0;
    // Writes the values given into the row read as `key`.
    virtual RowWriteResult UpdateRecord(const StoredKey& key, const ColumnValues& values) = 0;
    virtual RowWriteResult DeleteRecord(const StoredKey& key) = 0;

signals:
    // Another client changed the library (where the store can tell).
    void changedElsewhere();
};

// The library of the running program; null until start-up creates it.
extern ColorStore* dmMain;

} // namespace tp
