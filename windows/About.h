#pragma once
// The About window: the banner, the version, what the program does and how
// to reach the project. Created for one showing and destroyed after it.
#include "platform/Services.h"

#include <QByteArray>
#include <QDialog>
#include <QImage>

class QFrame;
class QLabel;

namespace tp {

class TbsBusinessSkinForm;
class TbsSkinButton;
class TbsSkinLinkLabel;
class TbsSkinStdLabel;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(const Services& services, QWidget* parent = nullptr);
    ~TfrmAbout() override;

    // The banner as stored in the program's resources, and its decoding: a
    // damaged picture gives a null image.
    static QByteArray BannerData();
    static QImage DecodeBanner(const QByteArray& jpeg);

private:
    void FormCreate();
    void bsSkinLinkLabel2Click();

    TbsBusinessSkinForm* bsfAbout;
    QLabel* bsSkinLinkImage1; // the banner, a link to the maker's page
    QLabel* lblVersion;
    QFrame* bsSkinBevel2;               // the line under the banner
    TbsSkinStdLabel* bsSkinStdLabel5;   // the program's description
    QLabel* bsSkinStdLabel8;            // the maker's hint line
    TbsSkinStdLabel* bsSkinStdLabel1;   // "网址："
    TbsSkinLinkLabel* bsSkinLinkLabel2; // the maker's address, a link
    TbsSkinStdLabel* bsSkinStdLabel2;   // "Email：" and the address
    TbsSkinStdLabel* bsSkinStdLabel3;   // the maker's contact
    TbsSkinStdLabel* bsSkinStdLabel6;   // the maker's name
    QLabel* bsSkinStdLabel4;            // the maker's name in Latin letters
    QFrame* bsSkinBevel1;               // the line above the button
    TbsSkinStdLabel* bsSkinStdLabel7;   // "如需最新版本 欢迎访问官方网站"
    TbsSkinButton* bsSkinButton1;       // "确定"

    Services services_;
};

extern TfrmAbout* frmAbout;

} // namespace tp
