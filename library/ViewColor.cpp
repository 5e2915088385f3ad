#include "library/ViewColor.h"

#include "base/Convert.h"
#include "colour/ColorText.h"
#include "colour/Contrast.h"
#include "library/ColorStore.h"
#include "library/LibraryChoice.h"
#include "library/LibraryRules.h"
#include "library/MessageBox.h"
#include "library/TextLimit.h"
#include "platform/ErrorReporter.h"
#include "skin/Controls.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QTimer>

namespace tp {

namespace {
constexpr int RowHeight = 20;

TRGB RowColor(const TLibQuery& q, int row) {
    auto ch = [&](int f) {
        bool ok = false;
        const qint64 v = q.ValueAt(row, f).toLongLong(&ok);
        return ChannelByte(ok ? v : 0);
    };
    return {ch(TLibQuery::fRVal), ch(TLibQuery::fGVal), ch(TLibQuery::fBVal)};
}

QColor ToQColor(const TRGB& c) {
    return QColor(c.r, c.g, c.b);
}
} // namespace

// ---- model -----------------------------------------------------------------

TLibModel::TLibModel(TLibQuery& query, ErrorReporter& errors, QObject* parent)
    : QAbstractTableModel(parent), query_(query), errors_(errors) {
    connect(&query_, &TLibQuery::layoutReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&query_, &TLibQuery::rowChanged, this, [this](int row) {
        if (row >= 0) emit dataChanged(index(row, 0), index(row, CodeColumn));
    });
}

int TLibModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, query_.RecordCount());
}

int TLibModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TLibModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (index.column() == CodeColumn) {
        // The code of the colour the row is painted in, a change being typed
        // included; the empty row of an empty list has none.
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        if (index.row() >= query_.RecordCount()) return QString();
        return QString::fromStdString(HexCode(RowColor(query_, index.row())));
    }
    const auto& def = TLibQuery::Def(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return query_.DisplayText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int((def.numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TLibModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == CodeColumn) return QStringLiteral("代码");
    if (section < TLibQuery::FieldCount) return QString::fromUtf8(TLibQuery::Def(section).label);
    return {};
}

Qt::ItemFlags TLibModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() < TLibQuery::FieldCount && query_.CanModify() &&
        !TLibQuery::Def(index.column()).readOnly)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TLibModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !query_.Active() || index.column() >= TLibQuery::FieldCount)
        return false;
    try {
        if (query_.RecNo() != index.row() && !query_.IsEmpty()) query_.MoveTo(index.row());
        query_.SetFieldText(index.column(), value.toString());
        return true;
    } catch (const std::exception& e) {
        errors_.showError(QString::fromUtf8(e.what()));
        return false;
    }
}

// ---- delegate --------------------------------------------------------------

TLibDelegate::TLibDelegate(TbsSkinDBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void TLibDelegate::paint(QPainter* p, const QStyleOptionViewItem& opt,
                         const QModelIndex& index) const {
    const TRGB c = RowColor(grid_->query_, index.row());
    const TRGB inv = InverseColor(c);
    // The grid's current cell is the one shown reversed; whether the grid
    // has the focus plays no part. Text that would not stand out from its
    // background is black or white instead.
    const bool current = index == grid_->currentIndex();
    const TRGB back = current ? inv : c;
    const QColor text = ToQColor(LegibleOn(back, current ? c : inv));
    p->save();
    p->fillRect(opt.rect, ToQColor(back));
    p->setPen(text);
    p->setFont(opt.font);
    const bool right =
        index.column() < TLibQuery::FieldCount && TLibQuery::Def(index.column()).numeric;
    const QRect r = opt.rect.adjusted(4, 0, -3, 0);
    const Qt::Alignment align = (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    p->drawText(r, static_cast<int>(align.toInt()) | Qt::TextSingleLine,
                index.data(Qt::DisplayRole).toString());
    p->restore();
}

QWidget* TLibDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QStringLiteral("cellEditor"));
    e->setFrame(false);
    const auto& def = TLibQuery::Def(index.column());
    if (def.numeric) {
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        e->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+\\-0-9]*")), e));
    } else {
        e->setValidator(new TextLimit(def.maxLength, false, e));
    }
    connect(e, &QLineEdit::textEdited, grid_, [grid = grid_] { grid->editorTyped(); });
    emit editorCreated(e);
    return e;
}

void TLibDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* e = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    // The stored text stands as it is, even where it is longer than the
    // limit: only what the user types is held to it.
    if (auto* limit = e->findChild<TextLimit*>()) limit->setBaseline(text);
    e->setText(text);
}

void TLibDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    const QString text = static_cast<QLineEdit*>(editor)->text();
    if (text == index.data(Qt::EditRole).toString())
        return; // untouched: the record does not go into edit mode
    model->setData(index, text, Qt::EditRole);
}

bool TLibDelegate::eventFilter(QObject* obj, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(obj);
    // An error box takes the focus while it shows: that is no leaving of
    // the cell, so the text is neither taken (which would report the same
    // refusal again) nor lost with a closing editor.
    if (editor && event->type() == QEvent::FocusOut && grid_->reporting_) return true;
    if (editor && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        switch (ke->key()) {
        case Qt::Key_Enter:
        case Qt::Key_Return:
        case Qt::Key_Escape:
            // The window's default and cancel buttons take these.
            return false;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            // A value the field refuses keeps the editor open with its text.
            const QModelIndex idx = grid_->currentIndex();
            if (editor->text() != idx.data(Qt::EditRole).toString()) {
                try {
                    TLibQuery::ValidateFieldText(idx.column(), editor->text());
                } catch (const std::exception& e) {
                    grid_->report(e);
                    return true;
                }
            }
            break;
        }
        default:
            break;
        }
    }
    return QStyledItemDelegate::eventFilter(obj, event);
}

// ---- grid ------------------------------------------------------------------

TbsSkinDBGrid::TbsSkinDBGrid(TLibQuery& query, ErrorReporter& errors, QWidget* parent)
    : QTableView(parent), query_(query), errors_(*this, errors) {
    setObjectName(QStringLiteral("dbgColors"));
    model_ = new TLibModel(query, errors_, this);
    setModel(model_);
    auto* delegate = new TLibDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &TLibDelegate::editorCreated, this, [this](QWidget* e) { editor_ = e; });
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                    QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    setShowGrid(true);
    setWordWrap(false);
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    // Each column as wide as its field's display width in digits, but never
    // narrower than its title.
    const QFontMetrics fm(f);
    for (int c = 0; c < TLibQuery::FieldCount; ++c) {
        const auto& def = TLibQuery::Def(c);
        const int byDigits = fm.horizontalAdvance(QLatin1Char('0')) * def.displayWidth + 4;
        const int byTitle = fm.horizontalAdvance(QString::fromUtf8(def.label)) + 4;
        setColumnWidth(c, std::max(byDigits, byTitle));
    }
    // The code follows the three channels it is made of.
    setColumnWidth(TLibModel::CodeColumn, fm.horizontalAdvance(QStringLiteral("DDDDDD")) + 8);
    horizontalHeader()->moveSection(TLibModel::CodeColumn, TLibQuery::fBVal + 1);
    connect(&query_, &TLibQuery::currentChanged, this, [this] { syncFromQuery(); });
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        auto* e = qobject_cast<QLineEdit*>(editor_.data());
        if (query_.Merging() && e && state() == EditingState)
            reopen_ = OpenEditor{currentIndex().column(), e->text(), e->cursorPosition()};
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        syncFromQuery();
        if (!reopen_) return;
        const OpenEditor was = *reopen_;
        reopen_.reset();
        const QModelIndex at = model_->index(std::max(0, query_.RecNo()), was.column);
        setCurrentIndex(at);
        QTableView::edit(at, AllEditTriggers, nullptr);
        if (auto* e = qobject_cast<QLineEdit*>(editor_.data())) {
            e->setText(was.text);
            e->setCursorPosition(was.caret);
            e->setFocus();
        }
    });
    syncFromQuery();
}

void TbsSkinDBGrid::Reporter::showError(const QString& message) {
    const bool was = grid_.reporting_;
    grid_.reporting_ = true;
    to_.showError(message);
    grid_.reporting_ = was;
}

void TbsSkinDBGrid::report(const std::exception& e) {
    errors_.showError(QString::fromUtf8(e.what()));
}

void TbsSkinDBGrid::keyboardSearch(const QString&) {
    // Typed text goes into the current cell or nowhere: a jump to the row
    // whose number starts with it would send the next keys to another
    // record.
}

void TbsSkinDBGrid::syncFromQuery() {
    const int row = std::max(0, query_.RecNo());
    // Rebuilding the rows (insert, delete, search, refresh) forgets the
    // current cell; the column is the user's and stays.
    const int col = currentIndex().isValid() ? currentIndex().column() : column_;
    const QModelIndex want = model_->index(row, col);
    if (want == currentIndex()) return;
    syncing_ = true;
    setCurrentIndex(want);
    syncing_ = false;
    viewport()->update();
}

void TbsSkinDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid()) column_ = current.column();
    viewport()->update();
    // While the rows are read again the view may make its first cell
    // current on its own (the closing editor hands it the focus); the
    // query's current record stands.
    if (syncing_ || query_.Merging() || !current.isValid() || !query_.Active() || query_.IsEmpty())
        return;
    if (current.row() == query_.RecNo()) return;
    try {
        query_.MoveTo(current.row());
    } catch (const std::exception& e) {
        report(e);
    }
    syncFromQuery();
}

bool TbsSkinDBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!query_.Active()) return false;
    if (trigger == AnyKeyPressed && event && event->type() == QEvent::KeyPress) {
        // Only characters a cell accepts open the editor; a numeric cell
        // ignores letters instead of opening with them.
        const QString t = static_cast<QKeyEvent*>(event)->text();
        if (t.isEmpty() || !t.at(0).isPrint()) return false;
        if (index.column() >= TLibQuery::FieldCount) return false;
        if (TLibQuery::Def(index.column()).numeric && !IsNumericCellChar(t.at(0).unicode()))
            return false;
    }
    return QTableView::edit(index, trigger, event);
}

void TbsSkinDBGrid::editorTyped() {
    // An empty list gets its record when the text is taken: appending one
    // now would rebuild the rows and close the editor under the user's hands.
    if (query_.state() != TLibQuery::dsBrowse || !query_.CanModify() || query_.IsEmpty()) return;
    try {
        query_.Edit();
    } catch (const std::exception& e) {
        report(e);
    }
}

void TbsSkinDBGrid::commitEditor() {
    if (editor_ && state() == EditingState) {
        QWidget* e = editor_;
        commitData(e);
        closeEditor(e, QAbstractItemDelegate::NoHint);
        setFocus();
    }
}

void TbsSkinDBGrid::keyPressEvent(QKeyEvent* e) {
    const bool active = query_.CanModify();
    try {
        const auto mods = e->modifiers() & ~Qt::KeypadModifier;
        if (e->key() == Qt::Key_Escape) {
            e->ignore();
            return;
        }
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && state() != EditingState) {
            edit(currentIndex(), EditKeyPressed, e);
            return;
        }
        if (active && e->key() == Qt::Key_Insert && mods == Qt::NoModifier) {
            query_.Insert();
            return;
        }
        if (active && e->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
            if (!query_.IsEmpty() && (!confirmDelete_ || confirmDelete_())) query_.Delete();
            return;
        }
        if (active && e->key() == Qt::Key_Down && mods == Qt::NoModifier && !query_.IsEmpty() &&
            query_.IsLast()) {
            if (!(query_.state() == TLibQuery::dsInsert && !query_.Modified())) query_.Append();
            return;
        }
        if (active && e->key() == Qt::Key_Tab && mods == Qt::NoModifier && query_.IsLast() &&
            currentIndex().column() == TLibQuery::FieldCount - 1) {
            if (!(query_.state() == TLibQuery::dsInsert && !query_.Modified())) {
                query_.Append();
                setCurrentIndex(model_->index(query_.RecNo(), 1));
            }
            return;
        }
    } catch (const std::exception& ex) {
        report(ex);
        return;
    }
    QTableView::keyPressEvent(e);
}

void TbsSkinDBGrid::focusOutEvent(QFocusEvent* e) {
    QTableView::focusOutEvent(e);
    // Leaving the grid drops a new record nothing was typed into.
    QWidget* w = QApplication::focusWidget();
    const bool inside = w && (w == this || isAncestorOf(w));
    if (!inside && query_.state() == TLibQuery::dsInsert && !query_.Modified()) query_.Cancel();
}

// ---- navigator -------------------------------------------------------------

namespace {
QIcon Glyph(int b, bool enabled) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = enabled ? QColor(0x23, 0x40, 0x5e) : QColor(0xa8, 0xb4, 0xc0);
    p.setPen(QPen(c, 2));
    p.setBrush(c);
    auto tri = [&](QPointF a, QPointF b2, QPointF c2) { p.drawPolygon(QPolygonF({a, b2, c2})); };
    switch (b) {
    case TbsSkinDBNavigator::nbFirst:
        p.drawLine(4, 3, 4, 13);
        tri({12, 3}, {12, 13}, {6, 8});
        break;
    case TbsSkinDBNavigator::nbPrior:
        tri({11, 3}, {11, 13}, {5, 8});
        break;
    case TbsSkinDBNavigator::nbNext:
        tri({5, 3}, {5, 13}, {11, 8});
        break;
    case TbsSkinDBNavigator::nbLast:
        p.drawLine(12, 3, 12, 13);
        tri({4, 3}, {4, 13}, {10, 8});
        break;
    case TbsSkinDBNavigator::nbInsert:
        p.drawLine(8, 3, 8, 13);
        p.drawLine(3, 8, 13, 8);
        break;
    case TbsSkinDBNavigator::nbDelete:
        p.drawLine(3, 8, 13, 8);
        break;
    case TbsSkinDBNavigator::nbEdit:
        tri({8, 4}, {13, 11}, {3, 11});
        break;
    case TbsSkinDBNavigator::nbPost:
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({{3, 8}, {7, 12}, {13, 4}}));
        break;
    case TbsSkinDBNavigator::nbCancel:
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    case TbsSkinDBNavigator::nbRefresh: {
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
        p.setBrush(c);
        tri({11, 1}, {14, 5}, {9, 6});
        break;
    }
    default:
        break;
    }
    p.end();
    return QIcon(pm);
}
} // namespace

TbsSkinDBNavigator::TbsSkinDBNavigator(TLibQuery& query, ErrorReporter& errors, QWidget* parent)
    : QWidget(parent), query_(query), errors_(errors) {
    setObjectName(QStringLiteral("bsSkinDBNavigator1"));
    static const char* hints[ButtonCount] = {
        "FirstRecord",  "PriorRecord", "NextRecord", "LastRecord", "InsertRecord",
        "DeleteRecord", "EditRecord",  "PostEdit",   "CancelEdit", "RefreshRecord"};
    static const char* names[ButtonCount] = {"First",  "Prior", "Next", "Last",   "Insert",
                                             "Delete", "Edit",  "Post", "Cancel", "Refresh"};
    for (int b = 0; b < ButtonCount; ++b) {
        auto* t = new QToolButton(this);
        t->setObjectName(QString::fromLatin1(names[b]));
        t->setToolTip(QString::fromLatin1(hints[b]));
        QIcon icon = Glyph(b, true);
        icon.addPixmap(Glyph(b, false).pixmap(16, 16), QIcon::Disabled);
        t->setIcon(icon);
        t->setFocusPolicy(Qt::NoFocus);
        t->setAutoRaise(true);
        connect(t, &QToolButton::clicked, this, [this, b] { click(b); });
        buttons_[b] = t;
    }
    connect(&query_, &TLibQuery::stateChanged, this, &TbsSkinDBNavigator::updateButtons);
    connect(&query_, &TLibQuery::layoutReset, this, &TbsSkinDBNavigator::updateButtons);
    connect(&query_, &TLibQuery::currentChanged, this, &TbsSkinDBNavigator::updateButtons);
    updateButtons();
}

void TbsSkinDBNavigator::resizeEvent(QResizeEvent*) {
    // The width is shared evenly among the buttons.
    const int w = std::max(20, width() / ButtonCount);
    const int h = std::max(18, height());
    for (int b = 0; b < ButtonCount; ++b)
        buttons_[b]->setGeometry(b * w, 0, w, h);
}

void TbsSkinDBNavigator::updateButtons() {
    const bool active = query_.Active();
    const bool editing =
        query_.state() == TLibQuery::dsEdit || query_.state() == TLibQuery::dsInsert;
    const bool canModify = active && query_.CanModify();
    const bool first = query_.IsFirst(), last = query_.IsLast();
    const bool enabled[ButtonCount] = {active && !first,
                                       active && !first,
                                       active && !last,
                                       active && !last,
                                       canModify,
                                       canModify && !query_.IsEmpty(),
                                       canModify && !editing,
                                       canModify && editing,
                                       canModify && editing,
                                       canModify};
    for (int b = 0; b < ButtonCount; ++b)
        buttons_[b]->setEnabled(enabled[b]);
}

void TbsSkinDBNavigator::click(int b) {
    if (!query_.Active()) return;
    Guarded(errors_, [&] {
        if (beforeAction_) beforeAction_();
        switch (b) {
        case nbFirst:
            query_.First();
            break;
        case nbPrior:
            query_.Prior();
            break;
        case nbNext:
            query_.Next();
            break;
        case nbLast:
            query_.Last();
            break;
        case nbInsert:
            query_.Insert();
            break;
        case nbDelete:
            if (!query_.IsEmpty() && (!confirmDelete_ || confirmDelete_())) query_.Delete();
            break;
        case nbEdit:
            query_.Edit();
            break;
        case nbPost:
            query_.Post();
            break;
        case nbCancel:
            query_.Cancel();
            break;
        case nbRefresh:
            query_.Refresh();
            break;
        default:
            break;
        }
    });
    updateButtons();
}

// ---- window ----------------------------------------------------------------

TfrmViewColor::TfrmViewColor(const Services& services, ColorStore& store, TbsSkinMessage* msgAlert,
                             QWidget* owner)
    : QDialog(owner, Qt::Dialog), services_(services), dm_(store), msgAlert_(msgAlert) {
    setObjectName(QStringLiteral("frmViewColor"));
    setWindowTitle(QStringLiteral("颜色库"));
    bsBusinessSkinForm1 =
        new TbsBusinessSkinForm(this, *services.skin, TbsBusinessSkinForm::SystemMenuIcon);
    bsBusinessSkinForm1->setClientSize(554, 360);
    bsBusinessSkinForm1->setCenterOnFirstShow(true);
    QWidget* c = bsBusinessSkinForm1->client();
    adoqLib = new TLibQuery(store, this);
    adoqLib->setObjectName(QStringLiteral("adoqLib"));

    bsSkinDBNavigator1 = new TbsSkinDBNavigator(*adoqLib, *services.errors, c);
    Place(bsSkinDBNavigator1, 6, 4, 230, 20);
    bsSkinStdLabel1 = new TbsSkinStdLabel(QStringLiteral("颜色名称"), c);
    bsSkinStdLabel1->setObjectName(QStringLiteral("bsSkinStdLabel1"));
    Place(bsSkinStdLabel1, 248, 8, 57, 13);
    edtKeyword = new QLineEdit(c);
    edtKeyword->setObjectName(QStringLiteral("edtKeyword"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(14);
    edtKeyword->setFont(arial);
    Place(edtKeyword, 304, 5, 97, 20);
    bsSkinButton3 = new TbsSkinButton(QStringLiteral("查找"), c);
    bsSkinButton3->setObjectName(QStringLiteral("bsSkinButton3"));
    bsSkinButton3->setCursor(Qt::ArrowCursor);
    Place(bsSkinButton3, 409, 3, 57, 22);
    bsSkinButton4 = new TbsSkinButton(QStringLiteral("全部"), c);
    bsSkinButton4->setObjectName(QStringLiteral("bsSkinButton4"));
    bsSkinButton4->setCursor(Qt::ArrowCursor);
    Place(bsSkinButton4, 472, 3, 57, 22);
    dbgColors = new TbsSkinDBGrid(*adoqLib, *services.errors, c);
    Place(dbgColors, 8, 32, 537, 281);
    bsSkinStdLabel2 =
        new TbsSkinStdLabel(QStringLiteral("选中库中的颜色，点击确定加载该颜色信息"), c);
    bsSkinStdLabel2->setObjectName(QStringLiteral("bsSkinStdLabel2"));
    Place(bsSkinStdLabel2, 8, 328, 353, 13);
    bsSkinButton1 = new TbsSkinButton(QStringLiteral("确定"), c);
    bsSkinButton1->setObjectName(QStringLiteral("bsSkinButton1"));
    Place(bsSkinButton1, 374, 325, 75, 22);
    bsSkinButton2 = new TbsSkinButton(QStringLiteral("取消"), c);
    bsSkinButton2->setObjectName(QStringLiteral("bsSkinButton2"));
    Place(bsSkinButton2, 466, 325, 73, 22);
    for (auto* b : {bsSkinButton1, bsSkinButton2, bsSkinButton3, bsSkinButton4})
        b->setAutoDefault(false);
    bsSkinButton1->setDefault(true);

    auto guard = [this](auto f) { return [this, f] { Guarded(*services_.errors, f); }; };
    connect(bsSkinButton3, &QPushButton::clicked, this, guard([this] { bsSkinButton3Click(); }));
    connect(bsSkinButton4, &QPushButton::clicked, this, guard([this] { bsSkinButton4Click(); }));
    connect(bsSkinButton1, &QPushButton::clicked, this, guard([this] { bsSkinButton1Click(); }));
    connect(bsSkinButton2, &QPushButton::clicked, this, [this] { done(ModalResult::Cancel); });

    bsSkinDBNavigator1->setConfirmDelete([this] { return askDelete(); });
    bsSkinDBNavigator1->setBeforeAction([this] { dbgColors->commitEditor(); });
    dbgColors->setConfirmDelete([this] { return askDelete(); });
    connect(static_cast<TLibDelegate*>(dbgColors->itemDelegate()), &TLibDelegate::editorCreated,
            this, [this](QWidget* e) { e->installEventFilter(this); });

    setTabOrder(bsSkinButton1, bsSkinButton2);
    setTabOrder(bsSkinButton2, dbgColors);
    setTabOrder(dbgColors, edtKeyword);
    setTabOrder(edtKeyword, bsSkinButton3);
    setTabOrder(bsSkinButton3, bsSkinButton4);
    bsSkinButton1->setFocus();

    connect(adoqLib, &TLibQuery::layoutReset, this, &TfrmViewColor::updateInstruction);
    BuildPaletteBand();
    // Other members' changes show while the window is open; a burst of
    // notices is read once. A failure leaves the list as it is: the next
    // use of the library says what is wrong.
    auto* changes = new QTimer(this);
    changes->setSingleShot(true);
    changes->setInterval(50);
    connect(&dm_, &ColorStore::changedElsewhere, changes, qOverload<>(&QTimer::start));
    connect(changes, &QTimer::timeout, this, [this] {
        try {
            adoqLib->MergeStored(dbgColors->editorRow());
        } catch (const std::exception&) {
        }
    });
    Guarded(*services_.errors, [this] { FormCreate(); });
}

TfrmViewColor::~TfrmViewColor() = default;

bool TfrmViewColor::askDelete() {
    if (!msgAlert_) return false;
    return msgAlert_->ShowMessageBox(services_.skin->text("DB_DELETE_QUESTION"), mtConfirmation,
                                     mbOK | mbCancel, 0) != 2;
}

void TfrmViewColor::updateInstruction() {
    static const QString instruction = QStringLiteral("选中库中的颜色，点击确定加载该颜色信息");
    if (!(listingAll_ && adoqLib->Active() && adoqLib->IsEmpty())) {
        bsSkinStdLabel2->setText(instruction);
        bsSkinStdLabel2->setToolTip({});
        return;
    }
    // Where a new library was made is said here, where the user meets it,
    // rather than in a box at the first start.
    const StorePlace place = dm_.Place();
    const QString said = QStringLiteral("颜色库还没有颜色，它在：%1").arg(place.name);
    bsSkinStdLabel2->setText(
        bsSkinStdLabel2->fontMetrics().elidedText(said, Qt::ElideMiddle, bsSkinStdLabel2->width()));
    bsSkinStdLabel2->setToolTip(place.label + u'：' + place.name);
}

void TfrmViewColor::FormCreate() {
    if (adoqLib->Active()) return;
    listingAll_ = true;
    adoqLib->SetSelection(StoreSelection::All());
    Doing("颜色没有列出", [this] { adoqLib->Open(); });
}

void TfrmViewColor::bsSkinButton3Click() {
    const QString k = edtKeyword->text();
    if (k.isEmpty()) return;
    adoqLib->Close();
    listingAll_ = false;
    // An apostrophe is a character like any other, while "%" and "_" still
    // act as wildcards. A keyword that is a colour code ("3366AA",
    // "#3366AA") finds that colour too, whatever its name.
    const QString code = k.startsWith(u'#') ? k.mid(1) : k;
    const std::optional<TRGB> colour = ParseHexCode(code.toStdString());
    adoqLib->SetSelection(colour ? StoreSelection::NameEndingWithOrColour(k, *colour)
                                 : StoreSelection::NameEndingWith(k));
    Doing("没有查找", [this] { adoqLib->Open(); });
}

void TfrmViewColor::bsSkinButton4Click() {
    adoqLib->Close();
    listingAll_ = true;
    adoqLib->SetSelection(StoreSelection::All());
    Doing("颜色没有列出", [this] { adoqLib->Open(); });
}

void TfrmViewColor::bsSkinButton1Click() {
    // The values shown in the current row, including a change not yet
    // posted; without a record the colour becomes black.
    LoadedColor = {ChannelByte(adoqLib->IntValue(TLibQuery::fRVal)),
                   ChannelByte(adoqLib->IntValue(TLibQuery::fGVal)),
                   ChannelByte(adoqLib->IntValue(TLibQuery::fBVal))};
    done(ModalResult::Ok);
}

bool TfrmViewColor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == dbgColors->activeEditor()) {
        auto* ke = static_cast<QKeyEvent*>(event);
        // Neither the cell editor nor the grid claims Enter or Esc: they
        // press the window's "确定" and "取消".
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            bsSkinButton1->click();
            return true;
        }
        if (ke->key() == Qt::Key_Escape) {
            bsSkinButton2->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmViewColor::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        bsSkinButton2->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

std::optional<TRGB> BrowseLibrary(LibraryHost& host) {
    for (;;) {
        if (!host.dm) throw Error("The colour store is not available.");
        auto* w = new TfrmViewColor(host.services, *host.dm, host.msgAlert, host.owner);
        w->setHistory(host.history);
        // A team library (or a file other than the local one) is named in
        // the caption, so that nobody edits the wrong one.
        if (libraryChoice && !libraryChoice->shownName().isEmpty())
            w->setWindowTitle(QStringLiteral("颜色库 - %1").arg(libraryChoice->shownName()));
        if (host.owner) w->move(host.owner->x() + 30, host.owner->y() + 30);
        const int result = host.runModal(*w);
        const TRGB loaded = w->loadedColor();
        const bool again = w->libraryChanged();
        delete w;
        if (again) {
            host.dm = dmMain;
            continue;
        }
        if (result != ModalResult::Ok) return std::nullopt;
        return loaded;
    }
}

} // namespace tp
