#pragma once
// The browser's editable result set over table Colors: the whole result is
// fetched when it opens, the user moves among the rows, edits, inserts and
// deletes them, and every posted change is written to the store at once.
// Display-free: it reaches the store through the ColorStore interface.
#include "library/ColorStore.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <array>
#include <string>
#include <vector>

namespace tp {

class TLibQuery : public QObject {
    Q_OBJECT
public:
    enum Field {
        fID = colID,
        fName = colName,
        fRVal = colRVal,
        fGVal = colGVal,
        fBVal = colBVal,
        fComment = colComment,
        FieldCount = ColumnCount
    };
    enum State { dsInactive, dsBrowse, dsEdit, dsInsert };

    struct FieldDef {
        const char* column;
        const char* label; // display label, the grid's column title (UTF-8)
        bool numeric;
        bool readOnly;
        int displayWidth; // in characters
        int maxLength;    // text fields; 0 for numbers
        int64_t min, max; // numeric fields
    };
    static const FieldDef& Def(int field);
    static QStringList Labels();

    explicit TLibQuery(ColorStore& store, QObject* parent = nullptr);

    // The rows Open fetches.
    void SetSelection(const StoreSelection& which) { selection_ = which; }

    void Open();  // throws Error; the query stays closed on failure
    void Close(); // discards a change that was not posted
    bool Active() const { return state_ != dsInactive; }
    State state() const { return state_; }

    int RecordCount() const { return static_cast<int>(rows_.size()); }
    bool IsEmpty() const { return rows_.empty(); }
    int RecNo() const { return cur_; } // -1 without a current record
    bool IsFirst() const { return cur_ <= 0; }
    bool IsLast() const { return cur_ < 0 || cur_ >= RecordCount() - 1; }
    // False also while the store failed its check at open.
    bool CanModify() const;
    bool Modified() const { return modified_; }

    // Moving posts a changed record first (a refusal stops the move) and
    // drops a new record nothing was typed into.
    void First();
    void Prior();
    void Next();
    void Last();
    void MoveTo(int row);

    void Edit();
    void Insert(); // a new empty record before the current one
    void Append(); // a new empty record after the last one
    // Throws StoreError with the store's message and stays in edit mode. A
    // record the store no longer holds (another program deleted it) leaves
    // the list, and the error names it; one another client changed meanwhile
    // shows as it is stored now, the edit dropped, and the error says so.
    void Post();
    void Cancel();
    // The current record, from the store at once; one already gone from the
    // store leaves the list with an error that names it, one changed
    // meanwhile stays, as it is stored now.
    void Delete();
    void Refresh();
    // Reads the rows again after another client changed the library, and
    // keeps what the user is doing: the record being edited or inserted
    // stays as typed, and as it was read, so that posting it still finds a
    // change made meanwhile; so does the row `typedInto` (a cell editor is
    // open on it, its text not yet taken). The current record stays
    // current. Nothing happens when no row changed.
    void MergeStored(int typedInto = -1);
    // True while MergeStored rebuilds the rows: the grid keeps its cell
    // editor open through it.
    bool Merging() const { return merging_; }
    // Posts or drops the record being edited, as moving does.
    void CheckBrowseMode();

    // The value of a field of the current record, as shown (including a
    // change not yet posted); null when there is no record.
    QVariant Value(int field) const;
    QVariant ValueAt(int row, int field) const;
    QString DisplayText(int row, int field) const;
    // A channel of the current record as a colour byte (0 without a record).
    int64_t IntValue(int field) const;

    // Takes the text typed into a cell; starts editing. Throws Error with
    // the field's message when the text is no valid value.
    void SetFieldText(int field, const QString& text);
    // Checks a text as SetFieldText would, without storing it.
    static void ValidateFieldText(int field, const QString& text);

signals:
    // The rows or their number changed (open, close, insert, delete).
    void layoutReset();
    // Values of one row changed.
    void rowChanged(int row);
    void currentChanged(int row);
    void stateChanged();

private:
    // One record, compact: a table of 100,000 colours is held in memory
    // whole, and its size decides how long opening the browser takes.
    struct Row {
        std::array<qint64, 4> num{};   // ID, RVal, GVal, BVal
        std::array<uint32_t, 2> off{}; // Name, Comment: UTF-8 in the arena
        std::array<uint32_t, 2> len{};
        qint64 version = 0;
        uint8_t nulls = 0x3F; // one bit per field
        QVariant get(int field, const std::string& arena) const;
        void set(int field, const QVariant& v, std::string& arena);
    };
    // The texts of all rows, one after another; an edited text is appended.
    std::string arena_;
    void fetch(const StoreSelection& which, std::vector<Row>& rows, std::string& arena);
    void fetch();
    void setState(State s);
    void setCurrent(int row);
    void requireActive() const;
    void requireModifiable() const;
    void dropNewRecord();
    void write();
    void reread();
    // Takes the current record out of the list, its edit with it.
    void removeCurrent();
    StoredKey keyAt(int row) const;
    // Deals with a write to the current record that did not happen: the
    // record leaves the list, or shows as it is stored now.
    [[noreturn]] void raiseNotWritten(RowWrite outcome);

    ColorStore& dm_;
    StoreSelection selection_;
    std::vector<Row> rows_;
    Row& rowAt(int i) { return rows_[static_cast<size_t>(i)]; }
    const Row& rowAt(int i) const { return rows_[static_cast<size_t>(i)]; }
    int cur_ = -1;
    State state_ = dsInactive;
    Row buffer_; // the record being edited or inserted
    std::array<bool, FieldCount> changed_{};
    bool modified_ = false;
    bool merging_ = false;
};

} // namespace tp
