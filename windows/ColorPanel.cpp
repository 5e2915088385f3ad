#include "windows/ColorPanel.h"

#include "base/AppInfo.h"
#include "platform/ErrorReporter.h"
#include "platform/Shell.h"
#include "skin/Controls.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"

#include <QFileInfo>

#include <QKeyEvent>
#include <QLayout>
#include <QSizeGrip>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace tp {

TfrmColorPanel* frmColorPanel = nullptr;

namespace {
// The client area before the panel is placed beside the main window.
constexpr int InitialClientWidth = 485;
constexpr int InitialClientHeight = 340;
} // namespace

TfrmColorPanel::TfrmColorPanel(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services) {
    setObjectName(QStringLiteral("frmColorPanel"));
    setWindowTitle(QStringLiteral("颜色参照表"));
    bsfPanel = new TbsBusinessSkinForm(this, *services.skin,
                                       TbsBusinessSkinForm::SystemMenuIcon |
                                           TbsBusinessSkinForm::MaximizeIcon |
                                           TbsBusinessSkinForm::CloseIcon);
    bsfPanel->setObjectName(QStringLiteral("bsfPanel"));
    // Unlike the dialogs this window can be resized: its client follows the
    // window instead of fixing its size.
    layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    QWidget* client = bsfPanel->client();
    client->setMinimumSize(160, 100);
    client->installEventFilter(this);

    bsSkinPanel1 = new TbsSkinPanel(TbsSkinPanel::Bevel::Flat, client);
    bsSkinPanel1->setObjectName(QStringLiteral("bsSkinPanel1"));
    auto* fill = new QVBoxLayout(bsSkinPanel1);
    fill->setContentsMargins(0, 0, 0, 0); // inside the panel's 1-pixel frame
    wbColors = new QTextBrowser(bsSkinPanel1);
    wbColors->setObjectName(QStringLiteral("wbColors"));
    wbColors->setFrameShape(QFrame::NoFrame);
    // Links leave the panel for the default browser; only jumps within the
    // page are followed here.
    wbColors->setOpenLinks(false);
    connect(wbColors, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { Guarded(*services_.errors, [&] { linkClicked(url); }); });
    fill->addWidget(wbColors);

    bsSkinButton1 = new TbsSkinButton(QStringLiteral("确定"), client);
    bsSkinButton1->setObjectName(QStringLiteral("bsSkinButton1"));
    bsSkinButton1->setDefault(true);
    connect(bsSkinButton1, &QPushButton::clicked, this,
            [this] { Guarded(*services_.errors, [this] { bsSkinButton1Click(); }); });

    // A frameless window has no border to drag; the grip stands in for it.
    grip_ = new QSizeGrip(client);
    grip_->setFixedSize(12, 12);

    client->resize(InitialClientWidth, InitialClientHeight);
    resize(InitialClientWidth + 2 * TbsBusinessSkinForm::BorderWidth,
           InitialClientHeight + TbsBusinessSkinForm::CaptionHeight +
               2 * TbsBusinessSkinForm::BorderWidth);
    layoutClient();
    FormCreate();
}

TfrmColorPanel::~TfrmColorPanel() {
    if (frmColorPanel == this) frmColorPanel = nullptr;
}

void TfrmColorPanel::FormCreate() {
    Navigate(QString::fromStdString(services_.referencePage));
}

void TfrmColorPanel::Navigate(const QString& path) {
    const QFileInfo info(path);
    QString problem;
    if (!info.exists())
        problem = QStringLiteral("找不到颜色参照表页面");
    else if (!info.isFile() || !info.isReadable())
        problem = QStringLiteral("无法读取颜色参照表页面");
    if (problem.isEmpty()) {
        wbColors->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
        return;
    }
    wbColors->setHtml(QStringLiteral("<p style=\"margin:12px\">%1：<br><tt>%2</tt></p>")
                          .arg(problem, path.toHtmlEscaped()));
}

void TfrmColorPanel::PlaceBeside(const QRect& mainFrame, const QRect& workArea) {
    // From the main window's right edge to the work area's right and bottom
    // edges: a panel along the screen's edge (a taskbar) keeps its place, so
    // that "确定" and the size grip never end up under it.
    const int left = mainFrame.x() + mainFrame.width();
    const int top = mainFrame.y();
    const int width = std::max(workArea.x() + workArea.width() - left, minimumSizeHint().width());
    const int height = std::max(workArea.y() + workArea.height() - top, minimumSizeHint().height());
    move(left, top);
    resize(width, height);
}

void TfrmColorPanel::bsSkinButton1Click() {
    // Disposed of once this click has been handled; the next "资料" makes a
    // new panel.
    frmColorPanel = nullptr;
    hide();
    deleteLater();
}

void TfrmColorPanel::linkClicked(const QUrl& url) {
    const QUrl page = wbColors->source();
    const QUrl target = page.resolved(url);
    if (!url.fragment().isEmpty() &&
        target.adjusted(QUrl::RemoveFragment) == page.adjusted(QUrl::RemoveFragment)) {
        wbColors->scrollToAnchor(url.fragment());
        return;
    }
    services_.shell->openUrl(target.toString());
}

void TfrmColorPanel::layoutClient() {
    const QWidget* client = bsfPanel->client();
    const int w = client->width(), h = client->height();
    // The page grows with the window; the button keeps its distance to the
    // bottom-right corner.
    Place(bsSkinPanel1, 6, 6, w - (InitialClientWidth - 472), h - (InitialClientHeight - 290));
    Place(bsSkinButton1, w - (InitialClientWidth - 397), h - (InitialClientHeight - 307), 75, 22);
    grip_->move(w - grip_->width(), h - grip_->height());
    grip_->raise();
}

bool TfrmColorPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bsfPanel->client() && event->type() == QEvent::Resize) layoutClient();
    return QWidget::eventFilter(watched, event);
}

void TfrmColorPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        bsSkinButton1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tp
