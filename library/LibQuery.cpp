#include "library/LibQuery.h"

#include "base/Convert.h"
#include "library/LibraryRules.h"
#include "library/dm.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

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

TLibQuery::TLibQuery(TdmMain& dm, QObject* parent) : QObject(parent), dm_(dm) {}

void TLibQuery::SetSQL(const QString& sql, const QVariantList& binds) {
    sql_ = sql;
    binds_ = binds;
}

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

void TLibQuery::fetch() {
    dm_.EnsureConnected();
    dm_.CheckColorsTable(Labels());
    QStringList columns;
    for (const auto& d : Defs)
        columns << QString::fromLatin1(d.column);
    std::vector<Row> rows;
    std::string arena;
    rows.reserve(1024);
    dm_.Fetch(sql_, binds_, columns, [&](const TdmMain::FetchRow& in) {
        Row& r = rows.emplace_back();
        r.nulls = 0;
        for (int f = 0; f < FieldCount; ++f) {
            if (in.isNull(f)) {
                r.nulls |= uint8_t(1u << f);
            } else if (NumSlot[f] >= 0) {
                r.num[NumIndex(f)] = in.integer(f);
            } else {
                const std::string_view t = in.utf8(f);
                const size_t k = f == fName ? 0 : 1;
                r.off[k] = static_cast<uint32_t>(arena.size());
                r.len[k] = static_cast<uint32_t>(t.size());
                arena.append(t);
            }
        }
    });
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

void TLibQuery::write() {
    if (state_ == dsEdit) {
        QStringList sets;
        QVariantList binds;
        for (int f = fName; f < FieldCount; ++f) {
            if (!changed_[static_cast<size_t>(f)]) continue;
            sets << QStringLiteral("%1=?").arg(QString::fromLatin1(Defs[f].column));
            binds << buffer_.get(f, arena_);
        }
        if (!sets.isEmpty()) {
            const QVariant id = rowAt(cur_).get(fID, arena_);
            binds << id;
            const auto written = dm_.Execute(
                QStringLiteral("UPDATE Colors SET %1 WHERE ID=?").arg(sets.join(u',')), binds);
            if (written.rows != 1) {
                const QString name = rowAt(cur_).get(fName, arena_).toString();
                removeCurrent();
                raiseGone(id, name);
            }
        }
        rowAt(cur_) = buffer_;
    } else {
        QVariantList binds;
        for (int f = fName; f < FieldCount; ++f)
            binds << buffer_.get(f, arena_);
        const auto written = dm_.Execute(
            QStringLiteral("INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) VALUES(?,?,?,?,?)"),
            binds);
        if (written.rows != 1) {
            removeCurrent();
            throw StoreError(dm_.storeFile(), {}, 0, QStringLiteral("颜色库没有写入这条记录"));
        }
        buffer_.set(fID, written.insertedId, arena_);
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

void TLibQuery::raiseGone(const QVariant& id, const QString& name) const {
    const QString named = name.isEmpty() ? QString() : QStringLiteral("“%1”").arg(name);
    throw StoreError(dm_.storeFile(), {}, 0,
                     QStringLiteral("编号为 %1 的记录%2已不在颜色库中").arg(id.toString(), named));
}

void TLibQuery::Delete() {
    requireModifiable();
    if (rows_.empty()) return;
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    Doing("记录没有删除", [this] {
        const QVariant id = rowAt(cur_).get(fID, arena_);
        const QString name = rowAt(cur_).get(fName, arena_).toString();
        const auto written = dm_.Execute(QStringLiteral("DELETE FROM Colors WHERE ID=?"), {id});
        removeCurrent();
        if (written.rows != 1) raiseGone(id, name);
    });
}

void TLibQuery::Refresh() {
    requireActive();
    Doing("列表没有刷新", [this] { reread(); });
}

void TLibQuery::reread() {
    CheckBrowseMode();
    const QVariant id = cur_ >= 0 ? rowAt(cur_).get(fID, arena_) : QVariant();
    fetch();
    int row = rows_.empty() ? -1 : 0;
    for (int i = 0; i < RecordCount() && id.isValid(); ++i)
        if (rowAt(i).get(fID, arena_) == id) {
            row = i;
            break;
        }
    cur_ = row;
    emit layoutReset();
    setCurrent(row);
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
