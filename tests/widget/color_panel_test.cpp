// The colour reference panel: where it goes, that there is only ever one,
// how it ends, and what it shows when the page is missing.
#include "app/mainRGB.h"
#include "skin/Controls.h"
#include "skin/SkinForm.h"
#include "support/Child.h"
#include "support/MainParts.h"
#include "support/TestServices.h"
#include "windows/ColorPanel.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

namespace tp {
namespace {

using test::Child;

TbsBusinessSkinForm* frameOf(const TfrmColorPanel* panel) {
    return Child<TbsBusinessSkinForm>(panel, "bsfPanel");
}
QTextBrowser* pageOf(const TfrmColorPanel* panel) {
    return Child<QTextBrowser>(panel, "wbColors");
}
QPushButton* okOf(const TfrmColorPanel* panel) {
    return Child<QPushButton>(panel, "bsSkinButton1");
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct ColorPanelTest : ::testing::Test {
    test::TestServices fakes;
    std::unique_ptr<TfrmMain> main;
    QTemporaryDir dir;

    void SetUp() override { openMain(dir.path()); }
    // The main window, with the reference page looked for in folder.
    void openMain(const QString& folder) {
        main.reset();
        Services services = fakes.services();
        services.referencePage = (folder + QStringLiteral("/ColorTable.htm")).toStdString();
        main = std::make_unique<TfrmMain>(services);
        main->show();
    }
    void TearDown() override {
        main.reset(); // owns the panel
        EXPECT_EQ(frmColorPanel, nullptr);
    }
    QString pageText() const { return pageOf(frmColorPanel)->toPlainText(); }
    test::MainParts ui() const { return test::MainParts(main.get()); }
};

TEST_F(ColorPanelTest, FillsTheDesktopBesideTheMainWindow) {
    TfrmColorPanel panel(fakes.services());
    panel.PlaceBeside(QRect(0, 0, 351, 205), QRect(0, 0, 1024, 768));
    panel.show();
    EXPECT_EQ(panel.frameGeometry(), QRect(351, 0, 1024 - 351, 768));
    // The page fills its panel; the button keeps to the bottom-right corner.
    const QWidget* client = frameOf(&panel)->client();
    EXPECT_EQ(Child(panel, "bsSkinPanel1")->geometry(),
              QRect(6, 6, client->width() - 13, client->height() - 50));
    EXPECT_EQ(pageOf(&panel)->geometry(),
              Child(panel, "bsSkinPanel1")->rect().adjusted(1, 1, -1, -1));
    EXPECT_EQ(okOf(&panel)->geometry().bottomRight(),
              QPoint(client->width() - 14, client->height() - 12));
    // A desktop reaching left of the primary monitor: the panel still ends
    // at the desktop's right edge.
    panel.PlaceBeside(QRect(0, 0, 351, 205), QRect(-1280, 0, 1280 + 1024, 768));
    EXPECT_EQ(panel.frameGeometry().right(), 1023);
}

TEST_F(ColorPanelTest, ResourceButtonMovesTheMainWindowAndKeepsOnePanel) {
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    main->move(200, 150);
    ui().bsSkinButton6->click();
    ASSERT_TRUE(frmColorPanel);
    TfrmColorPanel* first = frmColorPanel;
    EXPECT_EQ(main->pos(), QPoint(0, 0));
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("颜色参照表"));
    EXPECT_EQ(first->frameGeometry(),
              QRect(main->frameGeometry().width(), 0,
                    desktop.right() + 1 - main->frameGeometry().width(), desktop.bottom() + 1));
    EXPECT_EQ(first->parentWidget(), main.get()) << "owned by the main window";

    main->move(90, 60);
    ui().bsSkinButton6->click();
    EXPECT_EQ(frmColorPanel, first);
    EXPECT_EQ(main->pos(), QPoint(0, 0));
    EXPECT_EQ(main->findChildren<TfrmColorPanel*>().size(), 1);
}

TEST_F(ColorPanelTest, CloseOnlyHidesAndOkDisposes) {
    ui().bsSkinButton6->click();
    TfrmColorPanel* first = frmColorPanel;
    frameOf(first)->closeButton()->click();
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(frmColorPanel, first);
    ui().bsSkinButton6->click();
    EXPECT_EQ(frmColorPanel, first);
    EXPECT_TRUE(first->isVisible());

    bool gone = false;
    QObject::connect(first, &QObject::destroyed, [&] { gone = true; });
    okOf(first)->click();
    EXPECT_EQ(frmColorPanel, nullptr);
    flushDeletes();
    EXPECT_TRUE(gone);
    ui().bsSkinButton6->click();
    ASSERT_TRUE(frmColorPanel);
    EXPECT_TRUE(frmColorPanel->isVisible());
    EXPECT_EQ(main->findChildren<TfrmColorPanel*>().size(), 1);
}

TEST_F(ColorPanelTest, ShowsTheShippedPageAndSendsLinksToTheBrowser) {
    openMain(QStringLiteral(TINTPICK_SOURCE_DIR "/data"));
    ui().bsSkinButton6->click();
    ASSERT_TRUE(frmColorPanel);
    const QString text = pageText();
    EXPECT_TRUE(text.contains(QStringLiteral("网页安全色"))) << text.left(200).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("#663399"))); // rebeccapurple
    EXPECT_EQ(pageOf(frmColorPanel)->source(),
              QUrl::fromLocalFile(QStringLiteral(TINTPICK_SOURCE_DIR "/data/ColorTable.htm")));

    emit pageOf(frmColorPanel)->anchorClicked(QUrl(QStringLiteral("#websafe")));
    EXPECT_TRUE(fakes.shell.opened.isEmpty()) << "jumps within the page stay in the panel";
    emit pageOf(frmColorPanel)->anchorClicked(QUrl(QStringLiteral("https://example.org/x")));
    EXPECT_EQ(fakes.shell.opened, QStringList{QStringLiteral("https://example.org/x")});
}

TEST_F(ColorPanelTest, MissingOrUnreadablePageStillOpensThePanel) {
    ui().bsSkinButton6->click();
    ASSERT_TRUE(frmColorPanel);
    EXPECT_TRUE(frmColorPanel->isVisible());
    EXPECT_TRUE(pageText().contains(QStringLiteral("找不到颜色参照表页面")));
    EXPECT_TRUE(fakes.errors.messages.isEmpty());
    okOf(frmColorPanel)->click();
    flushDeletes();

    // A folder where the page should be cannot be read as one.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ColorTable.htm")));
    ui().bsSkinButton6->click();
    ASSERT_TRUE(frmColorPanel);
    EXPECT_TRUE(frmColorPanel->isVisible());
    EXPECT_TRUE(pageText().contains(QStringLiteral("无法读取颜色参照表页面")));
}

TEST_F(ColorPanelTest, MinimisedPanelComesBackAndCanBeMaximised) {
    ui().bsSkinButton6->click();
    ASSERT_TRUE(frmColorPanel);
    frmColorPanel->showMinimized();
    ASSERT_TRUE(frmColorPanel->isMinimized());
    ui().bsSkinButton6->click();
    EXPECT_FALSE(frmColorPanel->isMinimized());
    EXPECT_TRUE(frmColorPanel->isVisible());

    QToolButton* maximize = frameOf(frmColorPanel)->maximizeButton();
    ASSERT_TRUE(maximize->isVisibleTo(frmColorPanel));
    EXPECT_EQ(maximize->toolTip(), QStringLiteral("最大化"));
    maximize->click();
    EXPECT_TRUE(frmColorPanel->isMaximized());
    maximize->click();
    EXPECT_FALSE(frmColorPanel->isMaximized());
}

} // namespace
} // namespace tp
