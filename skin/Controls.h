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
};

class TbsSkinStdLabel : public QLabel {
    Q_OBJECT
public:
    explicit TbsSkinStdLabel(const QString& caption, QWidget* parent = nullptr);
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
