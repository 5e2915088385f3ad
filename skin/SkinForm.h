#pragma once
// Our own window frame: a frameless top-level window with a caption bar
// (system-menu button showing the program icon, optional minimise and close
// buttons) above a client area of a fixed size. Any QWidget or QDialog can be
// dressed with it; controls are placed inside client() at client pixels.
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QToolButton;
class QWidget;

namespace tp {

struct SkinData;

class TbsBusinessSkinForm : public QObject {
    Q_OBJECT
public:
    enum BorderIcon { SystemMenuIcon = 1, MinimizeIcon = 2, CloseIcon = 4, MaximizeIcon = 8 };
    static constexpr int CaptionHeight = 24;
    static constexpr int BorderWidth = 1;

    TbsBusinessSkinForm(QWidget* window, const SkinData& skin, int borderIcons);

    QWidget* client() const { return client_; }
    void setClientSize(int width, int height);

    // Items the window puts into its system menu, between the form's own
    // "minimise" and "close" items.
    void setUserMenuActions(QList<QAction*> actions) { userActions_ = std::move(actions); }
    // What minimising does; by default the window is minimised.
    void setMinimizeHandler(std::function<void()> handler) { onMinimize_ = std::move(handler); }

    // Centre the window in the work area of the nearest monitor the first
    // time it is shown (later showings keep their place). The position the
    // window had before only chooses the monitor.
    void setCenterOnFirstShow(bool on) { centerOnFirstShow_ = on; }

    // Builds the system menu afresh, as it is built each time it opens.
    QMenu* buildSystemMenu(QWidget* parent);
    void minimize();
    // Maximises the window, or brings a maximised one back to its size.
    void toggleMaximized();

    QWidget* captionBar() const { return caption_; }
    QToolButton* menuButton() const { return menuButton_; }
    QToolButton* minimizeButton() const { return minButton_; }
    QToolButton* maximizeButton() const { return maxButton_; }
    QToolButton* closeButton() const { return closeButton_; }
    QAction* closeAction() const { return closeAction_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSystemMenu();

    QWidget* window_;
    const SkinData& skin_;
    int borderIcons_;
    QWidget* caption_ = nullptr;
    QLabel* title_ = nullptr;
    QToolButton* menuButton_ = nullptr;
    QToolButton* minButton_ = nullptr;
    QToolButton* maxButton_ = nullptr;
    QToolButton* closeButton_ = nullptr;
    QWidget* client_ = nullptr;
    QAction* closeAction_ = nullptr;
    QList<QAction*> userActions_;
    std::function<void()> onMinimize_;
    bool centerOnFirstShow_ = false;
    bool shownOnce_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
};

} // namespace tp
