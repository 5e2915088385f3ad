#pragma once
// A panel with its own small caption bar carrying a roll button and a close
// button. Rolled up it keeps only the caption bar, so that whatever lies
// under the panel can be reached; its children come back when it is rolled
// down. The user cannot move or resize it.
#include <QFrame>
#include <QList>
#include <QPointer>

class QLabel;
class QToolButton;

namespace tp {

class TbsSkinExPanel : public QFrame {
    Q_OBJECT
public:
    // The height of a rolled-up panel: its caption bar.
    static constexpr int RollUpHeight = 20;

    explicit TbsSkinExPanel(const QString& caption, QWidget* parent = nullptr);

    bool RollState() const { return rolledUp_; }
    // Rolls the panel up to its caption bar (true) or down again (false).
    void SetRollState(bool rolledUp);

    QWidget* captionBar() const { return caption_; }
    QLabel* captionLabel() const { return title_; }
    QToolButton* rollButton() const { return rollButton_; }
    QToolButton* closeButton() const { return closeButton_; }

signals:
    // The close button was clicked; the panel has already hidden itself.
    void closed();
    void rolledUp();
    void rolledDown();

protected:
    // A panel's area belongs to it: presses, releases and moves over it
    // (and over its labels) never reach the window underneath.
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void closeClicked();

    QWidget* caption_;
    QLabel* title_;
    QToolButton* rollButton_;
    QToolButton* closeButton_;
    bool rolledUp_ = false;
    int unrolledHeight_ = 0;
    QList<QPointer<QWidget>> hiddenByRoll_;
};

} // namespace tp
