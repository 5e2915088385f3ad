#include "library/LibQuery.h"

#include "base/Convert.h"
#include "library/LibraryRules.h"

namespace tp {

namespace {
const TLibQuery::FieldDef Defs[] = {
    {"ID", "编号", true, true, 10, 0, IntegerRange.min, IntegerRange.max},
    {"Name", "名称", false, false, 20, 20, 0, 0},
    {"RVal", "红", true, false, 10, 0, WordRange.min, WordRange.max},
    {"GVal", "绿", true, false, 10, 0, WordRange.min, WordRange.max},
    {"BVal", "蓝", true, false, 10, 0, IntegerRange.min, IntegerRange.max},
    {"Comment", "注释", false, false, 50, 50, 0, 0},
};

[[noreturn]] void Raise(const QString& m) {
    throw Error(m.toStdString());
}

// Where a field lives in a Row: its slot in num, or -1 for the texts.
constexpr int NumSlot[] = {0, -1, 1, 2, 3, -1};
size_t NumIndex(int field) {
    return static_cast<size_t>(NumSlot[field]);
}
} // namespace

QVariant TLibQuery::Row::get(int f, const std::string& arena) const {
    if (nulls & (1u << f)) return {};
    if (NumSlot[f] >= 0) return QVariant(num[NumIndex(f)]);
    const size_t t = f == fName ? 0 : 1;
    return QString::fromUtf8(arena.data() + off[t], len[t]);
}

void TLibQuery::Row::set(int f, const QVariant& v, std::string& arena) {
    if (v.isNull())
        nulls |= uint8_t(1u << f);
    else
        nulls &= uint8_t(~(1u << f));
    if (NumSlot[f] >= 0) {
        num[NumIndex(f)] = v.isNull() ? 0 : v.toLongLong();
        return;
    }
    const size_t t = f == fName ? 0 : 1;
    const QByteArray utf8 = v.toString().toUtf8();
    off[t] = static_cast<uint32_t>(arena.size());
    len[t] = static_cast<uint32_t>(utf8.size());
    arena.append(utf8.constData(), static_cast<size_t>(utf8.size()));
}

const TLibQuery::FieldDef& TLibQuery::Def(int field) {
    return Defs[field];
}

QStringList TLibQuery::Labels() {
    QStringList l;
    for (const auto& d : Defs)
        l << QString::fromUtf8(d.label);
    return l;
}

TLibQuery::TLibQuery(ColorStore& store, QObject* parent) : QObject(parent), dm_(store) {}

void TLibQuery::requireActive() const {
    if (!Active()) Raise(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

bool TLibQuery::CanModify() const {
    return Active() && dm_.Writable();
}

void TLibQuery::requireModifiable() const {
    requireActive();
    dm_.RequireWritable();
}

void TLibQuery::setState(State s) {
    if (state_ == s) return;
    state_ = s;
    emit stateChanged();
}

void TLibQuery::setCurrent(int row) {
    cur_ = row;
    emit currentChanged(row);
    emit stateChanged();
}

void TLibQuery::fetch(const StoreSelection& which, std::vector<Row>& rows, std::string& arena) {
    dm_.Fetch(which, [&](const StoredRow& in) {
        Row& r = rows.emplace_back();
        r.nulls = static_cast<uint8_t>(in.nulls);
        r.version = in.key.version;
        r.num = {in.key.id, in.channels[0], in.channels[1], in.channels[2]};
        for (const auto& [k, t] :
             {std::pair{size_t(0), in.name}, std::pair{size_t(1), in.comment}}) {
            r.off[k] = static_cast<uint32_t>(arena.size());
            r.len[k] = static_cast<uint32_t>(t.size());
            arena.append(t);
        }
    });
}

void TLibQuery::fetch() {
    std::vector<Row> rows;
    std::string arena;
    rows.reserve(1024);
    fetch(selection_, rows, arena);
    arena_ = std::move(arena);
    rows_ = std::move(rows);
}

void TLibQuery::Open() {
    if (Active()) return;
    fetch();
    modified_ = false;
    changed_ = {};
    state_ = dsBrowse;
    cur_ = rows_.empty() ? -1 : 0;
    emit layoutReset();
    setCurrent(cur_);
}

void TLibQuery::Close() {
    rows_.clear();
    arena_.clear();
    cur_ = -1;
    modified_ = false;
    state_ = dsInactive;
    emit layoutReset();
    setCurrent(-1);
}

void TLibQuery::CheckBrowseMode() {
    if (state_ == dsEdit || state_ == dsInsert) {
        if (modified_)
            Post();
        else
            Cancel();
    }
}

void TLibQuery::MoveTo(int row) {
    requireActive();
    if (rows_.empty()) return;
    const int before = cur_;
    const bool droppingInsert = state_ == dsInsert && !modified_;
    CheckBrowseMode();
    // Dropping an untouched new record shifts the rows after it up by one.
    if (droppingInsert && row > before) --row;
    row = std::clamp(row, 0, RecordCount() - 1);
    if (row != cur_) setCurrent(row);
}

void TLibQuery::First() {
    MoveTo(0);
}
void TLibQuery::Prior() {
    MoveTo(cur_ - 1);
}
void TLibQuery::Next() {
    // Dropping an untouched new record leaves the record it stood before
    // current; Next goes on from there.
    requireActive();
    CheckBrowseMode();
    MoveTo(cur_ + 1);
}
void TLibQuery::Last() {
    MoveTo(RecordCount() - 1);
}

void TLibQuery::Edit() {
    requireModifiable();
    if (state_ == dsEdit || state_ == dsInsert) return;
    if (rows_.empty()) {
        Append();
        return;
    }
    buffer_ = rowAt(cur_);
    changed_ = {};
    modified_ = false;
    setState(dsEdit);
}

void TLibQuery::Insert() {
    requireModifiable();
    CheckBrowseMode();
    const int at = cur_ < 0 ? 0 : cur_;
    rows_.insert(rows_.begin() + at, Row{});
    buffer_ = Row{};
    changed_ = {};
    modified_ = false;
    state_ = dsInsert;
    emit layoutReset();
    setCurrent(at);
}

void TLibQuery::Append() {
    requireModifiable();
    CheckBrowseMode();
    rows_.push_back(Row{});
    buffer_ = Row{};
    changed_ = {};
    modified_ = false;
    state_ = dsInsert;
    emit layoutReset();
    setCurrent(RecordCount() - 1);
}

void TLibQuery::dropNewRecord() {
    rows_.erase(rows_.begin() + cur_);
    if (cur_ >= RecordCount()) cur_ = RecordCount() - 1;
    emit layoutReset();
}

void TLibQuery::Cancel() {
    if (state_ == dsInsert) {
        state_ = dsBrowse;
        modified_ = false;
        dropNewRecord();
        setCurrent(cur_);
        return;
    }
    if (state_ == dsEdit) {
        modified_ = false;
        setState(dsBrowse);
        emit rowChanged(cur_);
    }
}

void TLibQuery::Post() {
    if (state_ != dsEdit && state_ != dsInsert) return;
    Doing(state_ == dsInsert ? "新记录没有保存" : "修改没有保存", [this] { write(); });
}

StoredKey TLibQuery::keyAt(int row) const {
    return {rowAt(row).num[0], rowAt(row).version};
}

void TLibQuery::write() {
    ColumnValues values;
    for (int f = fName; f < FieldCount; ++f)
        if (state_ == dsInsert || changed_[static_cast<size_t>(f)])
            values.push_back({ColorColumn(f), buffer_.get(f, arena_)});
    if (state_ == dsEdit) {
        if (!values.empty()) {
            const RowWriteResult w = dm_.UpdateRecord(keyAt(cur_), values);
            if (w.outcome != RowWrite::Written) raiseNotWritten(w.outcome);
            buffer_.version = w.version;
        }
        rowAt(cur_) = buffer_;
    } else {
        const std::optional<StoredKey> key = dm_.InsertRecord(values);
        if (!key) {
            removeCurrent();
            throw StoreError(dm_.Place(), {}, QStringLiteral("颜色库没有写入这条记录"));
        }
        buffer_.set(fID, key->id, arena_);
        buffer_.version = key->version;
        rowAt(cur_) = buffer_;
    }
    modified_ = false;
    changed_ = {};
    setState(dsBrowse);
    emit rowChanged(cur_);
}

void TLibQuery::removeCurrent() {
    modified_ = false;
    changed_ = {};
    state_ = dsBrowse;
    rows_.erase(rows_.begin() + cur_);
    if (cur_ >= RecordCount()) cur_ = RecordCount() - 1;
    emit layoutReset();
    setCurrent(cur_);
}

void TLibQuery::raiseNotWritten(RowWrite outcome) {
    const qint64 id = rowAt(cur_).num[0];
    const QString name = rowAt(cur_).get(fName, arena_).toString();
    const QString named = name.isEmpty() ? QString() : QStringLiteral("“%1”").arg(name);
    std::vector<Row> now;
    if (outcome == RowWrite::Changed) {
        StoreSelection which;
        which.id = id;
        fetch(which, now, arena_);
    }
    if (now.empty()) {
        removeCurrent();
        throw StoreError(dm_.Place(), {},
                         QStringLiteral("编号为 %1 的记录%2已不在颜色库中").arg(id).arg(named));
    }
    modified_ = false;
    changed_ = {};
    rowAt(cur_) = now.front();
    setState(dsBrowse);
    emit rowChanged(cur_);
    throw StoreError(dm_.Place(), {},
                     QStringLiteral("编号为 %1 的记录%2在这期间已被修改，列表中是它现在的内容")
                         .arg(id)
                         .arg(named));
}

void TLibQuery::Delete() {
    requireModifiable();
    if (rows_.empty()) return;
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    Doing("记录没有删除", [this] {
        const RowWriteResult w = dm_.DeleteRecord(keyAt(cur_));
        if (w.outcome != RowWrite::Written) {
            // An edit under way goes with the record, as it would have.
            if (state_ == dsEdit) Cancel();
            raiseNotWritten(w.outcome);
        }
        removeCurrent();
    });
}

void TLibQuery::Refresh() {
    requireActive();
    Doing("列表没有刷新", [this] { reread(); });
}

void TLibQuery::reread() {
    CheckBrowseMode();
    const std::optional<qint64> id =
        cur_ >= 0 ? std::optional<qint64>(rowAt(cur_).num[0]) : std::nullopt;
    fetch();
    int row = rows_.empty() ? -1 : 0;
    for (int i = 0; i < RecordCount() && id; ++i)
        if (rowAt(i).num[0] == *id) {
            row = i;
            break;
        }
    cur_ = row;
    emit layoutReset();
    setCurrent(row);
}

void TLibQuery::MergeStored(int typedInto) {
    if (!Active()) return;
    std::vector<Row> fresh;
    std::string arena;
    fresh.reserve(rows_.size() + 16);
    fetch(selection_, fresh, arena);
    const bool editing = state_ == dsEdit || state_ == dsInsert;
    const int kept =
        editing ? cur_ : (typedInto >= 0 && typedInto < RecordCount() ? typedInto : -1);
    const auto same = [&] {
        if (fresh.size() != rows_.size()) return false;
        for (size_t i = 0; i < fresh.size(); ++i) {
            if (int(i) == kept) continue;
            if (fresh[i].num[0] != rows_[i].num[0] || fresh[i].version != rows_[i].version ||
                fresh[i].version == 0)
                return false;
        }
        return true;
    };
    if (same()) return;
    // A kept row's texts move into the new arena with it.
    const auto moved = [&](const Row& r) {
        Row out = r;
        for (int f : {int(fName), int(fComment)})
            if (!(r.nulls & (1u << f))) out.set(f, r.get(f, arena_), arena);
        out.nulls = r.nulls;
        return out;
    };
    int cur = -1;
    const std::optional<qint64> curId =
        cur_ >= 0 && state_ != dsInsert ? std::optional(rowAt(cur_).num[0]) : std::nullopt;
    const auto indexOf = [&](qint64 id) {
        for (size_t i = 0; i < fresh.size(); ++i)
            if (fresh[i].num[0] == id) return int(i);
        return -1;
    };
    if (kept >= 0) {
        const Row asRead = moved(rowAt(kept));
        if (editing) buffer_ = moved(buffer_);
        const std::optional<qint64> keptId =
            kept == cur_ ? curId : std::optional(rowAt(kept).num[0]);
        int at = keptId ? indexOf(*keptId) : -1;
        if (at >= 0) {
            fresh[size_t(at)] = asRead;
        } else {
            // A record deleted meanwhile stays while it is being edited:
            // posting it says it is gone.
            at = std::min(kept, int(fresh.size()));
            fresh.insert(fresh.begin() + at, asRead);
        }
        if (kept == cur_) cur = at;
    }
    if (cur < 0 && !fresh.empty()) {
        cur = curId ? indexOf(*curId) : -1;
        if (cur < 0) cur = std::clamp(cur_, 0, int(fresh.size()) - 1);
    }
    rows_ = std::move(fresh);
    arena_ = std::move(arena);
    cur_ = cur;
    merging_ = true;
    emit layoutReset();
    merging_ = false;
    setCurrent(cur_);
}

QVariant TLibQuery::ValueAt(int row, int field) const {
    if (row < 0 || row >= RecordCount()) return {};
    if (row == cur_ && (state_ == dsEdit || state_ == dsInsert)) return buffer_.get(field, arena_);
    return rowAt(row).get(field, arena_);
}

QVariant TLibQuery::Value(int field) const {
    return ValueAt(cur_, field);
}

QString TLibQuery::DisplayText(int row, int field) const {
    const QVariant v = ValueAt(row, field);
    return v.isNull() ? QString() : v.toString();
}

int64_t TLibQuery::IntValue(int field) const {
    bool ok = false;
    const qint64 v = Value(field).toLongLong(&ok);
    return ok ? v : 0;
}

void TLibQuery::ValidateFieldText(int field, const QString& text) {
    const FieldDef& d = Defs[field];
    if (d.readOnly)
        Raise(QStringLiteral("Field '%1' cannot be modified").arg(QString::fromUtf8(d.label)));
    if (d.numeric) ParseIntField(text.toStdString(), d.label, {d.min, d.max});
}

void TLibQuery::SetFieldText(int field, const QString& text) {
    requireModifiable();
    ValidateFieldText(field, text);
    const FieldDef& d = Defs[field];
    QVariant value;
    if (d.numeric) {
        const auto v = ParseIntField(text.toStdString(), d.label, {d.min, d.max});
        if (v) value = QVariant(qint64(*v));
    } else {
        value = text;
    }
    if (state_ == dsBrowse) Edit();
    const QVariant old = buffer_.get(field, arena_);
    if (old == value && old.isNull() == value.isNull()) return;
    buffer_.set(field, value, arena_);
    changed_[static_cast<size_t>(field)] = true;
    modified_ = true;
    emit rowChanged(cur_);
}

} // namespace tp
