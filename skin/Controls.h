#pragma once
// The skinned controls the windows are built from. Their look comes from the
// "Air" stylesheet; what they add is the behaviour every window expects of
// them (hand cursors on buttons, a group box's caption, a flat panel).
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace tp {

class TbsSkinButton : public QPushButton {
    Q_OBJECT
public:
    explicit TbsSkinButton(const QString& caption, QWidget* parent = nullptr);

protected:
    // Enter presses the focused button, as Space does; a dialog's default
    // button takes Enter only where the focus is not on a button.
    void keyPressEvent(QKeyEvent* e) override;
};

class TbsSkinStdLabel : public QLabel {
    Q_OBJECT
public:
    explicit TbsSkinStdLabel(const QString& caption, QWidget* parent = nullptr);
};

// A label that opens something, like a link on a web page: a left press and
// a left release over it. A right click, or a press dragged off and released
// elsewhere, opens nothing.
class TbsSkinLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TbsSkinLinkLabel(const QString& caption, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool pressed_ = false;
};

class TbsSkinGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TbsSkinGroupBox(const QString& caption, QWidget* parent = nullptr);
};

class TbsSkinPanel : public QFrame {
    Q_OBJECT
public:
    enum class Bevel { Flat, Raised };
    explicit TbsSkinPanel(Bevel bevel, QWidget* parent = nullptr);
};

// Places a control at a position and size given in its parent's pixels.
void Place(QWidget* w, int left, int top, int width, int height);

} // namespace tp
