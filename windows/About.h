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

    void bsSkinLinkLabel2Click();

    TbsBusinessSkinForm* bsfAbout;
    QLabel* bsSkinLinkImage1;
    QLabel* lblVersion;
    QFrame* bsSkinBevel2;
    TbsSkinStdLabel* bsSkinStdLabel5;
    QLabel* bsSkinStdLabel8;
    TbsSkinStdLabel* bsSkinStdLabel1;
    TbsSkinLinkLabel* bsSkinLinkLabel2;
    TbsSkinStdLabel *bsSkinStdLabel2, *bsSkinStdLabel3, *bsSkinStdLabel6;
    QLabel* bsSkinStdLabel4;
    QFrame* bsSkinBevel1;
    TbsSkinStdLabel* bsSkinStdLabel7;
    TbsSkinButton* bsSkinButton1;

private:
    void FormCreate();

    Services services_;
};

extern TfrmAbout* frmAbout;

} // namespace tp
