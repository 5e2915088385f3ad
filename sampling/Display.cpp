#include "sampling/Display.h"

#include "platform/ErrorReporter.h"
#include "platform/ScreenSource.h"
#include "sampling/Magnifier.h"
#include "sampling/MagnifierGeometry.h"
#include "skin/Controls.h"
#include "skin/ExPanel.h"
#include "skin/SkinData.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <cmath>

namespace tp {

TfrmDisplay* frmDisplay = nullptr;

namespace {

QString PointText(PixPoint p) {
    return QStringLiteral("(%1,%2)").arg(p.x).arg(p.y);
}

PixelBuffer BufferOf(QImage& img) {
    if (img.isNull()) return {};
    return {reinterpret_cast<uint32_t*>(img.bits()), img.width(), img.height(),
            img.bytesPerLine() / 4};
}

} // namespace

TfrmDisplay::TfrmDisplay(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      services_(services) {
    setObjectName(QStringLiteral("frmDisplay"));
    setWindowTitle(QStringLiteral("测距"));
    if (services_.skin) setStyleSheet(services_.skin->styleSheet);
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // The frozen picture covers every pixel; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    buildComponents();
}

TfrmDisplay::~TfrmDisplay() {
    if (frmDisplay == this) frmDisplay = nullptr;
}

template <class F> void TfrmDisplay::guarded(F&& f) {
    if (services_.errors)
        Guarded(*services_.errors, std::forward<F>(f));
    else
        f();
}

void TfrmDisplay::buildComponents() {
    sepRuler = new TbsSkinExPanel(QStringLiteral("测距"), this);
    sepRuler->setObjectName(QStringLiteral("sepRuler"));
    Place(sepRuler, 0, 0, 252, 158);

    auto label = [this](const char* name, const QString& caption, int l, int t, int w, int h) {
        auto* lb = new TbsSkinStdLabel(caption, sepRuler);
        lb->setObjectName(QString::fromLatin1(name));
        Place(lb, l, t, w, h);
        return lb;
    };
    lblScreen = label("lblScreen", QString(), 11, 25, 232, 13);

    bsSkinBevel1 = new QFrame(sepRuler);
    bsSkinBevel1->setObjectName(QStringLiteral("bsSkinBevel1"));
    bsSkinBevel1->setFrameShape(QFrame::Panel);
    bsSkinBevel1->setFrameShadow(QFrame::Sunken);
    Place(bsSkinBevel1, 8, 43, 132, 106);

    auto* box = new TPaintBox(sepRuler);
    box->setObjectName(QStringLiteral("pbCaptureScreen"));
    // Until the first move the box shows the panel behind it.
    box->setAttribute(Qt::WA_OpaquePaintEvent, false);
    box->OnPaint = [this](QPainter& p) {
        if (magnifierDrawn_)
            p.drawImage(QRect(0, 0, pbCaptureScreen->width(), pbCaptureScreen->height()),
                        magnifier_);
    };
    pbCaptureScreen = box;
    Place(pbCaptureScreen, 9, 47, 128, 96);

    bsSkinStdLabel1 = label("bsSkinStdLabel1", QStringLiteral("坐标："), 145, 46, 73, 13);
    lblCurPos = label("lblCurPos", QStringLiteral("(0,0)"), 183, 46, 129, 13);
    bsSkinStdLabel2 = label("bsSkinStdLabel2", QStringLiteral("起点："), 145, 64, 65, 13);
    lblStartPos = label("lblStartPos", QStringLiteral("(0,0)"), 183, 64, 129, 13);
    bsSkinStdLabel5 = label("bsSkinStdLabel5", QStringLiteral("终点："), 145, 82, 41, 13);
    lblEndPos = label("lblEndPos", QStringLiteral("(0,0)"), 183, 82, 129, 13);
    bsSkinStdLabel6 = label("bsSkinStdLabel6", QStringLiteral("距离："), 145, 100, 65, 13);
    lblResult = label("lblResult", QStringLiteral("0"), 183, 100, 129, 13);
    // The captions are drawn under the values that overlap them.
    for (QWidget* value : {lblCurPos, lblStartPos, lblEndPos, lblResult})
        value->raise();

    bsSkinButton1 = new TbsSkinButton(QStringLiteral("结束"), sepRuler);
    bsSkinButton1->setObjectName(QStringLiteral("bsSkinButton1"));
    Place(bsSkinButton1, 179, 124, 57, 25);

    sepRuler->captionBar()->raise();
    connect(bsSkinButton1, &QPushButton::clicked, this,
            [this] { guarded([this] { bsSkinButton1Click(); }); });
    connect(sepRuler, &TbsSkinExPanel::closed, this,
            [this] { guarded([this] { sepRulerClose(); }); });
    // The magnifier is drawn by mouse moves only; a panel rolled down again
    // shows an empty one until the next move.
    connect(sepRuler, &TbsSkinExPanel::rolledDown, this, [this] { magnifierDrawn_ = false; });
}

void TfrmDisplay::Open(const Services& services, QWidget* windowToHide) {
    QString reason;
    if (!services.screen)
        reason = QStringLiteral("无法读取屏幕。");
    else
        reason = services.screen->unavailableReason();
    if (!reason.isEmpty()) {
        // A ruler over a blank picture would measure nothing the user sees.
        if (services.errors) services.errors->showError(reason);
        return;
    }
    if (windowToHide) windowToHide->hide();
    if (!frmDisplay) frmDisplay = new TfrmDisplay(services);
    frmDisplay->hiddenWindow_ = windowToHide;
    // A Wayland window cannot place itself; full screen is the one way to
    // cover the output (the picture then comes from the portal).
    if (services.screen && !services.screen->live())
        frmDisplay->showFullScreen();
    else
        frmDisplay->show();
    frmDisplay->raise();
    frmDisplay->activateWindow();
    frmDisplay->setFocus();
}

// ---- opening -----------------------------------------------------------------

qreal TfrmDisplay::pixelRatio() const {
    // The portal's picture has the output's own scale, which a Wayland
    // client may see rounded up to a whole number.
    if (services_.screen && !services_.screen->live() && width() > 0 && !snapshot_.isNull())
        return qreal(snapshot_.width()) / width();
    if (windowHandle()) return devicePixelRatioF();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->devicePixelRatio() : 1.0;
}

void TfrmDisplay::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // Qt sends this before the window is mapped, so the picture is taken
    // while the window is not yet on the screen.
    if (!e->spontaneous() && !snapshotReady_) guarded([this] { FormShow(); });
}

void TfrmDisplay::FormShow() {
    if (services_.screen && !services_.screen->live()) {
        // The portal's compositor must see the main window gone before it
        // takes the picture: wait with the event loop running, so that the
        // hiding reaches it.
        if (captureDelayMs_ > 0) {
            QEventLoop wait;
            QTimer::singleShot(captureDelayMs_, &wait, &QEventLoop::quit);
            wait.exec(QEventLoop::ExcludeUserInputEvents);
        }
        const FreezeResult f = services_.screen->freezeDesktop(false);
        if (!f.frame) {
            // Reported once the window is up, then it closes and the main
            // window comes back.
            QTimer::singleShot(0, this, [this, error = f.error] {
                if (services_.errors) services_.errors->showError(error);
                close();
            });
        }
        PrepareBuffers();
        CaptureScreen();
    } else {
        PrepareBuffers();
        if (captureDelayMs_ > 0) QThread::msleep(static_cast<unsigned long>(captureDelayMs_));
        CaptureScreen();
    }
    lblScreen->setText(
        QStringLiteral("当前屏幕分辨率：%1 × %2").arg(snapshot_.width()).arg(snapshot_.height()));
    snapshotReady_ = true;
}

void TfrmDisplay::PrepareBuffers() {
    if (QScreen* s = QGuiApplication::primaryScreen()) setGeometry(s->geometry());
    // Exactly the monitor's device pixels: a logical size rounded up on a
    // fractional scale would reach a row or column past the screen.
    if (services_.screen && windowHandle())
        services_.screen->fitWindow(windowHandle(), services_.screen->primaryRect());
    QSize device = services_.screen ? services_.screen->primaryRect().size() : QSize();
    if (device.isEmpty()) {
        const qreal r = pixelRatio();
        device = QSize(static_cast<int>(std::lround(width() * r)),
                       static_cast<int>(std::lround(height() * r)));
    }
    snapshot_ = QImage(device, QImage::Format_RGB32);
    snapshot_.fill(Qt::black);
    magnifier_ = QImage(ZoomWidth, ZoomHeight, QImage::Format_RGB32);
    magnifier_.fill(Qt::black);
    magnifierDrawn_ = false;
}

void TfrmDisplay::CaptureScreen() {
    if (services_.screen) {
        QImage grabbed = services_.screen->grab(services_.screen->primaryRect());
        // A capture that failed or came back another size leaves the
        // picture as it was created.
        if (grabbed.size() == snapshot_.size())
            snapshot_ = grabbed.convertToFormat(QImage::Format_RGB32);
    }
    shown_ = snapshot_.copy();
    lineShown_ = false;
}

// ---- painting ------------------------------------------------------------------

void TfrmDisplay::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    if (!snapshotReady_ || shown_.isNull()) {
        p.fillRect(e->rect(), Qt::black);
        return;
    }
    // One picture pixel per device pixel, whatever the scale factor; the
    // painter clips to the damaged area. A repaint shows the line too, so it
    // never counts as shown while gone.
    QImage view = shown_;
    view.setDevicePixelRatio(pixelRatio());
    p.drawImage(QPointF(0, 0), view);
}

void TfrmDisplay::repaintDeviceRect(PixRect d) {
    const qreal r = pixelRatio();
    const QRect logical = QRectF(d.left / r, d.top / r, d.width / r, d.height / r).toAlignedRect();
    update(logical.adjusted(-1, -1, 1, 1));
}

void TfrmDisplay::invertLine() {
    InvertLine(BufferOf(shown_), start_, end_);
    repaintDeviceRect(LineBounds(start_, end_));
}

// ---- measuring -----------------------------------------------------------------

PixPoint TfrmDisplay::DevicePixelAt(const QMouseEvent& e) const {
    // Where the window system says the event happened, when it can tell: on a
    // scaled X11 desktop Qt's event position is rounded to a logical pixel,
    // which spans more than one device pixel.
    if (services_.screen) {
        if (const auto at = services_.screen->eventDevicePos(e)) {
            const QPoint p = *at - services_.screen->primaryRect().topLeft();
            return ClampToPicture({p.x(), p.y()}, snapshot_.width(), snapshot_.height());
        }
    }
    const qreal r = pixelRatio();
    // Otherwise a move may take the pointer read from the screen to settle
    // which of those device pixels it is on. A press never does: by the time
    // it is handled the hand may have moved on, and the press is where the
    // line starts.
    std::optional<PixPoint> pointer;
    const bool press =
        e.type() == QEvent::MouseButtonPress || e.type() == QEvent::MouseButtonDblClick;
    if (!press && r != 1.0 && services_.screen && services_.screen->live()) {
        const QPoint c = services_.screen->cursorPos() - services_.screen->primaryRect().topLeft();
        pointer = PixPoint{c.x(), c.y()};
    }
    return WindowToPicture(e.position().x(), e.position().y(), r, snapshot_.width(),
                           snapshot_.height(), pointer);
}

void TfrmDisplay::FormMouseDown(PixPoint p) {
    dragging_ = true;
    EraseLine();
    start_ = p;
    end_ = {0, 0};
}

void TfrmDisplay::FormMouseMove(PixPoint p) {
    cursor_ = p;
    DrawMagnifier();
    EraseLine();
    DrawLine();
    ShowMeasurement();
}

void TfrmDisplay::FormMouseUp() {
    dragging_ = false;
}

void TfrmDisplay::DrawMagnifier() {
    if (magnifier_.isNull()) return;
    // Read from what the window shows, so the line drawn at the last move is
    // in the magnifier too; parts of the source off the picture come out
    // black.
    const PixRect src = ZoomSource(cursor_);
    DrawZoom(magnifier_, shown_.copy(src.left, src.top, src.width, src.height), TRGB{0, 0, 0});
    magnifierDrawn_ = true;
    pbCaptureScreen->update();
}

void TfrmDisplay::EraseLine() {
    if (dragging_ && lineShown_) {
        invertLine();
        lineShown_ = false;
    }
}

void TfrmDisplay::DrawLine() {
    if (!dragging_) return;
    end_ = cursor_;
    invertLine();
    lineShown_ = true;
}

void TfrmDisplay::ShowMeasurement() {
    lblCurPos->setText(PointText(cursor_));
    lblStartPos->setText(PointText(start_));
    lblEndPos->setText(PointText(end_));
    if (dragging_) lblResult->setText(QString::number(RulerDistance(start_, end_)));
}

// ---- mouse and keys ------------------------------------------------------------

void TfrmDisplay::mousePressEvent(QMouseEvent* e) {
    const PixPoint p = DevicePixelAt(*e);
    guarded([&] { FormMouseDown(p); });
}

void TfrmDisplay::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second press of a double click starts over at its own position.
    const PixPoint p = DevicePixelAt(*e);
    guarded([&] { FormMouseDown(p); });
}

void TfrmDisplay::mouseMoveEvent(QMouseEvent* e) {
    const PixPoint p = DevicePixelAt(*e);
    guarded([&] { FormMouseMove(p); });
}

void TfrmDisplay::mouseReleaseEvent(QMouseEvent*) {
    guarded([&] { FormMouseUp(); });
}

void TfrmDisplay::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

// ---- closing -------------------------------------------------------------------

void TfrmDisplay::bsSkinButton1Click() {
    close();
}

void TfrmDisplay::sepRulerClose() {
    close();
}

void TfrmDisplay::closeEvent(QCloseEvent* e) {
    guarded([this] { FormClose(); });
    e->accept();
}

void TfrmDisplay::FormClose() {
    if (closing_) return;
    closing_ = true;
    dragging_ = false;
    // The main window comes back before this one goes, so the program never
    // has no visible window in between.
    if (hiddenWindow_) {
        hiddenWindow_->show();
        hiddenWindow_->raise();
        hiddenWindow_->activateWindow();
    }
    if (frmDisplay == this) frmDisplay = nullptr;
    // Released once the event that closed it is fully handled; the next
    // opening builds a fresh window and takes a fresh picture.
    deleteLater();
}

} // namespace tp
