#pragma once
// A one-line numeric edit for an integer between MinValue and MaxValue, with
// a drop button that pops up a horizontal track bar. Writing Value raises
// changed() exactly when the displayed text changes, which is what lets
// several views of one colour notify each other without looping.
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class QToolButton;

namespace tp {

class Beeper;
class ErrorReporter;
struct Services;

enum class TbsTrackBarPopupKind { tbpRight, tbpLeft };

// The popup: a tool window that never takes activation, so the edit keeps
// the keyboard focus while the user drags the thumb.
class TbsSkinPopupTrackBar : public QWidget {
    Q_OBJECT
public:
    explicit TbsSkinPopupTrackBar(QWidget* owner = nullptr);

    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int Value() const { return value_; }
    void SetMinValue(int v) { min_ = v; }
    void SetMaxValue(int v) { max_ = v; }
    // Clamps; an unchanged value does nothing, otherwise repaints and emits.
    void SetValue(int v);
    // A click on the bare track moves the thumb there (otherwise only a
    // drag of the thumb moves it).
    bool JumpWhenClick() const { return jumpWhenClick_; }
    void SetJumpWhenClick(bool on) { jumpWhenClick_ = on; }

    // The thumb's rectangle in the popup's coordinates.
    QRect thumbRect() const;

signals:
    void changed();
    // The wheel turned over the popup; the edit steps as for its own wheel.
    void wheelTurned(int angleDeltaY);

protected:
    void paintEvent(QPaintEvent*) override;
    void hideEvent(QHideEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    int min_ = 0, max_ = 100, value_ = 50;
    bool dragging_ = false;
    int dragStartX_ = 0;
    int dragStartPos_ = 0;
    bool jumpWhenClick_ = false;
};

class TbsSkinTrackEdit : public QLineEdit {
    Q_OBJECT
public:
    TbsSkinTrackEdit(const Services& services, QWidget* parent = nullptr);
    ~TbsSkinTrackEdit() override;

    int Value() const { return value_; }
    void SetValue(int v);
    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    void SetMinValue(int v) { min_ = v; }
    void SetMaxValue(int v) { max_ = v; }

    // Which way the popup opens from the edit, and its width (0: the edit's).
    TbsTrackBarPopupKind PopupKind() const { return popupKind_; }
    void SetPopupKind(TbsTrackBarPopupKind kind) { popupKind_ = kind; }
    int TrackBarWidth() const { return trackBarWidth_; }
    void SetTrackBarWidth(int w) { trackBarWidth_ = w; }
    void SetJumpWhenClick(bool on) { popup_->SetJumpWhenClick(on); }

    TbsSkinPopupTrackBar* popup() const { return popup_; }
    QToolButton* dropButton() const { return button_; }
    bool popupShown() const;
    void showPopup();
    void hidePopup();
    void togglePopup();

signals:
    // Raised after every change of the displayed text (typing, pasting,
    // SetValue, the popup, arrow keys, wheel, losing focus).
    void changed();

protected:
    void keyPressEvent(QKeyEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textChangedHandler();
    void handleChange();
    void step(int delta);
    void wheelTurned(int angleDeltaY);
    void writeOwnText(int v);
    void popupChanged();

    Beeper& beeper_;
    ErrorReporter& errors_;
    int value_ = 0;
    int min_ = 0, max_ = 100;
    // The arrow keys and the wheel step by this much.
    static constexpr int Increment = 1;
    TbsTrackBarPopupKind popupKind_ = TbsTrackBarPopupKind::tbpRight;
    int trackBarWidth_ = 0;
    bool SettingText = false;
    bool CorrectingText = false;
    TbsSkinPopupTrackBar* popup_;
    QToolButton* button_;
};

} // namespace tp
