#pragma once
// The main window's parts as tests find them, and what a user does to it
// that tests need again and again.
#include "app/TrayIcon.h"
#include "app/mainRGB.h"
#include "colour/CodeEdit.h"
#include "colour/ColorDialog.h"
#include "colour/ColorTypes.h"
#include "colour/Swatch.h"
#include "colour/TrackEdit.h"
#include "history/DrawGrid.h"
#include "skin/Controls.h"
#include "skin/SkinForm.h"
#include "support/Child.h"
#include "support/X11Keys.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QObject>
#include <QString>
#include <QTest>

namespace tp::test {

// The main window's parts, looked up afresh each time (a test may build the
// window again).
struct MainParts {
    explicit MainParts(const QObject* w)
        : bsfMain(Child<TbsBusinessSkinForm>(w, "bsfMain")),
          bsSkinGroupBox1(Child(w, "bsSkinGroupBox1")),
          bsSkinStdLabel4(Child(w, "bsSkinStdLabel4")), edtR(Child<TbsSkinTrackEdit>(w, "edtR")),
          edtG(Child<TbsSkinTrackEdit>(w, "edtG")), edtB(Child<TbsSkinTrackEdit>(w, "edtB")),
          edtHC(Child<TCodeEdit>(w, "edtHC")),
          bsSkinButton7(Child<TbsSkinButton>(w, "bsSkinButton7")),
          bsSkinPanel1(Child(w, "bsSkinPanel1")),
          sdgHistory(Child<TbsSkinDrawGrid>(w, "sdgHistory")),
          bsSkinButton8(Child<TbsSkinButton>(w, "bsSkinButton8")),
          bsSkinButton2(Child<TbsSkinButton>(w, "bsSkinButton2")),
          bsSkinButton3(Child<TbsSkinButton>(w, "bsSkinButton3")),
          bsSkinButton4(Child<TbsSkinButton>(w, "bsSkinButton4")), gpSnag(Child(w, "gpSnag")),
          pbCaptureScreen(Child(w, "pbCaptureScreen")),
          lblMousePos(Child<QLabel>(w, "lblMousePos")), pnlColor(Child(w, "pnlColor")),
          lblColor(Child<ColorSwatch>(w, "lblColor")),
          lblLink(Child<TbsSkinLinkLabel>(w, "lblLink")),
          bsSkinButton11(Child<TbsSkinButton>(w, "bsSkinButton11")),
          bsSkinButton6(Child<TbsSkinButton>(w, "bsSkinButton6")),
          bsSkinButton5(Child<TbsSkinButton>(w, "bsSkinButton5")),
          bsSkinButton1(Child<TbsSkinButton>(w, "bsSkinButton1")),
          cdlgSelect(Child<TbsSkinColorDialog>(w, "cdlgSelect")),
          bsTrayIcon1(Child<TbsTrayIcon>(w, "bsTrayIcon1")),
          bsSkinPopupMenu1(Child<QMenu>(w, "bsSkinPopupMenu1")), aShow(Child<QAction>(w, "aShow")),
          aHide(Child<QAction>(w, "aHide")), aExit(Child<QAction>(w, "aExit")),
          actStayOnTop(Child<QAction>(w, "actStayOnTop")), N6(Child<QAction>(w, "N6")),
          N7(Child<QAction>(w, "N7")) {}

    TbsBusinessSkinForm* bsfMain;
    QWidget* bsSkinGroupBox1;
    QWidget* bsSkinStdLabel4;
    TbsSkinTrackEdit *edtR, *edtG, *edtB;
    TCodeEdit* edtHC;
    TbsSkinButton* bsSkinButton7;
    QWidget* bsSkinPanel1;
    TbsSkinDrawGrid* sdgHistory;
    TbsSkinButton *bsSkinButton8, *bsSkinButton2, *bsSkinButton3, *bsSkinButton4;
    QWidget* gpSnag;
    QWidget* pbCaptureScreen;
    QLabel* lblMousePos;
    QWidget* pnlColor;
    ColorSwatch* lblColor;
    TbsSkinLinkLabel* lblLink;
    TbsSkinButton *bsSkinButton11, *bsSkinButton6, *bsSkinButton5, *bsSkinButton1;
    TbsSkinColorDialog* cdlgSelect;
    TbsTrayIcon* bsTrayIcon1;
    QMenu* bsSkinPopupMenu1;
    QAction *aShow, *aHide, *aExit, *actStayOnTop, *N6, *N7;
};

// Makes a colour the current one as a user would: by typing its code.
inline void TypeColour(TfrmMain& w, TRGB c) {
    TCodeEdit* code = Child<TCodeEdit>(&w, "edtHC");
    code->setFocus();
    code->selectAll();
    KeyClick(code, Qt::Key_Delete);
    QTest::keyClicks(code, QString::fromStdString(HexCode(c)));
}

// A press and a release on the pick swatch without a move between them:
// the release pushes the colour picked last.
inline void ClickSwatch(TfrmMain& w) {
    ColorSwatch* swatch = Child<ColorSwatch>(&w, "lblColor");
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, swatch->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(swatch, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, swatch->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(swatch, &release);
}

// What the magnifier shows, pixel for pixel.
inline QImage MagnifierPicture(const TfrmMain& w) {
    return Child(&w, "pbCaptureScreen")->grab().toImage();
}

} // namespace tp::test
