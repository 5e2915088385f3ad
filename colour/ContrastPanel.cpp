#include "colour/ContrastPanel.h"

#include "colour/CodeEdit.h"
#include "colour/ColorText.h"
#include "colour/ColourVision.h"
#include "colour/Contrast.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QToolButton>

#include <algorithm>

namespace tp {

namespace {

QColor Q(TRGB c) {
    return QColor(c.r, c.g, c.b);
}

constexpr int PanelWidth = 378;
constexpr int PanelHeight = 178;

const QColor FailRed(0xc6, 0x28, 0x28);

} // namespace

// The text sample: the working colour as text on the second colour, at
// the two sizes the criteria distinguish.
class TContrastSample : public QWidget {
public:
    TContrastSample(TContrastPanel* panel, QWidget* parent) : QWidget(parent), panel_(panel) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Q(panel_->Second()));
        p.setPen(QColor(0x9f, 0xb3, 0xc8));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.setPen(Q(panel_->color_));
        QFont normal = font();
        normal.setPixelSize(12);
        p.setFont(normal);
        p.drawText(QRect(8, 4, width() - 16, 16), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("正文示例 Sample text"));
        QFont large = font();
        large.setPixelSize(24); // 18 pt, where large text begins
        p.setFont(large);
        p.drawText(QRect(8, 20, width() - 16, height() - 22), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("大字 Aa"));
    }

private:
    TContrastPanel* panel_;
};

// Black, white and the history slots; a press chooses one.
class TContrastCells : public QWidget {
public:
    TContrastCells(TContrastPanel* panel, QWidget* parent) : QWidget(parent), panel_(panel) {
        setCursor(Qt::PointingHandCursor);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int inUse = panel_->Chosen() == TContrastPanel::AutoCell
                              ? (panel_->Second() == TRGB{0, 0, 0} ? 0 : 1)
                              : panel_->Chosen();
        for (int i = 0; i < panel_->CellCount(); ++i) {
            const QRect r = panel_->CellRect(i);
            p.fillRect(r, Q(CellColor(i)));
            p.setPen(QColor(0x9f, 0xb3, 0xc8));
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
        if (inUse < 0 || inUse >= panel_->CellCount()) return;
        // The cell in use: a dark frame around a light one, visible on any
        // colour; dashed while black or white is taken by itself.
        const QRect r = panel_->CellRect(inUse);
        QPen outer(QColor(0x1e, 0x5a, 0xa8), 2);
        if (panel_->Chosen() == TContrastPanel::AutoCell) outer.setStyle(Qt::DotLine);
        p.setPen(outer);
        p.drawRect(r.adjusted(1, 1, -1, -1));
    }
    void mousePressEvent(QMouseEvent* e) override {
        for (int i = 0; i < panel_->CellCount(); ++i)
            if (panel_->CellRect(i).contains(e->position().toPoint())) {
                panel_->ChooseSecond(i);
                return;
            }
    }
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(e);
            for (int i = 0; i < panel_->CellCount(); ++i)
                if (panel_->CellRect(i).contains(help->pos())) {
                    const QString code = QString::fromStdString(HexCode(CellColor(i)));
                    setToolTip(i == 0   ? QStringLiteral("黑色 000000")
                               : i == 1 ? QStringLiteral("白色 FFFFFF")
                                        : QStringLiteral("历史颜色 %1：%2").arg(i - 1).arg(code));
                    break;
                }
        }
        return QWidget::event(e);
    }

private:
    TRGB CellColor(int cell) const {
        if (cell == 0) return {0, 0, 0};
        if (cell == 1) return {255, 255, 255};
        return panel_->history_[size_t(cell - 2)];
    }
    TContrastPanel* panel_;
};

// One of the three previews: the pair as someone with the deficiency sees
// it, text in the one on the other, and that pair's ratio below; framed and
// written in red where the ratio falls below the level the pair passes.
class TVisionPreview : public QWidget {
public:
    TVisionPreview(TContrastPanel* panel, const DeficiencyInfo& info, QWidget* parent)
        : QWidget(parent), panel_(panel), info_(info) {}

    void Refresh() {
        text_ = Simulate(info_.deficiency, panel_->color_);
        back_ = Simulate(info_.deficiency, panel_->Second());
        const double real = ContrastRatio(panel_->color_, panel_->Second());
        const double seen = ContrastRatio(text_, back_);
        below_ = FallsBelowLevel(real, seen);
        ratio_ = QString::fromStdString(RatioText(seen));
        setProperty("ratio", ratio_);
        setProperty("below", below_);
        QString tip =
            QStringLiteral("%1看到的样子：#%2 上的 #%3，对比度 %4")
                .arg(QString::fromUtf8(info_.name), QString::fromStdString(HexCode(back_)),
                     QString::fromStdString(HexCode(text_)), ratio_);
        if (below_)
            tip += QStringLiteral("，低于原配色达到的 %1 级")
                       .arg(QString::fromStdString(LevelName(real)));
        setToolTip(tip);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect swatch(0, 0, width(), 24);
        p.fillRect(swatch, Q(back_));
        p.setPen(below_ ? QPen(FailRed, 2) : QPen(QColor(0x9f, 0xb3, 0xc8)));
        p.drawRect(below_ ? swatch.adjusted(1, 1, -1, -1) : swatch.adjusted(0, 0, -1, -1));
        QFont f = font();
        f.setPixelSize(13);
        p.setFont(f);
        p.setPen(Q(text_));
        p.drawText(swatch.adjusted(6, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("正文 Aa"));
        f.setPixelSize(12);
        f.setBold(below_);
        p.setFont(f);
        p.setPen(below_ ? FailRed : palette().color(QPalette::WindowText));
        p.drawText(QRect(0, 25, width(), height() - 25), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(info_.name) + QLatin1Char(' ') + ratio_ +
                       (below_ ? QStringLiteral(" ✗") : QString()));
    }

private:
    TContrastPanel* panel_;
    DeficiencyInfo info_;
    TRGB text_{}, back_{};
    bool below_ = false;
    QString ratio_;
};

void TContrastPanel::paintEvent(QPaintEvent*) {
    // A rule between the dialog's controls and the band.
    QPainter p(this);
    p.setPen(QColor(0xc3, 0xd1, 0xdf));
    p.drawLine(5, 0, width() - 6, 0);
}

TContrastPanel::TContrastPanel(const Services& services, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("contrastPanel"));
    setFixedSize(PanelWidth, PanelHeight);

    auto* title = new QLabel(QStringLiteral("对比度"), this);
    title->move(5, 42);
    title->adjustSize();
    title->setToolTip(QStringLiteral("WCAG 2.2 对比度：所选颜色与对比色之间"));
    lblRatio = new QLabel(this);
    lblRatio->setObjectName(QStringLiteral("lblRatio"));
    QFont big = lblRatio->font();
    big.setPixelSize(20);
    big.setBold(true);
    lblRatio->setFont(big);
    lblRatio->setGeometry(50, 36, 122, 26);

    const char* names[] = {"正文 AA", "正文 AAA", "大字 AA", "大字 AAA"};
    const char* hints[] = {
        "正文（小于 18 磅，粗体小于 14 磅）AA 级：至少 4.5:1",
        "正文 AAA 级：至少 7:1",
        "大字（18 磅以上，或 14 磅以上粗体）AA 级：至少 3:1",
        "大字 AAA 级：至少 4.5:1",
    };
    for (size_t i = 0; i < marks_.size(); ++i) {
        auto* m = new QLabel(this);
        m->setObjectName(QStringLiteral("mark%1").arg(i));
        m->setProperty("name", QString::fromUtf8(names[i]));
        m->setToolTip(QString::fromUtf8(hints[i]));
        m->setAlignment(Qt::AlignCenter);
        m->setGeometry(5 + int(i % 2) * 85, 66 + int(i / 2) * 21, 82, 19);
        marks_[i] = m;
    }

    // The second colour: a swap, its code (typed or pasted in any form the
    // program reads), the text sample, and the cells to click.
    btnSwap_ = new QToolButton(this);
    btnSwap_->setObjectName(QStringLiteral("btnSwap"));
    btnSwap_->setText(QStringLiteral("⇄"));
    btnSwap_->setToolTip(QStringLiteral("交换所选颜色与对比色"));
    btnSwap_->setGeometry(177, 9, 24, 21);
    connect(btnSwap_, &QToolButton::clicked, this, &TContrastPanel::Swap);
    auto* second = new QLabel(QStringLiteral("对比色 #"), this);
    second->move(207, 13);
    second->adjustSize();
    second->setToolTip(QStringLiteral("输入或粘贴对比色，或点击下面的色块；未选择时取黑色或白色中"
                                      "与所选颜色对比度较高的一个"));
    edtSecond_ = new TCodeEdit(services, this);
    edtSecond_->setObjectName(QStringLiteral("edtSecond"));
    edtSecond_->setToolTip(QStringLiteral("输入或粘贴对比色"));
    edtSecond_->setMaxLength(6);
    edtSecond_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,6}")), edtSecond_));
    int digit = 0;
    for (const QChar ch : QStringLiteral("0123456789ABCDEF"))
        digit = std::max(digit, edtSecond_->fontMetrics().horizontalAdvance(ch));
    edtSecond_->setGeometry(second->x() + second->width() + 5, 9, 6 * digit + 12, 21);
    connect(edtSecond_, &QLineEdit::textEdited, this, &TContrastPanel::SecondCodeEdited);
    connect(edtSecond_, &TCodeEdit::colorPasted, this, &TContrastPanel::SetSecond);

    sample_ = new TContrastSample(this, this);
    sample_->setObjectName(QStringLiteral("contrastSample"));
    sample_->setGeometry(177, 36, 195, 46);

    cells_ = new TContrastCells(this, this);
    cells_->setObjectName(QStringLiteral("contrastCells"));
    cells_->setToolTip(QStringLiteral("点击色块选择对比色"));
    cells_->setGeometry(177, 88, 155, 40);

    for (size_t i = 0; i < previews_.size(); ++i) {
        auto* preview = new TVisionPreview(this, Deficiencies()[i], this);
        preview->setObjectName(QStringLiteral("visionPreview%1").arg(i));
        preview->setGeometry(5 + int(i) * 126, 134, 120, 40);
        previews_[i] = preview;
    }
    Refresh();
}

QRect TContrastPanel::CellRect(int cell) const {
    if (cell < 2) return QRect(0, cell * 21, 18, 19);
    const int i = cell - 2;
    return QRect(22 + (i % 8) * 16, (i / 8) * 21, 15, 19);
}

void TContrastPanel::SetColor(TRGB c) {
    if (c == color_) return;
    color_ = c;
    Refresh();
}

void TContrastPanel::SetHistory(std::vector<TRGB> colours) {
    history_ = std::move(colours);
    if (chosen_ >= CellCount()) chosen_ = AutoCell;
    Refresh();
}

void TContrastPanel::ChooseSecond(int cell) {
    chosen_ = (cell >= 0 && cell < CellCount()) ? cell : AutoCell;
    Refresh();
}

void TContrastPanel::SetSecond(TRGB c) {
    chosen_ = OwnColor;
    own_ = c;
    Refresh();
}

std::optional<TRGB> TContrastPanel::ChosenSecond() const {
    if (chosen_ == AutoCell) return std::nullopt;
    return Second();
}

TRGB TContrastPanel::Second() const {
    const TRGB black{0, 0, 0}, white{255, 255, 255};
    switch (chosen_) {
    case AutoCell:
        return StrongerOfBlackAndWhite(color_);
    case OwnColor:
        return own_;
    case 0:
        return black;
    case 1:
        return white;
    default:
        return history_[size_t(chosen_ - 2)];
    }
}

void TContrastPanel::SecondCodeEdited() {
    // Six digits make a colour; fewer change nothing yet, and what is typed
    // stays as typed (lower case included).
    const auto c = ParseHexCode(edtSecond_->text().toStdString());
    if (!c) return;
    fromSecondCode_ = true;
    SetSecond(*c);
    fromSecondCode_ = false;
}

void TContrastPanel::Swap() {
    const TRGB working = color_, second = Second();
    SetSecond(working);
    emit workingColorChosen(second);
}

void TContrastPanel::Refresh() {
    const double ratio = ContrastRatio(color_, Second());
    lblRatio->setText(QString::fromStdString(RatioText(ratio)));
    const ContrastMarks m = MarksFor(ratio);
    const bool pass[] = {m.aaNormal, m.aaaNormal, m.aaLarge, m.aaaLarge};
    for (size_t i = 0; i < marks_.size(); ++i) {
        marks_[i]->setText(marks_[i]->property("name").toString() +
                           (pass[i] ? QStringLiteral(" ✓") : QStringLiteral(" ✗")));
        marks_[i]->setProperty("pass", pass[i]);
        // A stylesheet, because the skin's stylesheet would win over a palette.
        marks_[i]->setStyleSheet(pass[i] ? QStringLiteral("background: #2e7d32; color: white;")
                                         : QStringLiteral("background: #c62828; color: white;"));
    }
    const QString code = QString::fromStdString(HexCode(Second()));
    if (!fromSecondCode_ && edtSecond_->text() != code) edtSecond_->setText(code);
    for (QWidget* p : previews_)
        static_cast<TVisionPreview*>(p)->Refresh();
    sample_->update();
    cells_->update();
}

} // namespace tp
