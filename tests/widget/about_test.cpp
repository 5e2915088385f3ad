// The About window: version, banner, link, and how it closes.
#include "base/AppInfo.h"
#include "skin/Controls.h"
#include "skin/SkinForm.h"
#include "support/Child.h"
#include "support/TestServices.h"
#include "windows/About.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace tp {
namespace {

using test::Child;

TEST(About, ShowsTheVersionAndTheDecodedBanner) {
    test::TestServices fakes;
    TfrmAbout about(fakes.services());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于"));
    EXPECT_EQ(Child<QLabel>(about, "lblVersion")->text(), QStringLiteral("版本 1.2.0"));
    EXPECT_EQ(Child<TbsBusinessSkinForm>(about, "bsfAbout")->client()->size(), QSize(372, 264));
    EXPECT_EQ(Child<QLabel>(about, "bsSkinLinkImage1")->geometry(), QRect(6, -1, 360, 80));
    const QPixmap banner = Child<QLabel>(about, "bsSkinLinkImage1")->pixmap();
    ASSERT_FALSE(banner.isNull());
    EXPECT_EQ(banner.size(), QSize(360, 80));
    // The version label lies on the banner's lower half, above it.
    EXPECT_TRUE(Child<QLabel>(about, "bsSkinLinkImage1")
                    ->geometry()
                    .contains(Child<QLabel>(about, "lblVersion")->geometry()));
}

TEST(About, DamagedBannerGivesAnEmptyPicture) {
    const QByteArray good = TfrmAbout::BannerData();
    ASSERT_GT(good.size(), 1000);
    const QImage img = TfrmAbout::DecodeBanner(good);
    ASSERT_EQ(img.size(), QSize(360, 80));
    EXPECT_GT(qBlue(img.pixel(30, 30)), qRed(img.pixel(30, 30)) + 80);
    EXPECT_TRUE(TfrmAbout::DecodeBanner(good.left(good.size() / 3)).isNull());
    EXPECT_TRUE(TfrmAbout::DecodeBanner(QByteArray()).isNull());
    EXPECT_TRUE(TfrmAbout::DecodeBanner(QByteArray(5000, 'x')).isNull());
}

TEST(About, LinkOpensTheAddressInTheBrowser) {
    test::TestServices fakes;
    TfrmAbout about(fakes.services());
    EXPECT_EQ(Child<TbsSkinLinkLabel>(about, "bsSkinLinkLabel2")->cursor().shape(),
              Qt::PointingHandCursor);
    QTest::mouseClick(Child<TbsSkinLinkLabel>(about, "bsSkinLinkLabel2"), Qt::LeftButton, {},
                      QPoint(5, 5));
    EXPECT_EQ(fakes.shell.opened, QStringList{QString::fromUtf8(MakerUrl)});
    // The banner has a hand cursor but leads nowhere.
    QTest::mouseClick(Child<QLabel>(about, "bsSkinLinkImage1"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(fakes.shell.opened.size(), 1);
}

TEST(About, EnterAcceptsAndTheCloseButtonCancels) {
    test::TestServices fakes;
    {
        TfrmAbout about(fakes.services());
        QTimer::singleShot(50, &about, [&] {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(about.focusWidget() ? about.focusWidget() : &about, &enter);
        });
        EXPECT_EQ(about.exec(), QDialog::Accepted);
    }
    {
        TfrmAbout about(fakes.services());
        QTimer::singleShot(50, &about, [&] {
            Child<TbsBusinessSkinForm>(about, "bsfAbout")->closeButton()->click();
        });
        EXPECT_EQ(about.exec(), QDialog::Rejected);
    }
}

} // namespace
} // namespace tp
