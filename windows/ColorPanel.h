#pragma once
// The colour reference panel: the page ColorTable.htm beside the program,
// shown beside the main window so that colours can be read off it while
// picking. Modeless; its close button only hides it, "确定" disposes of it.
#include "platform/Services.h"

#include <QRect>
#include <QWidget>

class QSizeGrip;
class QTextBrowser;
class QUrl;

namespace tp {

class TbsBusinessSkinForm;
class TbsSkinButton;
class TbsSkinPanel;

class TfrmColorPanel : public QWidget {
    Q_OBJECT
public:
    explicit TfrmColorPanel(const Services& services, QWidget* parent = nullptr);
    ~TfrmColorPanel() override;

    // Shows the page at a local path; a page that cannot be read leaves a
    // short note in its place.
    void Navigate(const QString& path);
    // Fills the work area (the desktop less its panels) to the right of the
    // main window's frame, from the frame's top down.
    void PlaceBeside(const QRect& mainFrame, const QRect& workArea);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void bsSkinButton1Click(); // "确定"
    void layoutClient();
    void linkClicked(const QUrl& url);

    Services services_;
    TbsBusinessSkinForm* bsfPanel;
    TbsSkinPanel* bsSkinPanel1; // the frame around the page
    QTextBrowser* wbColors;
    TbsSkinButton* bsSkinButton1; // "确定"
    QSizeGrip* grip_;
};

extern TfrmColorPanel* frmColorPanel;

} // namespace tp
