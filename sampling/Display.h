#pragma once
// The distance measuring window: a frozen picture of the primary screen
// over which the user drags a line and reads its length in pixels, with a
// small floating panel showing the magnifier, the points and the distance.
#include "platform/Services.h"
#include "sampling/RulerGeometry.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QFrame;

namespace tp {

class TbsSkinButton;
class TbsSkinExPanel;
class TbsSkinStdLabel;

class TfrmDisplay : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDisplay(const Services& services, QWidget* parent = nullptr);
    ~TfrmDisplay() override;

    // What the main window's "测距" button does: hide that window (it would
    // stand in the picture) and show the measuring window, creating a fresh
    // one when none exists; closing the measuring window shows it again. A
    // screen that cannot be read is reported and the window stays.
    static void Open(const Services& services, QWidget* windowToHide);

    // The pause between hiding the main window and taking the picture, so
    // that the desktop has repainted where the main window was (500 ms).
    void SetCaptureDelay(int ms) { captureDelayMs_ = ms; }

    // What the window holds and shows. Its controls carry object names
    // (sepRuler, lblScreen, pbCaptureScreen, lblCurPos, lblStartPos,
    // lblEndPos, lblResult, bsSkinButton1 "结束").
    const QImage& Snapshot() const { return snapshot_; }
    // What the window shows: the snapshot with the rubber-band line inverted in.
    const QImage& Shown() const { return shown_; }
    const QImage& MagnifierImage() const { return magnifier_; }
    bool MagnifierVisible() const { return magnifierDrawn_; }
    PixPoint StartPoint() const { return start_; }
    PixPoint EndPoint() const { return end_; }
    PixPoint CursorPoint() const { return cursor_; }
    bool Dragging() const { return dragging_; }
    bool LineShown() const { return lineShown_; }
    bool SnapshotReady() const { return snapshotReady_; }

    // The device pixel of the frozen picture where a mouse event happened.
    PixPoint DevicePixelAt(const QMouseEvent& e) const;

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // Handlers. Points are in device pixels of the frozen picture.
    void FormShow();
    void FormMouseDown(PixPoint p);
    void FormMouseMove(PixPoint p);
    void FormMouseUp();
    void bsSkinButton1Click(); // "结束"
    void sepRulerClose();

    void buildComponents();
    void PrepareBuffers();
    void CaptureScreen();
    void DrawMagnifier();
    void EraseLine();
    void DrawLine();
    void ShowMeasurement();
    void FormClose();
    void invertLine();
    void repaintDeviceRect(PixRect r);
    qreal pixelRatio() const;
    template <class F> void guarded(F&& f);

    // Components; a numbered one carries its caption beside it.
    TbsSkinExPanel* sepRuler;
    TbsSkinStdLabel* lblScreen;
    QFrame* bsSkinBevel1; // the frame around the magnifier
    QWidget* pbCaptureScreen;
    TbsSkinStdLabel* bsSkinStdLabel1; // "坐标："
    TbsSkinStdLabel* lblCurPos;
    TbsSkinStdLabel* bsSkinStdLabel2; // "起点："
    TbsSkinStdLabel* lblStartPos;
    TbsSkinStdLabel* bsSkinStdLabel5; // "终点："
    TbsSkinStdLabel* lblEndPos;
    TbsSkinStdLabel* bsSkinStdLabel6; // "距离："
    TbsSkinStdLabel* lblResult;
    TbsSkinButton* bsSkinButton1; // "结束"

    Services services_;
    int captureDelayMs_ = 500;
    QPointer<QWidget> hiddenWindow_;
    QImage snapshot_;
    QImage shown_;
    QImage magnifier_;
    bool magnifierDrawn_ = false;
    PixPoint start_, end_, cursor_;
    bool dragging_ = false;
    bool lineShown_ = false;
    bool snapshotReady_ = false;
    bool closing_ = false;
};

extern TfrmDisplay* frmDisplay;

} // namespace tp
