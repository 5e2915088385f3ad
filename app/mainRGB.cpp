#include "app/mainRGB.h"

#include "app/TrayIcon.h"
#include "app/mainRGB_p.h"
#include "base/AppInfo.h"
#include "base/Convert.h"
#include "colour/CodeEdit.h"
#include "colour/ColorDialog.h"
#include "colour/ColorText.h"
#include "colour/Contrast.h"
#include "colour/Swatch.h"
#include "colour/TrackEdit.h"
#include "history/DrawGrid.h"
#include "history/HistoryFile.h"
#include "library/MessageBox.h"
#include "library/PaletteIo.h"
#include "library/SaveInfo.h"
#include "library/ViewColor.h"
#include "library/dm.h"
#include "platform/Clipboard.h"
#include "platform/ErrorReporter.h"
#include "platform/ScreenSource.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "sampling/Display.h"
#include "sampling/Magnifier.h"
#include "sampling/MagnifierGeometry.h"
#include "sampling/PickOverlay.h"
#include "skin/Controls.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>
#include <cmath>

namespace tp {

namespace {

// Marks a write of the views from the current colour for its duration.
class WritingScope {
public:
    explicit WritingScope(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~WritingScope() { flag_ = was_; }
    WritingScope(const WritingScope&) = delete;
    WritingScope& operator=(const WritingScope&) = delete;

private:
    bool& flag_;
    bool was_;
};

constexpr int ClientWidth = 349;
constexpr int ClientHeight = 179;

TbsSkinButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                          const QString& hint, int l, int t, int w, int h) {
    auto* b = new TbsSkinButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    Place(b, l, t, w, h);
    return b;
}

// The hexadecimal code is the program's main readout, so every one of its six
// digits must show. The design's 48 pixels hold only five of the widest digit
// at the edits' font, so the edit takes what it needs of the room up to
// `rightLimit` (in its parent), and where even that is too little its font
// steps down until the widest code fits. Measured with the font's own metrics,
// as each desktop's fonts differ.
void FitCodeEdit(QLineEdit* edit, int rightLimit) {
    edit->ensurePolished();
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.rect = QRect(QPoint(0, 0), QSize(rightLimit - edit->x(), edit->height()));
    opt.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit);
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
    // QLineEdit keeps 2 pixels between that area and the text on either side
    // and scrolls once the text and a 1-pixel cursor do not fit between them.
    constexpr int innerMargin = 2, cursor = 1;
    const int frame = opt.rect.width() - contents.width();
    QFont font = edit->font();
    int needed = 0;
    for (int px = font.pixelSize(); px > 0; --px) {
        font.setPixelSize(px);
        const QFontMetricsF m(font);
        qreal widest = 0;
        for (const QChar c : QStringLiteral("0123456789ABCDEFabcdef"))
            widest = std::max(widest, m.horizontalAdvance(QString(6, c)));
        needed = static_cast<int>(std::ceil(widest)) + cursor + 2 * innerMargin + frame;
        if (needed <= opt.rect.width()) break;
    }
    edit->setFont(font);
    edit->resize(std::min(std::max(needed, edit->width()), opt.rect.width()), edit->height());
}
} // namespace

TfrmMain::Private::Private(TfrmMain* window, const Services& services)
    : q(window), services_(services) {}

TfrmMain::TfrmMain(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      d(std::make_unique<Private>(this, services)) {
    setObjectName(QStringLiteral("frmMain"));
    d->bsfMain = new TbsBusinessSkinForm(this, *services.skin,
                                         TbsBusinessSkinForm::SystemMenuIcon |
                                             TbsBusinessSkinForm::MinimizeIcon |
                                             TbsBusinessSkinForm::CloseIcon);
    d->bsfMain->setObjectName(QStringLiteral("bsfMain"));
    d->bsfMain->setClientSize(ClientWidth, ClientHeight);
    d->msgAlert = new TbsSkinMessage(*services.skin, this);
    d->msgAlert->setObjectName(QStringLiteral("msgAlert"));
    // The library's windows ask their questions in the box they are given,
    // and run modally the way they are given.
    if (!d->services_.messageBox) d->services_.messageBox = d->msgAlert;
    if (!d->services_.runModal) d->services_.runModal = ExecDialog;
    d->buildComponents();
    d->buildActions();
    d->FormCreate();
}

TfrmMain::~TfrmMain() {
    // The components' signals reach the private part, which goes before
    // QWidget deletes its children: they go first.
    const QObjectList parts = children();
    qDeleteAll(parts);
}

TRGB TfrmMain::CurrentColour() const {
    return d->CurrentRGB;
}

void TfrmMain::TakeColour(TRGB c) {
    d->TakeColour(c);
    d->copyPicked(c);
}

const HistoryRing& TfrmMain::History() const {
    return d->History;
}

void TfrmMain::ComeForward() {
    d->bsTrayIcon1->restoreFromTray();
}

bool TfrmMain::IsClosed() const {
    return d->closed_;
}

template <class F> void TfrmMain::Private::guarded(F&& f) {
    Guarded(*services_.errors, std::forward<F>(f));
}

void TfrmMain::Private::buildComponents() {
    QWidget* client = bsfMain->client();
    QFont editFont(QStringLiteral("Arial"));
    editFont.setPixelSize(12);

    bsSkinGroupBox1 = new TbsSkinGroupBox(QStringLiteral("手工调色"), client);
    bsSkinGroupBox1->setObjectName(QStringLiteral("bsSkinGroupBox1"));
    Place(bsSkinGroupBox1, 4, 2, 200, 141);
    QWidget* g1 = bsSkinGroupBox1;

    auto label = [](QWidget* parent, const char* name, const QString& caption, int l, int t, int w,
                    int h) {
        auto* lb = new TbsSkinStdLabel(caption, parent);
        lb->setObjectName(QString::fromLatin1(name));
        Place(lb, l, t, w, h);
        return lb;
    };
    auto channelEdit = [&](const char* name, int l, int t, int w, int h) {
        auto* e = new TbsSkinTrackEdit(services_, g1);
        e->setObjectName(QString::fromLatin1(name));
        e->SetMinValue(0);
        e->SetMaxValue(255);
        e->TrackBarWidth = 128;
        e->setFont(editFont);
        Place(e, l, t, w, h);
        return e;
    };
    bsSkinStdLabel1 = label(g1, "bsSkinStdLabel1", QStringLiteral("R"), 6, 27, 23, 13);
    edtR = channelEdit("edtR", 16, 23, 49, 20);
    bsSkinStdLabel2 = label(g1, "bsSkinStdLabel2", QStringLiteral("G"), 70, 27, 23, 13);
    edtG = channelEdit("edtG", 81, 23, 48, 20);
    bsSkinStdLabel3 = label(g1, "bsSkinStdLabel3", QStringLiteral("B"), 136, 27, 23, 13);
    edtB = channelEdit("edtB", 145, 23, 48, 20);
    bsSkinStdLabel4 = label(g1, "bsSkinStdLabel4", QStringLiteral("十六进制     #"), 7, 54, 74, 13);

    edtHC = new TCodeEdit(services_, g1);
    edtHC->setText(QStringLiteral("FFFFFF"));
    edtHC->setObjectName(QStringLiteral("edtHC"));
    edtHC->setMaxLength(6);
    edtHC->setToolTip(QStringLiteral("输入十六进制颜色值"));
    edtHC->setFont(editFont);
    Place(edtHC, 81, 50, 48, 20);
    bsSkinButton7 = makeButton(g1, "bsSkinButton7", QStringLiteral("复制"),
                               QStringLiteral("复制到剪贴板"), 143, 49, 50, 22);
    FitCodeEdit(edtHC, bsSkinButton7->x() - 2);

    bsSkinPanel1 = new TbsSkinPanel(TbsSkinPanel::Bevel::Flat, g1);
    bsSkinPanel1->setObjectName(QStringLiteral("bsSkinPanel1"));
    Place(bsSkinPanel1, 7, 76, 186, 25);
    sdgHistory = new TbsSkinDrawGrid(bsSkinPanel1);
    sdgHistory->setObjectName(QStringLiteral("sdgHistory"));
    sdgHistory->setToolTip(QStringLiteral("历史颜色存储槽\r\n记录采集过的颜色"));
    sdgHistory->setFocusPolicy(Qt::StrongFocus);
    sdgHistory->ColCount = HistoryColCount;
    sdgHistory->RowCount = HistoryRowCount;
    sdgHistory->DefaultColWidth = 21;
    sdgHistory->DefaultRowHeight = 8;
    sdgHistory->GridLineColor = QColor(0xC0, 0xDC, 0xC0); // clMoneyGreen
    Place(sdgHistory, 6, 4, 176, 18);

    bsSkinButton8 =
        makeButton(g1, "bsSkinButton8", QStringLiteral("安全色"), QString(), 7, 108, 52, 25);
    bsSkinButton8->setCursor(Qt::ArrowCursor);
    bsSkinButton2 = makeButton(g1, "bsSkinButton2", QStringLiteral("高级"),
                               QStringLiteral("打开高级调色板"), 64, 108, 39, 25);
    bsSkinButton3 = makeButton(g1, "bsSkinButton3", QStringLiteral("保存"),
                               QStringLiteral("保存当前颜色到库中"), 109, 108, 39, 25);
    bsSkinButton4 = makeButton(g1, "bsSkinButton4", QStringLiteral("加载"),
                               QStringLiteral("从颜色库中加载颜色信息"), 154, 108, 39, 25);

    gpSnag = new TbsSkinGroupBox(QStringLiteral("自动采集"), client);
    gpSnag->setObjectName(QStringLiteral("gpSnag"));
    Place(gpSnag, 208, 2, 137, 142);
    pbCaptureScreen = new TPaintBox(gpSnag);
    pbCaptureScreen->setObjectName(QStringLiteral("pbCaptureScreen"));
    Place(pbCaptureScreen, 4, 21, 128, 96);
    lblMousePos = new QLabel(QStringLiteral("X：0 , Y：0"), gpSnag);
    lblMousePos->setObjectName(QStringLiteral("lblMousePos"));
    lblMousePos->setAlignment(Qt::AlignCenter);
    Place(lblMousePos, 5, 122, 97, 13);
    pnlColor = new TbsSkinPanel(TbsSkinPanel::Bevel::Raised, gpSnag);
    pnlColor->setObjectName(QStringLiteral("pnlColor"));
    Place(pnlColor, 96, 104, 36, 34);
    lblColor = new ColorSwatch(QStringLiteral("取色"), pnlColor);
    lblColor->setObjectName(QStringLiteral("lblColor"));
    lblColor->setCursor(Qt::CrossCursor);
    Place(lblColor, 1, 1, 34, 32);

    lblLink = new TbsSkinLinkLabel(QStringLiteral("<u>%1</u>").arg(QString::fromUtf8(MakerCredit)),
                                   client);
    lblLink->setObjectName(QStringLiteral("lblLink"));
    Place(lblLink, 11, 154, 136, 17);
    connect(lblLink, &TbsSkinLinkLabel::clicked, q,
            [this] { guarded([this] { lblLinkClick(); }); });

    bsSkinButton11 = makeButton(client, "bsSkinButton11", QStringLiteral("测距"),
                                QStringLiteral("测量距离"), 147, 149, 45, 25);
    bsSkinButton6 = makeButton(client, "bsSkinButton6", QStringLiteral("资料"),
                               QStringLiteral("标准颜色表"), 197, 149, 45, 25);
    bsSkinButton5 = makeButton(client, "bsSkinButton5", QStringLiteral("关于"),
                               QStringLiteral("关于本软件"), 247, 149, 45, 25);
    bsSkinButton1 = makeButton(client, "bsSkinButton1", QStringLiteral("退出"),
                               QStringLiteral("退出软件"), 298, 149, 45, 25);

    // The swatch panel is drawn over the magnifier's lower right corner.
    pnlColor->raise();

    QWidget::setTabOrder(bsSkinButton1, bsSkinButton2);
    QWidget* chain[] = {bsSkinButton2, edtR,          edtG,          edtB,          sdgHistory,
                        edtHC,         bsSkinButton7, bsSkinButton8, bsSkinButton4, bsSkinButton3,
                        bsSkinButton5, bsSkinButton6, bsSkinButton11};
    for (size_t i = 0; i + 1 < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);

    connect(edtR, &TbsSkinTrackEdit::changed, q, [this] { edtRChange(); });
    connect(edtG, &TbsSkinTrackEdit::changed, q, [this] { edtGChange(); });
    connect(edtB, &TbsSkinTrackEdit::changed, q, [this] { edtBChange(); });
    connect(edtHC, &QLineEdit::textChanged, q, [this] { guarded([this] { edtHCChange(); }); });
    connect(edtHC, &TCodeEdit::colorPasted, q,
            [this](TRGB c) { guarded([&] { edtHCPasteColor(c); }); });
    edtHC->installEventFilter(q);
    connect(bsSkinButton8, &QPushButton::clicked, q,
            [this] { guarded([this] { bsSkinButton8Click(); }); });
    connect(bsSkinButton7, &QPushButton::clicked, q,
            [this] { guarded([this] { bsSkinButton7Click(); }); });
    bsSkinButton7->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bsSkinButton7, &QWidget::customContextMenuRequested, q, [this](QPoint at) {
        QMenu* menu = CopyFormatMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(bsSkinButton7->mapToGlobal(at));
    });
    connect(bsSkinButton1, &QPushButton::clicked, q, [this] { bsSkinButton1Click(); });
    connect(bsSkinButton11, &QPushButton::clicked, q,
            [this] { guarded([this] { bsSkinButton11Click(); }); });
    connect(bsSkinButton3, &QPushButton::clicked, q,
            [this] { guarded([this] { bsSkinButton3Click(); }); });
    connect(bsSkinButton4, &QPushButton::clicked, q,
            [this] { guarded([this] { bsSkinButton4Click(); }); });
    connect(bsSkinButton5, &QPushButton::clicked, q,
            [this] { guarded([this] { bsSkinButton5Click(); }); });
    connect(bsSkinButton6, &QPushButton::clicked, q,
            [this] { guarded([this] { bsSkinButton6Click(); }); });

    cdlgSelect = new TbsSkinColorDialog(services_, q);
    cdlgSelect->setObjectName(QStringLiteral("cdlgSelect"));
    cdlgSelect->SetCaption(QStringLiteral("高级调色板"));
    cdlgSelect->SetSkinData(services_.skin, services_.skin);
    connect(bsSkinButton2, &QPushButton::clicked, q,
            [this] { guarded([this] { bsSkinButton2Click(); }); });

    connect(lblColor, &ColorSwatch::pressed, q,
            [this](QMouseEvent* e) { guarded([&] { pnlColorMouseDown(e); }); });
    connect(lblColor, &ColorSwatch::moved, q,
            [this](QMouseEvent* e) { guarded([&] { pnlColorMouseMove(e); }); });
    connect(lblColor, &ColorSwatch::released, q,
            [this](QMouseEvent* e) { guarded([&] { pnlColorMouseUp(e); }); });
    lblColor->installEventFilter(q);
    pbCaptureScreen->SetPainter([this](QPainter& p) { pbCaptureScreenPaint(p); });
    sdgHistory->OnDrawCell = [this](QPainter& p, int c, int r, const QRect& rect, int state) {
        sdgHistoryDrawCell(p, c, r, rect, state);
    };
    sdgHistory->OnSelectCell = [this](int c, int r, bool& can) {
        guarded([&] { sdgHistorySelectCell(c, r, can); });
    };
    // Each cell names its code above the grid's own hint.
    sdgHistory->OnCellHint = [this](int c, int r) {
        const TRGB slot =
            History.HistorySlots[static_cast<size_t>(WrapSlot(r * HistoryColCount + c))];
        return QString::fromStdString(HexCode(slot)) + QLatin1Char('\n') + sdgHistory->toolTip();
    };
    // The right button on the history: every pick into the library at once.
    mnuHistory = new QMenu(q);
    mnuHistory->setObjectName(QStringLiteral("mnuHistory"));
    QAction* toLibrary = mnuHistory->addAction(QStringLiteral("全部存入颜色库"));
    toLibrary->setObjectName(QStringLiteral("aHistoryToLibrary"));
    connect(toLibrary, &QAction::triggered, q,
            [this] { guarded([this] { aHistoryToLibraryExecute(); }); });
    connect(mnuHistory, &QMenu::aboutToShow, q,
            [this, toLibrary] { toLibrary->setEnabled(!HistoryPicks(History).empty()); });
    sdgHistory->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sdgHistory, &QWidget::customContextMenuRequested, q,
            [this](QPoint at) { mnuHistory->popup(sdgHistory->mapToGlobal(at)); });
}

void TfrmMain::Private::FormCreate() {
    q->setWindowTitle(QStringLiteral("Tintpick V%1").arg(QString::fromUtf8(AppVersionText)));
    CurrentRGB = {255, 255, 255};
    edtR->SetValue(255);
    edtG->SetValue(255);
    edtB->SetValue(255);
    History = HistoryRing{};
    if (services_.settings) {
        const QString key = services_.settings->value(QStringLiteral("copy/format"));
        if (const auto f = CopyFormatFromKey(key.toStdString())) CopyAs = *f;
    }
    // Three lines; Qt breaks a hint at line feeds only, never at a bare
    // carriage return.
    lblColor->setToolTip(
        QStringLiteral("在这里按下鼠标左键并拖动\n到想要吸取的颜色区域,\n确定后松开鼠标"));
    lblLink->setToolTip(QString::fromUtf8(MakerHint));
    ZoomBitmap = NewZoomBitmap();
    bsTrayIcon1->setIconVisible(true);
    LoadHistory();
    q->move(0, 0);
    RefreshViews();
}

// ---- views -----------------------------------------------------------------

// The colour goes one way, from CurrentRGB into the views: what a view's
// change handler would take back from a write is what was written.
void TfrmMain::Private::RefreshViews() {
    const WritingScope writing(WritingViews);
    RefreshChannelEdits();
    RefreshSwatch();
    RefreshHexCode();
}

void TfrmMain::Private::RefreshChannelEdits() {
    const WritingScope writing(WritingViews);
    if (edtR->Value() != CurrentRGB.r) edtR->SetValue(CurrentRGB.r);
    if (edtG->Value() != CurrentRGB.g) edtG->SetValue(CurrentRGB.g);
    if (edtB->Value() != CurrentRGB.b) edtB->SetValue(CurrentRGB.b);
}

void TfrmMain::Private::RefreshSwatch() {
    lblColor->setColor(CurrentRGB);
}

void TfrmMain::Private::RefreshHexCode() {
    const WritingScope writing(WritingViews);
    const QString code = QString::fromStdString(HexCode(CurrentRGB));
    if (edtHC->text() != code) edtHC->setText(code);
}

void TfrmMain::Private::ApplyPickedColor() {
    const WritingScope writing(WritingViews);
    CurrentRGB = PickedColor;
    edtR->setText(QString::number(CurrentRGB.r));
    edtG->setText(QString::number(CurrentRGB.g));
    edtB->setText(QString::number(CurrentRGB.b));
}

void TfrmMain::Private::TakePicked(TRGB c) {
    PickedColor = c;
    ApplyPickedColor();
    RefreshViews();
}

void TfrmMain::Private::channelChanged(TbsSkinTrackEdit* edit, uint8_t TRGB::*channel) {
    if (WritingViews) return;
    const int v = edit->Value();
    if (v == CurrentRGB.*channel) return;
    CurrentRGB.*channel = static_cast<uint8_t>(v);
    RefreshSwatch();
    RefreshHexCode();
}

void TfrmMain::Private::edtRChange() {
    channelChanged(edtR, &TRGB::r);
}
void TfrmMain::Private::edtGChange() {
    channelChanged(edtG, &TRGB::g);
}
void TfrmMain::Private::edtBChange() {
    channelChanged(edtB, &TRGB::b);
}

void TfrmMain::Private::bsSkinButton2Click() {
    cdlgSelect->SetColor(CurrentRGB);
    cdlgSelect->SetHistoryColors({History.HistorySlots.begin(), History.HistorySlots.end()});
    if (!cdlgSelect->Execute()) return;
    TakePicked(cdlgSelect->Color());
}

void TfrmMain::Private::edtHCChange() {
    if (WritingViews) return;
    const QString t = edtHC->text();
    if (t.size() != 6) return;
    // The code is taken whole or not at all: six characters that are no
    // code (only a paste or a drop brings them) leave the colour as it was
    // and the edit shows the colour's code again.
    const auto c = ParseHexCode(t.toStdString());
    if (!c) {
        RefreshHexCode();
        throw Error(NotAColorMessage(t.toStdString()));
    }
    CurrentRGB = *c;
    RefreshChannelEdits();
    RefreshSwatch();
}

void TfrmMain::Private::edtHCPasteColor(TRGB c) {
    CurrentRGB = c;
    RefreshViews();
}

bool TfrmMain::Private::edtHCKeyPress(QChar ch) {
    const char16_t c = ch.unicode();
    const bool pass = c == 8 || c == 13 || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') ||
                      (c >= u'a' && c <= u'f');
    return !pass;
}

void TfrmMain::Private::bsSkinButton8Click() {
    CurrentRGB = WebSafe(CurrentRGB);
    RefreshViews();
}

void TfrmMain::Private::bsSkinButton7Click() {
    if (CopyAs == CopyFormat::Bare) {
        // The bare code is copied as the edit shows it, also while a code
        // is half typed.
        edtHC->selectAll();
        services_.clipboard->setText(edtHC->selectedText());
        return;
    }
    services_.clipboard->setText(QString::fromStdString(FormatColor(CurrentRGB, CopyAs)));
}

QMenu* TfrmMain::Private::CopyFormatMenu() {
    auto* menu = new QMenu(q);
    menu->setObjectName(QStringLiteral("CopyFormatMenu"));
    auto* group = new QActionGroup(menu);
    for (const CopyFormatInfo& f : CopyFormats()) {
        const QString shown = QString::fromStdString(FormatColor(CurrentRGB, f.format));
        QAction* a = menu->addAction(QString::fromUtf8(f.label) + QLatin1Char('\t') + shown);
        a->setCheckable(true);
        a->setChecked(f.format == CopyAs);
        a->setData(QString::fromLatin1(f.key));
        group->addAction(a);
        const CopyFormat format = f.format;
        connect(a, &QAction::triggered, q, [this, format] {
            guarded([&] {
                SetCopyFormat(format);
                bsSkinButton7Click();
            });
        });
    }
    // The contrast against the colour dialog's second colour, as a line for
    // a report; the copy format stays as it was.
    menu->addSeparator();
    const TRGB back = cdlgSelect->ContrastColor().value_or(StrongerOfBlackAndWhite(CurrentRGB));
    const QString report = QString::fromStdString(ContrastReport(CurrentRGB, back));
    QAction* contrast = menu->addAction(QStringLiteral("对比度\t") + report);
    contrast->setData(QStringLiteral("contrast"));
    connect(contrast, &QAction::triggered, q,
            [this, report] { services_.clipboard->setText(report); });
    return menu;
}

void TfrmMain::Private::SetCopyFormat(CopyFormat f) {
    CopyAs = f;
    if (services_.settings)
        services_.settings->setValue(QStringLiteral("copy/format"),
                                     QString::fromLatin1(CopyFormatOf(f).key));
}

void TfrmMain::Private::bsSkinButton1Click() {
    q->close();
}

void TfrmMain::Private::bsSkinButton11Click() {
    TfrmDisplay::Open(services_, q);
}

void TfrmMain::Private::bsSkinButton3Click() {
    LibraryHost host{q, services_, services_.messageBox, dmMain, services_.runModal, {}};
    SaveCurrentColor(host, CurrentRGB);
}

void TfrmMain::Private::bsSkinButton4Click() {
    LibraryHost host{q,      services_,          services_.messageBox,
                     dmMain, services_.runModal, HistoryPicks(History)};
    if (const auto loaded = BrowseLibrary(host)) {
        CurrentRGB = *loaded;
        RefreshViews();
    }
}

void TfrmMain::Private::aHistoryToLibraryExecute() {
    if (!dmMain) throw Error("The colour store is not available.");
    const ImportResult r = SaveHistoryColors(*dmMain, HistoryPicks(History));
    services_.messageBox->ShowMessageBox(HistorySaveSummary(r), mtInformation, mbOK, 0);
}

void TfrmMain::Private::lblLinkClick() {
    services_.shell->openUrl(QString::fromUtf8(MakerUrl));
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (watched == d->edtHC) return d->codeKeyFilter(ke);
        if (watched == d->lblColor && d->Capturing) return d->swatchKeyDuringPick(ke);
    }
    return QWidget::eventFilter(watched, event);
}

bool TfrmMain::Private::codeKeyFilter(QKeyEvent* ke) {
    // Only typed characters are filtered. The keys that edit come with a
    // control character or with none (Ctrl+V brings "\x16", Ctrl+A "\x01",
    // Delete DEL, the arrows and Shift+Insert nothing), and Tab moves the
    // focus: they all reach the edit and its own shortcuts.
    const QString typed = ke->text();
    if (typed.isEmpty()) return false;
    const char16_t c = typed.at(0).unicode();
    if (c < 0x20 || c == 0x7F) return false;
    return edtHCKeyPress(typed.at(0));
}

bool TfrmMain::Private::swatchKeyDuringPick(QKeyEvent* ke) {
    if (ke->key() == Qt::Key_Escape) {
        guarded([this] { CancelPick(); });
        return true;
    }
    const int step = (ke->modifiers() & Qt::ShiftModifier) ? 10 : 1;
    int dx = 0, dy = 0;
    switch (ke->key()) {
    case Qt::Key_Left:
        dx = -step;
        break;
    case Qt::Key_Right:
        dx = step;
        break;
    case Qt::Key_Up:
        dy = -step;
        break;
    case Qt::Key_Down:
        dy = step;
        break;
    default:
        return false;
    }
    guarded([&] { NudgeCursor(dx, dy); });
    return true;
}

void TfrmMain::Private::FormClose() {
    SaveHistory();
}

void TfrmMain::SessionEnding() {
    if (!d->closed_) d->SaveHistory();
}

void TfrmMain::closeEvent(QCloseEvent* e) {
    if (!d->closed_) {
        d->closed_ = true;
        d->FormClose();
    }
    e->accept();
    // Closing the main window ends the program, whatever else is open.
    QCoreApplication::quit();
}

// ---- eyedropper ------------------------------------------------------------

void TfrmMain::Private::pnlColorMouseDown(QMouseEvent*) {
    ScreenSource* screen = services_.screen;
    if (!screen) return;
    dragCancelled_ = false;
    const QString why = screen->unavailableReason();
    if (!why.isEmpty()) {
        // Say so instead of sampling black from a desktop that hides itself.
        services_.errors->showMessage(why);
        return;
    }
    // The overlay pick starts at the release, so that the overlay gets the
    // pointer from its first move rather than the swatch holding it.
    if (screen->picksOnOverlay()) return;
    // A second button pressed during a drag lands here again: the grab and
    // the screen already held are reused, never taken twice.
    if (!Capturing) {
        if (!screen->live()) {
            // This reader sees the desktop only in the pictures it takes:
            // the drag reads the one taken now.
            FreezeResult f = screen->freezeDesktop(true);
            if (f.pickedColour) {
                dragCancelled_ = true; // the release has nothing left to push
                TakeColour(FromQRgb(*f.pickedColour));
                return;
            }
            if (!f.frame) {
                dragCancelled_ = true;
                services_.errors->showMessage(f.error);
                return;
            }
        }
        beforeDrag_ = rememberPick();
        lblColor->grabMouse(Qt::CrossCursor);
        lblColor->grabKeyboard();
    }
    ScreenDC = screen;
    Capturing = true;
}

void TfrmMain::Private::pnlColorMouseMove(QMouseEvent* e) {
    if (!Capturing || !ScreenDC) return;
    // The cursor is read from the screen, not taken from the event: on a
    // scaled desktop the event holds only logical pixels. The event's
    // position serves as a hint so that the reader can fetch the cursor and
    // the area around it in one request.
    const auto s =
        ScreenDC->sampleAtCursor(e->globalPosition(), QSize(ZoomSrcWidth, ZoomSrcHeight));
    SampleAt(s.cursor, s.area, ScreenDC->covers(s.cursor));
}

void TfrmMain::Private::SampleAt(QPoint pos, const QImage& sample, bool onScreen) {
    lblMousePos->setText(QString::asprintf("X:%d ,Y:%d ", pos.x(), pos.y()));
    // One read serves both the pixel and the magnifier; the pixel is the
    // sample's centre, the cursor's own.
    // A pixel no monitor shows reads as white, like an unreadable one (all
    // bits set), but is stored as a proper colour so that the history
    // compares it equal to white.
    TRGB c{255, 255, 255};
    if (onScreen && sample.width() > ZoomHalfWidth && sample.height() > ZoomHalfHeight) {
        const QRgb px = sample.pixel(ZoomHalfWidth, ZoomHalfHeight);
        c = FromQRgb(px);
    }
    TakePicked(c);
    DrawZoom(ZoomBitmap, sample, InverseColor(CurrentRGB));
    pbCaptureScreen->update();
}

void TfrmMain::Private::NudgeCursor(int dx, int dy) {
    if (!Capturing || !ScreenDC) return;
    const QPoint to = ScreenDC->cursorPos() + QPoint(dx, dy);
    ScreenDC->setCursorPos(to);
    // Sample where the cursor was sent, whether or not the window system
    // reports the warp as a move.
    const QPoint at = ScreenDC->cursorPos();
    const PixRect src = ZoomSource({at.x(), at.y()});
    SampleAt(at, ScreenDC->grab(QRect(src.left, src.top, src.width, src.height)),
             ScreenDC->covers(at));
}

void TfrmMain::Private::pnlColorMouseUp(QMouseEvent*) {
    if (services_.screen && services_.screen->picksOnOverlay() && !Capturing) {
        if (!dragCancelled_) StartOverlayPick();
        dragCancelled_ = false;
        return;
    }
    if (Capturing) {
        lblColor->releaseKeyboard();
        lblColor->releaseMouse();
    }
    ScreenDC = nullptr;
    Capturing = false;
    if (dragCancelled_) {
        dragCancelled_ = false;
        return;
    }
    PushHistory(PickedColor);
}

TfrmMain::Private::BeforePick TfrmMain::Private::rememberPick() const {
    return {CurrentRGB, PickedColor, ZoomBitmap, lblMousePos->text()};
}

void TfrmMain::Private::restorePick(const BeforePick& before) {
    PickedColor = before.picked;
    CurrentRGB = before.current;
    RefreshViews();
    if (!before.zoom.isNull()) ZoomBitmap = before.zoom;
    lblMousePos->setText(before.position);
    pbCaptureScreen->update();
}

void TfrmMain::Private::CancelPick() {
    if (!Capturing) return;
    lblColor->releaseKeyboard();
    lblColor->releaseMouse();
    ScreenDC = nullptr;
    Capturing = false;
    dragCancelled_ = true;
    restorePick(beforeDrag_);
}

void TfrmMain::Private::TakeColour(TRGB c) {
    if (Capturing || Overlay) {
        PushHistory(c);
        return;
    }
    TakePicked(c);
    // The magnifier and the position spoke of the last drag; this colour
    // comes from a place they never saw.
    ZoomBitmap = NewZoomBitmap();
    lblMousePos->setText(QStringLiteral("X：0 , Y：0"));
    pbCaptureScreen->update();
    PushHistory(PickedColor);
}

void TfrmMain::Private::StartOverlayPick() {
    startOverlayPick(false);
}

void TfrmMain::Private::StartShortcutPick() {
    startOverlayPick(true);
}

void TfrmMain::Private::copyPicked(TRGB c) {
    services_.clipboard->setText(QString::fromStdString(FormatColor(c, CopyAs)));
}

void TfrmMain::Private::startOverlayPick(bool copy) {
    ScreenSource* screen = services_.screen;
    if (Overlay || Capturing || !screen) return;
    const QString why = screen->unavailableReason();
    if (!why.isEmpty()) {
        services_.errors->showMessage(why);
        return;
    }
    FreezeResult f = screen->freezeDesktop(true);
    if (f.pickedColour) {
        const TRGB c = FromQRgb(*f.pickedColour);
        TakeColour(c);
        if (copy) copyPicked(c);
        return;
    }
    if (!f.frame) {
        services_.errors->showMessage(f.error);
        return;
    }
    const BeforePick before = rememberPick();
    Overlay = new TPickOverlay(std::move(*f.frame), q);
    Overlay->setObjectName(QStringLiteral("PickOverlay"));
    connect(Overlay, &TPickOverlay::sampled, q,
            [this](QPoint p, bool onScreen, const QImage& area) {
                guarded([&] { SampleAt(p, area, onScreen); });
            });
    // The click samples where it lands, then pushes like a drag's release.
    connect(Overlay, &TPickOverlay::picked, q, [this, copy](QPoint, TRGB c) {
        guarded([&] {
            PushHistory(c);
            if (copy) copyPicked(c);
        });
    });
    connect(Overlay, &TPickOverlay::cancelled, q,
            [this, before] { guarded([&] { restorePick(before); }); });
    connect(Overlay, &TPickOverlay::finished, q, [this] {
        if (Overlay) Overlay->deleteLater();
        Overlay = nullptr;
    });
    Overlay->show();
}

void TfrmMain::Private::pbCaptureScreenPaint(QPainter& p) {
    p.drawImage(0, 0, ZoomBitmap);
}

// ---- history ---------------------------------------------------------------

void TfrmMain::Private::PushHistory(TRGB c) {
    const auto written = History.Push(c);
    if (!written) return;
    if (const auto cell = SelectionAfterPush({sdgHistory->Col(), sdgHistory->Row()}, *written)) {
        {
            // The grid moves by program: its select-cell event has nothing
            // to choose, the colour is set once below.
            const WritingScope writing(WritingViews);
            sdgHistory->SetCol(cell->col);
            sdgHistory->SetRow(cell->row);
        }
        CurrentRGB = History.HistorySlots[static_cast<size_t>(*written)];
        RefreshViews();
    }
    sdgHistory->update();
}

void TfrmMain::Private::sdgHistoryDrawCell(QPainter& p, int col, int row, const QRect& rect,
                                           int state) {
    const int i = WrapSlot(row * HistoryColCount + col);
    const TRGB slot = History.HistorySlots[static_cast<size_t>(i)];
    p.fillRect(rect, QColor(slot.r, slot.g, slot.b));
    const TRGB ink = InverseColor(slot);
    if (state & TbsSkinDrawGrid::gdFocused) {
        // The keyboard's place in the grid: a dotted frame inside the cell.
        p.setPen(QPen(QColor(ink.r, ink.g, ink.b), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (state & TbsSkinDrawGrid::gdSelected) {
        p.setPen(QColor(ink.r, ink.g, ink.b));
        p.setFont(sdgHistory->font());
        p.drawText(QRect(rect.left() + 9, rect.top() - 4, 32, 32), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("+"));
    }
}

void TfrmMain::Private::sdgHistorySelectCell(int col, int row, bool& canSelect) {
    canSelect = true;
    if (WritingViews) return;
    if (History.Select({col, row}, CurrentRGB)) RefreshViews();
}

namespace {
// Why the history file was left alone, or the system's reason, in words.
QString HistoryReason(const HistoryIo& io) {
    switch (io.refused) {
    case HistoryRefusal::SymbolicLink:
        return QStringLiteral("它是一个符号链接，写入它会改动链接所指向的文件");
    case HistoryRefusal::NotRegularFile:
        return QStringLiteral("它不是普通文件");
    case HistoryRefusal::None:
        break;
    }
    return QString::fromLocal8Bit(io.error.c_str());
}
} // namespace

void TfrmMain::Private::LoadHistory() {
    try {
        const std::string& path = services_.historyPath;
        const HistoryIo io = LoadHistoryFile(path, CurrentRGB, History);
        const QString shown = QString::fromStdString(path);
        // A file that is there but cannot be read (or must not be) is left
        // alone: saving would replace what it holds with this run's defaults.
        // A missing one that could not be made is only met again at the save.
        const bool present = io.refused != HistoryRefusal::None || QFileInfo::exists(shown);
        if (!io.ok && present) {
            historyUnreadable_ = true;
            services_.errors->showMessage(
                io.refused != HistoryRefusal::None
                    ? QStringLiteral(
                          "不使用历史颜色文件 %1：%2。\n本次运行既不读取也不写入它，它保持原样。")
                          .arg(shown, HistoryReason(io))
                    : QStringLiteral("无法读取历史颜色文件 "
                                     "%1：%2\n本次运行不会写入这个文件，以免覆盖其中的历史颜色。")
                          .arg(shown, HistoryReason(io)));
        } else if (io.decode.positionsWrapped) {
            services_.errors->showMessage(
                QStringLiteral(
                    "历史颜色文件 %1 中的写入位置超出 0 到 15，已按 16 取余；历史颜色均已保留。")
                    .arg(shown));
        }
    } catch (const std::exception& e) {
        services_.errors->showMessage(QString::fromUtf8(e.what()));
    }
}

void TfrmMain::Private::SaveHistory() {
    if (historyUnreadable_) return;
    QString failure;
    try {
        const std::string& path = services_.historyPath;
        const HistoryIo io = SaveHistoryFile(path, CurrentRGB, History);
        if (!io.ok)
            failure = QStringLiteral("无法保存历史颜色文件 %1：%2\n本次运行吸取的颜色没有保存。")
                          .arg(QString::fromStdString(path), HistoryReason(io));
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    // The save runs as the program ends, when no window can answer any more;
    // losing the picks without a word is the one thing it must not do.
    if (!failure.isEmpty() && !saveFailureReported_) {
        saveFailureReported_ = true;
        services_.errors->reportAtExit(failure);
    }
}

} // namespace tp
