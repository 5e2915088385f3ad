#include "colour/ColorDialog.h"

#include "colour/CodeEdit.h"
#include "colour/ColorModel.h"
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

// The code edit's font: the skin has none for an edit of its own.
QFont CodeFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(14);
    return f;
}

// The controls of the window while one exists (inside Execute).
struct Window {
    QDialog* form = nullptr;
    TbsBusinessSkinForm* skinForm = nullptr;
    TbsSkinColorGrid* basicGrid = nullptr;
    TbsSkinCustomColorGrid* customGrid = nullptr;
    TbsEmptyControl* wheelHost = nullptr;
    TbsColorWheel* wheel = nullptr;
    TbsSkinStdLabel *lblR = nullptr, *lblG = nullptr, *lblB = nullptr;
    TbsSkinStdLabel *lblH = nullptr, *lblS = nullptr, *lblL = nullptr;
    TbsSkinTrackEdit *edtR = nullptr, *edtG = nullptr, *edtB = nullptr;
    TbsSkinTrackEdit *edtH = nullptr, *edtS = nullptr, *edtL = nullptr;
    TbsColorViewer* preview = nullptr;
    TbsSkinButton *btnOK = nullptr, *btnCancel = nullptr, *btnAdd = nullptr;
    QPropertyAnimation* fadeIn = nullptr; // with the animated alpha blend
    // The band below the controls: the working colour's code, and the
    // contrast check.
    TContrastPanel* contrast = nullptr;
    TbsSkinStdLabel* lblCode = nullptr;
    TCodeEdit* edtCode = nullptr;
};
} // namespace

struct TbsSkinColorDialog::Private {
    Private(TbsSkinColorDialog* dialog, const Services& services) : q(dialog), services_(services) {
        CustomColors.fill({255, 255, 255});
    }

    TbsSkinColorDialog* const q;
    Services services_;

    // The published properties; they take effect at the next Execute.
    TRGB Color;
    QString Caption = QStringLiteral("Set color");
    bool AlphaBlend = false;
    uint8_t AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;
    const tp::SkinData* SkinData = nullptr;     // the window's frame
    const tp::SkinData* CtrlSkinData = nullptr; // the controls and their captions
    std::vector<TRGB> HistoryColors;
    std::array<TRGB, 12> CustomColors;
    int CustomColorNext = 0;
    std::optional<TRGB> ContrastColor;

    TPSPColor wheelColor_;
    std::unique_ptr<Window> w_;
    // The guards of the handler chains: a view being written by another
    // does not write back.
    bool LockRGB = false, LockHSV = false, FromWheel = false;
    // The R, G, B edits are being set from the code edit, which keeps what
    // was typed (lower case included) until another view changes the colour.
    bool FromCode = false;

    void BuildWindow();
    void BuildBand();
    QString caption(const char* key, const char* builtIn) const;

    // Handlers of the window's controls.
    void RGBEditsChanged();
    void HSVEditsChanged();
    void BasicGridChanged();
    void CustomGridChanged();
    void WheelToRGBEdits();
    void UpdateWheel(TRGB c);
    void AddButtonClick();
    void CodeEdited();
    void CodePasted(TRGB c);
    void PreviewChanged();
    void GridChanged(TRGB c);
    void SetHSVEdits(TRGB c);
};

TbsSkinColorDialog::TbsSkinColorDialog(const Services& services, QObject* owner)
    : QObject(owner), d(std::make_unique<Private>(this, services)) {}

TbsSkinColorDialog::~TbsSkinColorDialog() = default;

TRGB TbsSkinColorDialog::Color() const {
    return d->Color;
}
void TbsSkinColorDialog::SetColor(TRGB c) {
    d->Color = c;
}
void TbsSkinColorDialog::SetCaption(const QString& caption) {
    d->Caption = caption;
}
void TbsSkinColorDialog::SetAlphaBlend(bool on, uint8_t value, bool animation) {
    d->AlphaBlend = on;
    d->AlphaBlendValue = value;
    d->AlphaBlendAnimation = animation;
}
void TbsSkinColorDialog::SetSkinData(const SkinData* frame, const SkinData* controls) {
    d->SkinData = frame;
    d->CtrlSkinData = controls;
}
void TbsSkinColorDialog::SetHistoryColors(std::vector<TRGB> colours) {
    d->HistoryColors = std::move(colours);
}
const std::array<TRGB, 12>& TbsSkinColorDialog::CustomColors() const {
    return d->CustomColors;
}
std::optional<TRGB> TbsSkinColorDialog::ContrastColor() const {
    return d->ContrastColor;
}

int TbsSkinColorDialog::CustomColorNext() const {
    return d->CustomColorNext;
}

QString TbsSkinColorDialog::Private::caption(const char* key, const char* builtIn) const {
    return QString::fromStdString(
        SkinCaption(CtrlSkinData ? &CtrlSkinData->strings : nullptr, key, builtIn));
}

void TbsSkinColorDialog::Private::BuildWindow() {
    w_ = std::make_unique<Window>();
    Window* w = w_.get();
    auto* form = new QDialog(qobject_cast<QWidget*>(q->parent()));
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
        l->adjustSize();
        l->move(left, top);
        return l;
    };
    auto edit = [&](const char* name, int max, int trackWidth, int left, int top) {
        auto* e = new TbsSkinTrackEdit(services_, client);
        e->setObjectName(QString::fromLatin1(name));
        e->SetMinValue(0);
        e->SetMaxValue(max);
        e->SetTrackBarWidth(trackWidth);
        e->SetPopupKind(TbsTrackBarPopupKind::tbpLeft);
        e->SetJumpWhenClick(true);
        Place(e, left, top, 50, 21);
        // Enter belongs to the dialog's default button, as in any dialog.
        e->installEventFilter(q);
        return e;
    };
    auto button = [&](const char* name, const QString& text, int left, int top, int width) {
        auto* b = new TbsSkinButton(text, client);
        b->setObjectName(QString::fromLatin1(name));
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
    Place(w->basicGrid, 5, 5, 167, 195);

    w->customGrid = new TbsSkinCustomColorGrid(client);
    w->customGrid->setObjectName(QStringLiteral("customGrid"));
    w->customGrid->setTitle(caption("CUSTOMCOLORGRID_CAP", "Custom colors"));
    Place(w->customGrid, 5, bottom(w->basicGrid) + 10, 167, 68);
    for (int n = 1; n <= grid::CustomSlotCount; ++n)
        w->customGrid->SetSlot(n, CustomColors[static_cast<size_t>(n - 1)]);
    w->customGrid->SetNextSlot(CustomColorNext);
    w->customGrid->SetSelectedSlot(0);

    w->wheelHost = new TbsEmptyControl(client);
    w->wheelHost->setObjectName(QStringLiteral("wheelHost"));
    Place(w->wheelHost, right(w->basicGrid) + 5, 5, wheel::Size, wheel::Size);
    w->wheel = new TbsColorWheel(wheelColor_, w->wheelHost);
    w->wheel->setObjectName(QStringLiteral("wheel"));
    w->wheel->move(0, 0);
    // The picture's corners show the dialog's face behind the wheel.
    QWidget* host = w->wheelHost;
    w->wheel->SetBackgroundPainter([client, host](QImage& img) {
        img.fill(client->palette().color(QPalette::Window));
        QPainter p(&img);
        client->render(&p, QPoint(0, 0), QRegion(host->geometry()), QWidget::DrawWindowBackground);
    });

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

    connect(w->basicGrid, &TbsColorCellGrid::OnChange, q, [this] { BasicGridChanged(); });
    connect(w->customGrid, &TbsColorCellGrid::OnChange, q, [this] { CustomGridChanged(); });
    for (TbsSkinTrackEdit* e : {w->edtR, w->edtG, w->edtB})
        connect(e, &TbsSkinTrackEdit::changed, q, [this] { RGBEditsChanged(); });
    for (TbsSkinTrackEdit* e : {w->edtH, w->edtS, w->edtL})
        connect(e, &TbsSkinTrackEdit::changed, q, [this] { HSVEditsChanged(); });
    connect(w->wheel, &TbsColorWheel::changed, q, [this] { WheelToRGBEdits(); });
    connect(w->btnOK, &QPushButton::clicked, form, &QDialog::accept);
    connect(w->btnCancel, &QPushButton::clicked, form, &QDialog::reject);
    connect(w->btnAdd, &QPushButton::clicked, q, [this] { AddButtonClick(); });
    connect(w->preview, &TbsColorViewer::changed, q, [this] { PreviewChanged(); });

    if (AlphaBlend) {
        const qreal opacity = AlphaBlendValue / 255.0;
        form->setWindowOpacity(AlphaBlendAnimation ? 0.0 : opacity);
        if (AlphaBlendAnimation) {
            auto* fade = new QPropertyAnimation(form, "windowOpacity", form);
            fade->setStartValue(0.0);
            fade->setEndValue(opacity);
            fade->setDuration(5 * 15);
            form->installEventFilter(q);
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

void TbsSkinColorDialog::Private::BuildBand() {
    // A band of its own under the client area, so that every control above
    // keeps its place.
    Window* w = w_.get();
    w->contrast = new TContrastPanel(services_, w->form);
    w->contrast->SetHistory(HistoryColors);
    if (ContrastColor) w->contrast->SetSecond(*ContrastColor);
    // The swap hands the second colour over as the working colour.
    connect(w->contrast, &TContrastPanel::workingColorChosen, q, [this](TRGB c) { CodePasted(c); });
    if (auto* outer = qobject_cast<QVBoxLayout*>(w->form->layout())) outer->addWidget(w->contrast);

    w->lblCode = new TbsSkinStdLabel(QStringLiteral("十六进制 #"), w->contrast);
    w->lblCode->setObjectName(QStringLiteral("lblCode"));
    w->lblCode->adjustSize();
    w->lblCode->move(5, 13);
    w->edtCode = new TCodeEdit(services_, w->contrast);
    w->edtCode->setObjectName(QStringLiteral("edtCode"));
    w->edtCode->setToolTip(QStringLiteral("输入或粘贴颜色"));
    w->edtCode->setMaxLength(6);
    w->edtCode->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,6}")), w->edtCode));
    w->edtCode->setFont(CodeFont());
    // Wide enough for six of the widest digit, plus the frame.
    int digit = 0;
    for (const QChar ch : QStringLiteral("0123456789ABCDEF"))
        digit = std::max(digit, w->edtCode->fontMetrics().horizontalAdvance(ch));
    Place(w->edtCode, w->lblCode->x() + w->lblCode->width() + 5, 9, 6 * digit + 12, 21);
    w->edtCode->installEventFilter(q);
    connect(w->edtCode, &QLineEdit::textEdited, q, [this] { CodeEdited(); });
    connect(w->edtCode, &TCodeEdit::colorPasted, q, [this](TRGB c) { CodePasted(c); });
}

bool TbsSkinColorDialog::Execute() {
    Private& p = *d;
    // The window goes with this run, also when something in it fails.
    struct Teardown {
        std::unique_ptr<Window>& w;
        ~Teardown() {
            if (w) delete w->form;
            w.reset();
        }
    } teardown{p.w_};
    p.LockRGB = p.LockHSV = p.FromWheel = false;
    p.BuildWindow();
    Window& w = *p.w_;

    p.wheelColor_.SetRGB({0, 0, 0});
    w.wheel->ResetWheelPart();
    w.wheel->DrawWheel();
    w.preview->SetColorValue(p.Color);
    w.basicGrid->SetColorValue(p.Color);
    w.edtR->SetValue(p.Color.r);
    w.edtG->SetValue(p.Color.g);
    w.edtB->SetValue(p.Color.b);
    p.PreviewChanged();

    const int result = p.services_.runModal ? p.services_.runModal(*w.form) : w.form->exec();
    p.ContrastColor = w.contrast->ChosenSecond();
    if (result != QDialog::Accepted) return false;
    p.Color = w.preview->ColorValue();
    for (int n = 1; n <= grid::CustomSlotCount; ++n)
        p.CustomColors[static_cast<size_t>(n - 1)] = w.customGrid->Slot(n);
    p.CustomColorNext = w.customGrid->NextSlot();
    return true;
}

bool TbsSkinColorDialog::eventFilter(QObject* watched, QEvent* event) {
    const std::unique_ptr<Window>& w_ = d->w_;
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

void TbsSkinColorDialog::Private::SetHSVEdits(TRGB c) {
    const HSVValues v = RGBToHSV(c.r, c.g, c.b);
    // A grey has no hue: the H edit keeps what it shows, which a saturation
    // of 0 ignores anyway.
    if (v.H) w_->edtH->SetValue(*v.H);
    w_->edtS->SetValue(v.S);
    w_->edtL->SetValue(v.L);
}

void TbsSkinColorDialog::Private::UpdateWheel(TRGB c) {
    w_->wheel->UpdateWheel(c);
}

void TbsSkinColorDialog::Private::RGBEditsChanged() {
    if (LockRGB || !w_) return;
    const TRGB c{static_cast<uint8_t>(w_->edtR->Value()), static_cast<uint8_t>(w_->edtG->Value()),
                 static_cast<uint8_t>(w_->edtB->Value())};
    w_->preview->SetColorValue(c);
    FlagScope lock(LockHSV);
    SetHSVEdits(c);
    if (!FromWheel) UpdateWheel(c);
}

void TbsSkinColorDialog::Private::HSVEditsChanged() {
    if (LockHSV || !w_) return;
    const TRGB rgb = HSVToRGB(w_->edtH->Value(), w_->edtS->Value(), w_->edtL->Value());
    w_->preview->SetColorValue(rgb);
    FlagScope lock(LockRGB);
    w_->edtR->SetValue(rgb.r);
    w_->edtG->SetValue(rgb.g);
    w_->edtB->SetValue(rgb.b);
    if (!FromWheel) UpdateWheel(rgb);
}

void TbsSkinColorDialog::Private::GridChanged(TRGB c) {
    {
        FlagScope lock(LockRGB);
        w_->edtR->SetValue(c.r);
        w_->edtG->SetValue(c.g);
        w_->edtB->SetValue(c.b);
    }
    w_->preview->SetColorValue(c);
    FlagScope lock(LockHSV);
    SetHSVEdits(c);
    if (!FromWheel) UpdateWheel(c);
}

void TbsSkinColorDialog::Private::BasicGridChanged() {
    if (w_) GridChanged(w_->basicGrid->ColorValue());
}

void TbsSkinColorDialog::Private::CustomGridChanged() {
    if (w_) GridChanged(w_->customGrid->ColorValue());
}

void TbsSkinColorDialog::Private::WheelToRGBEdits() {
    if (!w_) return;
    FlagScope fromWheel(FromWheel);
    w_->edtR->SetValue(wheelColor_.Red());
    w_->edtG->SetValue(wheelColor_.Green());
    w_->edtB->SetValue(wheelColor_.Blue());
}

void TbsSkinColorDialog::Private::AddButtonClick() {
    if (w_) w_->customGrid->AddColor(w_->preview->ColorValue());
}

void TbsSkinColorDialog::Private::PreviewChanged() {
    if (!w_ || !w_->contrast) return;
    const TRGB c = w_->preview->ColorValue();
    w_->contrast->SetColor(c);
    const QString code = QString::fromStdString(HexCode(c));
    if (!FromCode && w_->edtCode->text() != code) w_->edtCode->setText(code);
}

void TbsSkinColorDialog::Private::CodeEdited() {
    if (!w_) return;
    // Six digits make a colour; fewer change nothing yet.
    const auto c = ParseHexCode(w_->edtCode->text().toStdString());
    if (!c) return;
    FlagScope fromCode(FromCode);
    GridChanged(*c);
}

void TbsSkinColorDialog::Private::CodePasted(TRGB c) {
    if (!w_) return;
    GridChanged(c);
    // The same colour pasted again still shows as its code.
    PreviewChanged();
}

} // namespace tp
