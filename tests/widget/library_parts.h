#pragma once
// The parts of the library's windows, found by their object names as a test
// of the window's users would find them.
#include "library/LibQuery.h"
#include "library/SaveInfo.h"
#include "library/ViewColor.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tp::test {

template <class T> T* Child(QObject& parent, const char* name) {
    T* c = parent.findChild<T*>(QString::fromLatin1(name));
    if (!c) ADD_FAILURE() << "no child named " << name;
    return c;
}

struct SaveDialogParts {
    explicit SaveDialogParts(QDialog& d)
        : client(Child<QWidget>(d, "skinClient")), edtName(Child<QLineEdit>(d, "edtName")),
          memComment(Child<QPlainTextEdit>(d, "memComment")),
          lblColor(Child<QLabel>(d, "lblColor")),
          bsSkinButton1(Child<QPushButton>(d, "bsSkinButton1")),
          bsSkinButton2(Child<QPushButton>(d, "bsSkinButton2")) {}
    QWidget* client;
    QLineEdit* edtName;
    QPlainTextEdit* memComment;
    QLabel* lblColor;
    QPushButton* bsSkinButton1; // "确定"
    QPushButton* bsSkinButton2; // "取消"
};

struct BrowserParts {
    explicit BrowserParts(QDialog& w)
        : client(Child<QWidget>(w, "skinClient")), adoqLib(Child<TLibQuery>(w, "adoqLib")),
          dbgColors(Child<TbsSkinDBGrid>(w, "dbgColors")),
          bsSkinDBNavigator1(Child<TbsSkinDBNavigator>(w, "bsSkinDBNavigator1")),
          edtKeyword(Child<QLineEdit>(w, "edtKeyword")),
          bsSkinStdLabel2(Child<QLabel>(w, "bsSkinStdLabel2")),
          bsSkinButton1(Child<QPushButton>(w, "bsSkinButton1")),
          bsSkinButton2(Child<QPushButton>(w, "bsSkinButton2")),
          bsSkinButton3(Child<QPushButton>(w, "bsSkinButton3")),
          bsSkinButton4(Child<QPushButton>(w, "bsSkinButton4")),
          btnImport(Child<QPushButton>(w, "btnImport")), mnuExport(Child<QMenu>(w, "mnuExport")) {}
    // A navigator button by its kind.
    QAbstractButton* nav(int b) const { return bsSkinDBNavigator1->button(b); }

    QWidget* client;
    TLibQuery* adoqLib;
    TbsSkinDBGrid* dbgColors;
    TbsSkinDBNavigator* bsSkinDBNavigator1;
    QLineEdit* edtKeyword;
    QLabel* bsSkinStdLabel2;    // the instruction line
    QPushButton* bsSkinButton1; // "确定"
    QPushButton* bsSkinButton2; // "取消"
    QPushButton* bsSkinButton3; // "查找"
    QPushButton* bsSkinButton4; // "全部"
    QPushButton* btnImport;
    QMenu* mnuExport;
};

} // namespace tp::test
