#include "windows/About.h"

#include "base/AppInfo.h"
#include "platform/ErrorReporter.h"
#include "platform/Shell.h"
#include "skin/Controls.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"
#include "windows/JpegImage.h"

#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

namespace tp {

TfrmAbout* frmAbout = nullptr;

namespace {
constexpr const char* Description =
    "颜色吸管，可以获取屏幕上任意位置颜色并存储，还可以使用内置尺子测量两点距离。"
    "可应用于网页制作,平面设计。本软件免费提供，可自由使用和复制，但不附带任何担保。";
constexpr const char* MakerName = "Tintpick 项目组";
constexpr const char* MakerNameLatin = "Tintpick Project";
constexpr const char* MakerContact = "交流：项目主页讨论区";

QFont pixelFont(int pixels, bool bold = false) {
    QFont f = QFont();
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void setTextColor(QLabel* label, const QColor& color) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}
} // namespace

TfrmAbout::TfrmAbout(const Services& services, QWidget* parent)
    : QDialog(parent), services_(services) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于"));
    bsfAbout = new TbsBusinessSkinForm(
        this, *services.skin, TbsBusinessSkinForm::SystemMenuIcon | TbsBusinessSkinForm::CloseIcon);
    bsfAbout->setObjectName(QStringLiteral("bsfAbout"));
    bsfAbout->setClientSize(372, 264);
    bsfAbout->setCenterOnFirstShow(true);
    QWidget* client = bsfAbout->client();

    auto label = [client](const char* name, const QString& text, int l, int t, int w, int h) {
        auto* lb = new TbsSkinStdLabel(text, client);
        lb->setObjectName(QString::fromLatin1(name));
        Place(lb, l, t, w, h);
        return lb;
    };
    // Labels with a font of their own keep it whatever the skin says.
    auto ownLabel = [client](const char* name, const QString& text, int l, int t, int w, int h) {
        auto* lb = new QLabel(text, client);
        lb->setObjectName(QString::fromLatin1(name));
        Place(lb, l, t, w, h);
        return lb;
    };

    bsSkinLinkImage1 = ownLabel("bsSkinLinkImage1", QString(), 6, -1, 360, 80);
    bsSkinLinkImage1->setCursor(Qt::PointingHandCursor);
    const QImage banner = DecodeBanner(BannerData());
    if (!banner.isNull()) bsSkinLinkImage1->setPixmap(QPixmap::fromImage(banner));

    lblVersion = ownLabel("lblVersion", QStringLiteral("版本"), 66, 52, 267, 19);
    lblVersion->setAlignment(Qt::AlignCenter);
    lblVersion->setFont(pixelFont(16, true));
    setTextColor(lblVersion, Qt::gray);

    bsSkinBevel2 = new QFrame(client);
    bsSkinBevel2->setObjectName(QStringLiteral("bsSkinBevel2"));
    bsSkinBevel2->setFrameShape(QFrame::Box);
    bsSkinBevel2->setFrameShadow(QFrame::Sunken);
    Place(bsSkinBevel2, 6, 86, 361, 58);

    bsSkinStdLabel5 = label("bsSkinStdLabel5", QString::fromUtf8(Description), 16, 94, 337, 53);
    bsSkinStdLabel5->setWordWrap(true);
    bsSkinStdLabel5->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    bsSkinStdLabel8 = ownLabel("bsSkinStdLabel8", QString::fromUtf8(MakerHint), 12, 150, 332, 13);
    bsSkinStdLabel8->setFont(pixelFont(11));
    // A readable tone of the tooltip colours: the tooltip background itself
    // (a pale yellow) would vanish on the light window.
    setTextColor(bsSkinStdLabel8, QColor(0x8a, 0x6d, 0x1f));

    bsSkinStdLabel1 = label("bsSkinStdLabel1", QStringLiteral("网址："), 11, 171, 36, 19);
    const QUrl url(QString::fromUtf8(MakerUrl));
    bsSkinLinkLabel2 = new TbsSkinLinkLabel(url.host(), client);
    bsSkinLinkLabel2->setObjectName(QStringLiteral("bsSkinLinkLabel2"));
    Place(bsSkinLinkLabel2, 51, 169, 129, 14);
    bsSkinLinkLabel2->setToolTip(url.toString());
    bsSkinLinkLabel2->setStyleSheet(QStringLiteral(
        "QLabel { color: #1f5fa8; text-decoration: underline; background: transparent; }"
        "QLabel:hover { color: #d2571c; }"));
    bsSkinLinkLabel2->setAttribute(Qt::WA_Hover);
    connect(bsSkinLinkLabel2, &TbsSkinLinkLabel::clicked, this,
            [this] { Guarded(*services_.errors, [this] { bsSkinLinkLabel2Click(); }); });

    // Wider than the other labels' 154 pixels: our address needs the room,
    // and the space up to the maker's name is free.
    bsSkinStdLabel2 =
        label("bsSkinStdLabel2", QStringLiteral("Email：") + QString::fromUtf8(MakerEmail), 11, 190,
              220, 19);
    bsSkinStdLabel3 = label("bsSkinStdLabel3", QString::fromUtf8(MakerContact), 11, 207, 154, 19);
    bsSkinStdLabel6 = label("bsSkinStdLabel6", QString::fromUtf8(MakerName), 236, 177, 129, 23);
    bsSkinStdLabel6->setFont(pixelFont(14, true));
    setTextColor(bsSkinStdLabel6, QColor(0x80, 0x80, 0x00));
    bsSkinStdLabel4 =
        ownLabel("bsSkinStdLabel4", QString::fromUtf8(MakerNameLatin), 237, 193, 150, 25);
    bsSkinStdLabel4->setFont(pixelFont(13));
    setTextColor(bsSkinStdLabel4, QColor(0x80, 0x80, 0x00));

    bsSkinBevel1 = new QFrame(client);
    bsSkinBevel1->setObjectName(QStringLiteral("bsSkinBevel1"));
    bsSkinBevel1->setFrameShape(QFrame::HLine);
    bsSkinBevel1->setFrameShadow(QFrame::Sunken);
    Place(bsSkinBevel1, 12, 226, 343, 5);

    bsSkinStdLabel7 =
        label("bsSkinStdLabel7", QStringLiteral("如需最新版本 欢迎访问官方网站"), 14, 238, 217, 13);

    bsSkinButton1 = new TbsSkinButton(QStringLiteral("确定"), client);
    bsSkinButton1->setObjectName(QStringLiteral("bsSkinButton1"));
    bsSkinButton1->setDefault(true);
    Place(bsSkinButton1, 276, 234, 75, 22);
    connect(bsSkinButton1, &QPushButton::clicked, this, &QDialog::accept);

    // The version sits on the banner's lower half.
    lblVersion->raise();
    bsSkinButton1->setFocus();
    FormCreate();
}

TfrmAbout::~TfrmAbout() {
    if (frmAbout == this) frmAbout = nullptr;
}

void TfrmAbout::FormCreate() {
    lblVersion->setText(QStringLiteral("版本 %1").arg(QString::fromUtf8(AppVersionText)));
}

QByteArray TfrmAbout::BannerData() {
    QFile f(QStringLiteral(":/windows/about_banner.jpg"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QImage TfrmAbout::DecodeBanner(const QByteArray& jpeg) {
    const RgbImage rgb =
        DecodeJpeg(reinterpret_cast<const uint8_t*>(jpeg.constData()), size_t(jpeg.size()));
    if (rgb.empty()) return {};
    QImage img(rgb.pixels.data(), rgb.width, rgb.height, rgb.width * 3, QImage::Format_RGB888);
    return img.copy(); // the bytes above die with this frame
}

void TfrmAbout::bsSkinLinkLabel2Click() {
    // A browser that does not start is not reported.
    services_.shell->openUrl(QString::fromUtf8(MakerUrl));
}

} // namespace tp
