#include "colour/ContrastPanel.h"

#include "colour/ColorText.h"
#include "colour/Contrast.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace tp {

namespace {

QColor Q(TRGB c) {
    return QColor(c.r, c.g, c.b);
}

constexpr int PanelWidth = 378;
constexpr int PanelHeight = 108;

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

void TContrastPanel::paintEvent(QPaintEvent*) {
    // A rule between the dialog's controls and the band.
    QPainter p(this);
    p.setPen(QColor(0xc3, 0xd1, 0xdf));
    p.drawLine(5, 0, width() - 6, 0);
}

TContrastPanel::TContrastPanel(QWidget* parent) : QWidget(parent) {
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
    for (size_t i = 0; i < marks.size(); ++i) {
        auto* m = new QLabel(this);
        m->setObjectName(QStringLiteral("mark%1").arg(i));
        m->setProperty("name", QString::fromUtf8(names[i]));
        m->setToolTip(QString::fromUtf8(hints[i]));
        m->setAlignment(Qt::AlignCenter);
        m->setGeometry(5 + int(i % 2) * 85, 66 + int(i / 2) * 21, 82, 19);
        marks[i] = m;
    }

    sample = new TContrastSample(this, this);
    sample->setObjectName(QStringLiteral("contrastSample"));
    sample->setGeometry(177, 9, 195, 50);

    auto* second = new QLabel(QStringLiteral("对比色"), this);
    second->move(177, 74);
    second->adjustSize();
    second->setToolTip(
        QStringLiteral("点击色块选择对比色；未选择时取黑色或白色中与所选颜色对比度较高的一个"));
    cells_ = new TContrastCells(this, this);
    cells_->setObjectName(QStringLiteral("contrastCells"));
    cells_->setGeometry(217, 64, 155, 40);
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

TRGB TContrastPanel::Second() const {
    const TRGB black{0, 0, 0}, white{255, 255, 255};
    switch (chosen_) {
    case AutoCell:
        return ContrastRatio(color_, black) > ContrastRatio(color_, white) ? black : white;
    case 0:
        return black;
    case 1:
        return white;
    default:
        return history_[size_t(chosen_ - 2)];
    }
}

void TContrastPanel::Refresh() {
    const double ratio = ContrastRatio(color_, Second());
    lblRatio->setText(QString::fromStdString(RatioText(ratio)));
    const ContrastMarks m = MarksFor(ratio);
    const bool pass[] = {m.aaNormal, m.aaaNormal, m.aaLarge, m.aaaLarge};
    for (size_t i = 0; i < marks.size(); ++i) {
        marks[i]->setText(marks[i]->property("name").toString() +
                          (pass[i] ? QStringLiteral(" ✓") : QStringLiteral(" ✗")));
        marks[i]->setProperty("pass", pass[i]);
        // A stylesheet, because the skin's stylesheet would win over a palette.
        marks[i]->setStyleSheet(pass[i] ? QStringLiteral("background: #2e7d32; color: white;")
                                        : QStringLiteral("background: #c62828; color: white;"));
    }
    sample->update();
    cells_->update();
}

} // namespace tp
