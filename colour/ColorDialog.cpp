#include "colour/ColorDialog.h"

#include "colour/CodeEdit.h"
#include "colour/ColorText.h"
#include "colour/ContrastPanel.h"
#include "colour/TrackEdit.h"
#include "colour/bsColorCtrls.h"
#include "skin/Controls.h"
#include "skin/Placement.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"

#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace tp {

namespace {
// Sets a guard flag for one scope; it is cleared also when a handler fails,
// so that a failed chain does not leave the dialog deaf.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

constexpr int ClientWidth = 378;
constexpr int ClientHeight = 343;

QFont DefaultFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(14);
    return f;
}
} // namespace

TbsSkinColorDialog::TbsSkinColorDialog(const Services& services, QObject* owner)
    : QObject(owner), DefaultLabelFont(DefaultFont()), DefaultButtonFont(DefaultFont()),
      DefaultEditFont(DefaultFont()), services_(services) {
    CustomColors.fill(0xFFFFFF);
}

TbsSkinColorDialog::~TbsSkinColorDialog() = default;

QString TbsSkinColorDialog::caption(const char* key, const char* builtIn) const {
    return QString::fromStdString(
        SkinCaption(CtrlSkinData ? &CtrlSkinData->strings : nullptr, key, builtIn));
}

void TbsSkinColorDialog::BuildWindow() {
    w_ = std::make_unique<Window>();
    Window* w = w_.get();
    auto* form = new QDialog(qobject_cast<QWidget*>(parent()));
    form->setObjectName(QStringLiteral("bsColorDialog"));
    form->setWindowTitle(Caption);
    w->form = form;
    const tp::SkinData* frameSkin = SkinData ? SkinData : services_.skin;
    w->skinForm = new TbsBusinessSkinForm(form, *frameSkin, 0);
    w->skinForm->setClientSize(ClientWidth, ClientHeight);
    QWidget* client = w->skinForm->client();

    auto label = [&](const char* name, const QString& text, int left, int top) {
        auto* l = new TbsSkinStdLabel(text, client);
        l->setObjectName(QString::fromLatin1(name));
        if (!UseSkinFont) l->setFont(DefaultLabelFont);
        l->adjustSize();
        l->move(left, top);
        return l;
    };
    auto edit = [&](const char* name, int max, int trackWidth, int left, int top) {
        auto* e = new TbsSkinTrackEdit(services_, client);
        e->setObjectName(QString::fromLatin1(name));
        e->SetMinValue(0);
        e->SetMaxValue(max);
        e->TrackBarWidth = trackWidth;
        e->PopupKind = TbsTrackBarPopupKind::tbpLeft;
        e->SetJumpWhenClick(true);
        Place(e, left, top, 50, 21);
        // Enter belongs to the dialog's default button, as in any dialog.
        e->installEventFilter(this);
        return e;
    };
    auto button = [&](const char* name, const QString& text, int left, int top, int width) {
        auto* b = new TbsSkinButton(text, client);
        b->setObjectName(QString::fromLatin1(name));
        if (!UseSkinFont) b->setFont(DefaultButtonFont);
        Place(b, left, top, width, 25);
        return b;
    };
    auto bottom = [](QWidget* c) { return c->y() + c->height(); };
    auto right = [](QWidget* c) { return c->x() + c->width(); };

    w->basicGrid = new TbsSkinColorGrid(client);
    w->basicGrid->setObjectName(QStringLiteral("basicGrid"));
    w->basicGrid->setTitle(caption("COLORGRID_CAP", "Basic colors"));
    w->basicGrid->SetRowCount(8);
    w->basicGrid->SetColCount(6);
    w->basicGrid->SetTransparent(GroupBoxTransparentMode);
    Place(w->basicGrid, 5, 5, 167, 195);

    w->customGrid = new TbsSkinCustomColorGrid(client);
    w->customGrid->setObjectName(QStringLiteral("customGrid"));
    w->customGrid->setTitle(caption("CUSTOMCOLORGRID_CAP", "Custom colors"));
    w->customGrid->SetTransparent(GroupBoxTransparentMode);
    Place(w->customGrid, 5, bottom(w->basicGrid) + 10, 167, 68);
    for (int n = 1; n <= grid::CustomSlotCount; ++n)
        w->customGrid->SetSlot(n, CustomColors[static_cast<size_t>(n - 1)]);
    w->customGrid->SetNextSlot(CustomColorNext);
    w->customGrid->SelectedSlot = 0;

    w->wheelHost = new TbsEmptyControl(client);
    w->wheelHost->setObjectName(QStringLiteral("wheelHost"));
    Place(w->wheelHost, right(w->basicGrid) + 5, 5, wheel::Size, wheel::Size);
    w->wheel = new TbsColorWheel(wheelColor_, w->wheelHost);
    w->wheel->setObjectName(QStringLiteral("wheel"));
    w->wheel->move(0, 0);
    // The picture's corners show the dialog's face behind the wheel.
    QWidget* host = w->wheelHost;
    w->wheel->PaintBackground = [client, host](QImage& img) {
        img.fill(client->palette().color(QPalette::Window));
        QPainter p(&img);
        client->render(&p, QPoint(0, 0), QRegion(host->geometry()), QWidget::DrawWindowBackground);
    };

    const int gridBottom = bottom(w->basicGrid);
    const int col1 = w->wheelHost->x();
    w->lblR = label("lblR", QStringLiteral("R:"), col1, gridBottom + 12);
    w->edtR = edit("edtR", 255, 200, right(w->lblR) + 5, gridBottom + 10);
    w->lblG = label("lblG", QStringLiteral("G:"), col1, bottom(w->edtR) + 12);
    w->edtG = edit("edtG", 255, 200, w->edtR->x(), bottom(w->edtR) + 10);
    w->lblB = label("lblB", QStringLiteral("B:"), col1, bottom(w->edtG) + 12);
    w->edtB = edit("edtB", 255, 200, w->edtR->x(), bottom(w->edtG) + 10);
    w->lblH = label("lblH", QStringLiteral("H:"), right(w->edtR) + 5, gridBottom + 12);
    w->edtH = edit("edtH", 359, 250, right(w->lblH) + 5, gridBottom + 10);
    w->lblS = label("lblS", QStringLiteral("S:"), w->lblH->x(), bottom(w->edtH) + 12);
    w->edtS = edit("edtS", 100, 120, w->edtH->x(), bottom(w->edtH) + 10);
    w->lblL = label("lblL", QStringLiteral("L:"), w->lblH->x(), bottom(w->edtS) + 12);
    w->edtL = edit("edtL", 100, 120, w->edtH->x(), bottom(w->edtS) + 10);

    w->preview = new TbsColorViewer(client);
    w->preview->setObjectName(QStringLiteral("preview"));
    const int pvLeft = right(w->edtH) + 5;
    const int side = right(w->wheelHost) - pvLeft;
    Place(w->preview, pvLeft, bottom(w->wheelHost) + 10, side, side);

    const int buttonsTop = bottom(w->edtL) + 15;
    w->btnOK = button("btnOK", caption("MSG_BTN_OK", "OK"), 5, buttonsTop, 70);
    w->btnOK->setDefault(true);
    w->btnCancel = button("btnCancel", caption("MSG_BTN_CANCEL", "Cancel"), 90, buttonsTop, 70);
    w->btnAdd = button("btnAdd", caption("ADDCUSTOMCOLORBUTTON_CAP", "Add to Custom Colors"),
                       w->wheelHost->x(), buttonsTop, w->wheelHost->width());
    w->skinForm->setClientSize(ClientWidth, bottom(w->btnAdd) + 10);
    BuildBand();

    connect(w->basicGrid, &TbsColorCellGrid::OnChange, this, &TbsSkinColorDialog::BasicGridChanged);
    connect(w->customGrid, &TbsColorCellGrid::OnChange, this,
            &TbsSkinColorDialog::CustomGridChanged);
    for (TbsSkinTrackEdit* e : {w->edtR, w->edtG, w->edtB})
        connect(e, &TbsSkinTrackEdit::changed, this, &TbsSkinColorDialog::RGBEditsChanged);
    for (TbsSkinTrackEdit* e : {w->edtH, w->edtS, w->edtL})
        connect(e, &TbsSkinTrackEdit::changed, this, &TbsSkinColorDialog::HSVEditsChanged);
    w->wheel->OnWheelChanged = [this] { WheelToRGBEdits(); };
    connect(w->btnOK, &QPushButton::clicked, form, &QDialog::accept);
    connect(w->btnCancel, &QPushButton::clicked, form, &QDialog::reject);
    connect(w->btnAdd, &QPushButton::clicked, this, &TbsSkinColorDialog::AddButtonClick);
    connect(w->preview, &TbsColorViewer::changed, this, &TbsSkinColorDialog::PreviewChanged);

    if (AlphaBlend) {
        const qreal opacity = AlphaBlendValue / 255.0;
        form->setWindowOpacity(AlphaBlendAnimation ? 0.0 : opacity);
        if (AlphaBlendAnimation) {
            auto* fade = new QPropertyAnimation(form, "windowOpacity", form);
            fade->setStartValue(0.0);
            fade->setEndValue(opacity);
            fade->setDuration(5 * 15);
            form->installEventFilter(this);
            w->fadeIn = fade;
        }
    }

    // Centred on the screen.
    form->adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        const Pos p =
            CenterInArea({s.x(), s.y(), s.width(), s.height()}, form->width(), form->height());
        form->move(p.left, p.top);
    }
}

void TbsSkinColorDialog::BuildBand() {
    // A band of its own under the client area, so that every control above
    // keeps its place.
    Window* w = w_.get();
    w->contrast = new TContrastPanel(services_, w->form);
    std::vector<TRGB> history;
    for (const TColor c : HistoryColors)
        history.push_back(SplitColor(c));
    w->contrast->SetHistory(std::move(history));
    if (auto* outer = qobject_cast<QVBoxLayout*>(w->form->layout())) outer->addWidget(w->contrast);

    w->lblCode = new TbsSkinStdLabel(QStringLiteral("十六进制 #"), w->contrast);
    w->lblCode->setObjectName(QStringLiteral("lblCode"));
    if (!UseSkinFont) w->lblCode->setFont(DefaultLabelFont);
    w->lblCode->adjustSize();
    w->lblCode->move(5, 13);
    w->edtCode = new TCodeEdit(services_, w->contrast);
    w->edtCode->setObjectName(QStringLiteral("edtCode"));
    w->edtCode->setToolTip(QStringLiteral("输入或粘贴颜色"));
    w->edtCode->setMaxLength(6);
    w->edtCode->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,6}")), w->edtCode));
    w->edtCode->setFont(DefaultEditFont);
    // Wide enough for six of the widest digit, plus the frame.
    int digit = 0;
    for (const QChar ch : QStringLiteral("0123456789ABCDEF"))
        digit = std::max(digit, w->edtCode->fontMetrics().horizontalAdvance(ch));
    Place(w->edtCode, w->lblCode->x() + w->lblCode->width() + 5, 9, 6 * digit + 12, 21);
    w->edtCode->installEventFilter(this);
    connect(w->edtCode, &QLineEdit::textEdited, this, &TbsSkinColorDialog::CodeEdited);
    connect(w->edtCode, &TCodeEdit::colorPasted, this, &TbsSkinColorDialog::CodePasted);
}

bool TbsSkinColorDialog::Execute() {
    // The window goes with this run, also when something in it fails.
    struct Teardown {
        std::unique_ptr<Window>& w;
        ~Teardown() {
            if (w) delete w->form;
            w.reset();
        }
    } teardown{w_};
    LockRGB = LockHSV = FromWheel = false;
    BuildWindow();
    Window& w = *w_;

    wheelColor_.SetRGB(0);
    w.wheel->WheelPart = wheel::wpNone;
    w.wheel->DrawWheel();
    w.preview->SetColorValue(Color);
    w.basicGrid->SetColorValue(Color);
    const TRGB c = SplitColor(Color);
    w.edtR->SetValue(c.r);
    w.edtG->SetValue(c.g);
    w.edtB->SetValue(c.b);
    PreviewChanged();

    const int result = RunModal ? RunModal(*this) : w.form->exec();
    if (result != QDialog::Accepted) return false;
    Color = w.preview->ColorValue();
    for (int n = 1; n <= grid::CustomSlotCount; ++n)
        CustomColors[static_cast<size_t>(n - 1)] = w.customGrid->Slot(n);
    CustomColorNext = w.customGrid->NextSlot();
    return true;
}

bool TbsSkinColorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (!w_) return false;
    if (event->type() == QEvent::KeyPress && watched != w_->form) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            w_->btnOK->click();
            return true;
        }
    }
    if (event->type() == QEvent::Show && watched == w_->form) {
        if (w_->fadeIn) w_->fadeIn->start();
    }
    return false;
}

void TbsSkinColorDialog::SetHSVEdits(TColor c) {
    const TRGB rgb = SplitColor(c);
    const HSVValues v = RGBToHSV(rgb.r, rgb.g, rgb.b);
    // A grey has no hue: the H edit keeps what it shows, which a saturation
    // of 0 ignores anyway.
    if (v.H) w_->edtH->SetValue(*v.H);
    w_->edtS->SetValue(v.S);
    w_->edtL->SetValue(v.L);
}

void TbsSkinColorDialog::UpdateWheel(TColor c) {
    w_->wheel->UpdateWheel(c);
}

void TbsSkinColorDialog::RGBEditsChanged() {
    if (LockRGB || !w_) return;
    const TColor c =
        RGB(static_cast<uint8_t>(w_->edtR->Value()), static_cast<uint8_t>(w_->edtG->Value()),
            static_cast<uint8_t>(w_->edtB->Value()));
    w_->preview->SetColorValue(c);
    FlagScope lock(LockHSV);
    SetHSVEdits(c);
    if (!FromWheel) UpdateWheel(c);
}

void TbsSkinColorDialog::HSVEditsChanged() {
    if (LockHSV || !w_) return;
    const TRGB rgb = HSVToRGB(w_->edtH->Value(), w_->edtS->Value(), w_->edtL->Value());
    const TColor c = ToColor(rgb);
    w_->preview->SetColorValue(c);
    FlagScope lock(LockRGB);
    w_->edtR->SetValue(rgb.r);
    w_->edtG->SetValue(rgb.g);
    w_->edtB->SetValue(rgb.b);
    if (!FromWheel) UpdateWheel(c);
}

void TbsSkinColorDialog::GridChanged(TColor c) {
    const TRGB rgb = SplitColor(c);
    {
        FlagScope lock(LockRGB);
        w_->edtR->SetValue(rgb.r);
        w_->edtG->SetValue(rgb.g);
        w_->edtB->SetValue(rgb.b);
    }
    w_->preview->SetColorValue(c);
    FlagScope lock(LockHSV);
    SetHSVEdits(c);
    if (!FromWheel) UpdateWheel(c);
}

void TbsSkinColorDialog::BasicGridChanged() {
    if (w_) GridChanged(w_->basicGrid->ColorValue());
}

void TbsSkinColorDialog::CustomGridChanged() {
    if (w_) GridChanged(w_->customGrid->ColorValue());
}

void TbsSkinColorDialog::WheelToRGBEdits() {
    if (!w_) return;
    FlagScope fromWheel(FromWheel);
    w_->edtR->SetValue(wheelColor_.Red);
    w_->edtG->SetValue(wheelColor_.Green);
    w_->edtB->SetValue(wheelColor_.Blue);
}

void TbsSkinColorDialog::AddButtonClick() {
    if (w_) w_->customGrid->AddColor(w_->preview->ColorValue());
}

void TbsSkinColorDialog::PreviewChanged() {
    if (!w_ || !w_->contrast) return;
    const TRGB c = SplitColor(w_->preview->ColorValue());
    w_->contrast->SetColor(c);
    const QString code = QString::fromStdString(HexCode(c));
    if (!FromCode && w_->edtCode->text() != code) w_->edtCode->setText(code);
}

void TbsSkinColorDialog::CodeEdited() {
    if (!w_) return;
    // Six digits make a colour; fewer change nothing yet.
    const auto c = ParseHexCode(w_->edtCode->text().toStdString());
    if (!c) return;
    FlagScope fromCode(FromCode);
    GridChanged(ToColor(*c));
}

void TbsSkinColorDialog::CodePasted(TRGB c) {
    if (!w_) return;
    GridChanged(ToColor(c));
    // The same colour pasted again still shows as its code.
    PreviewChanged();
}

} // namespace tp
