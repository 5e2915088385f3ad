// The advanced colour dialog: its handler chains, OK/Cancel and the custom
// colours between runs, driven without a modal loop.
#include "app/mainRGB.h"
#include "colour/CodeEdit.h"
#include "colour/ColorDialog.h"
#include "colour/ContrastPanel.h"
#include "colour/TrackEdit.h"
#include "colour/TrackEditRules.h"
#include "colour/bsColorCtrls.h"
#include "library/LibraryRules.h"
#include "library/MessageBox.h"
#include "skin/SkinForm.h"
#include "support/MainParts.h"
#include "support/TestServices.h"
#include "support/X11Keys.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <QTimer>

#include <random>
#include <set>

using namespace tp;

namespace {

// The dialog's window and its parts, found by name as a user's eye finds
// them.
struct Win {
    explicit Win(QDialog& f)
        : form(&f), skinForm(f.findChild<TbsBusinessSkinForm*>()),
          basicGrid(test::Child<TbsSkinColorGrid>(&f, "basicGrid")),
          customGrid(test::Child<TbsSkinCustomColorGrid>(&f, "customGrid")),
          wheelHost(test::Child(&f, "wheelHost")), wheel(test::Child<TbsColorWheel>(&f, "wheel")),
          lblR(test::Child(&f, "lblR")), lblG(test::Child(&f, "lblG")),
          lblB(test::Child(&f, "lblB")), lblH(test::Child(&f, "lblH")),
          lblS(test::Child(&f, "lblS")), lblL(test::Child(&f, "lblL")),
          edtR(test::Child<TbsSkinTrackEdit>(&f, "edtR")),
          edtG(test::Child<TbsSkinTrackEdit>(&f, "edtG")),
          edtB(test::Child<TbsSkinTrackEdit>(&f, "edtB")),
          edtH(test::Child<TbsSkinTrackEdit>(&f, "edtH")),
          edtS(test::Child<TbsSkinTrackEdit>(&f, "edtS")),
          edtL(test::Child<TbsSkinTrackEdit>(&f, "edtL")),
          preview(test::Child<TbsColorViewer>(&f, "preview")),
          btnOK(test::Child<TbsSkinButton>(&f, "btnOK")),
          btnCancel(test::Child<TbsSkinButton>(&f, "btnCancel")),
          btnAdd(test::Child<TbsSkinButton>(&f, "btnAdd")),
          contrast(test::Child<TContrastPanel>(&f, "contrastPanel")),
          edtCode(test::Child<TCodeEdit>(&f, "edtCode")) {}
    QDialog* form;
    TbsBusinessSkinForm* skinForm;
    TbsSkinColorGrid* basicGrid;
    TbsSkinCustomColorGrid* customGrid;
    QWidget* wheelHost;
    TbsColorWheel* wheel;
    QWidget *lblR, *lblG, *lblB, *lblH, *lblS, *lblL;
    TbsSkinTrackEdit *edtR, *edtG, *edtB, *edtH, *edtS, *edtL;
    TbsColorViewer* preview;
    TbsSkinButton *btnOK, *btnCancel, *btnAdd;
    TContrastPanel* contrast;
    TCodeEdit* edtCode;
};

struct DialogTest : ::testing::Test {
    test::TestServices fakes;
    TbsSkinColorDialog dlg{fakes.services()};
    DialogTest() {
        dlg.SetCaption(QStringLiteral("高级调色板"));
        dlg.SetSkinData(&fakes.skin, &fakes.skin);
    }

    // Runs Execute; `drive` works on the built window and returns the
    // modal result.
    bool run(const std::function<int(TbsSkinColorDialog&, const Win&)>& drive) {
        fakes.runModal = [&](QDialog& form) { return drive(dlg, Win(form)); };
        const bool ok = dlg.Execute();
        fakes.runModal = nullptr;
        return ok;
    }

    static std::array<int, 6> edits(const Win& w) {
        return {w.edtR->Value(), w.edtG->Value(), w.edtB->Value(),
                w.edtH->Value(), w.edtS->Value(), w.edtL->Value()};
    }

    // All six views and the wheel hold one colour, and no guard is left set.
    // After a change typed into H, S or L those edits keep what was typed.
    void expectConsistent(const Win& w, bool hsvFollowsRGB = true) {
        const TRGB c =
            TRGB{uint8_t(w.edtR->Value()), uint8_t(w.edtG->Value()), uint8_t(w.edtB->Value())};
        EXPECT_EQ(w.preview->ColorValue(), c);
        EXPECT_EQ(w.wheel->Color().Color(), c);
        const TRGB rgb = c;
        const HSVValues v = RGBToHSV(rgb.r, rgb.g, rgb.b);
        if (hsvFollowsRGB) {
            if (v.H) {
                EXPECT_EQ(w.edtH->Value(), *v.H);
            }
            EXPECT_EQ(w.edtS->Value(), v.S);
            EXPECT_EQ(w.edtL->Value(), v.L);
        } else {
            EXPECT_EQ(c, HSVToRGB(w.edtH->Value(), w.edtS->Value(), w.edtL->Value()));
        }
        for (auto* e : {w.edtR, w.edtG, w.edtB, w.edtH, w.edtS, w.edtL})
            EXPECT_EQ(e->text(), QString::number(e->Value()));
        // A grey has no hue to give back to the H edit after the probe.
        if (hsvFollowsRGB && v.H) expectAnswering(w);
    }
    // No handler chain is left half done: a red channel one off reaches the
    // preview, the wheel and the H, S, L edits, and going back restores
    // them all.
    void expectAnswering(const Win& w) {
        const int r = w.edtR->Value();
        const std::array<int, 3> hsv{w.edtH->Value(), w.edtS->Value(), w.edtL->Value()};
        const TRGB other{uint8_t(r ^ 1), uint8_t(w.edtG->Value()), uint8_t(w.edtB->Value())};
        w.edtR->SetValue(other.r);
        EXPECT_EQ(w.preview->ColorValue(), other);
        EXPECT_EQ(w.wheel->Color().Color(), other);
        const HSVValues v = RGBToHSV(other.r, other.g, other.b);
        EXPECT_EQ(w.edtS->Value(), v.S);
        EXPECT_EQ(w.edtL->Value(), v.L);
        w.edtR->SetValue(r);
        EXPECT_EQ(w.preview->ColorValue().r, r);
        EXPECT_EQ(w.wheel->Color().Red(), r);
        EXPECT_EQ((std::array<int, 3>{w.edtH->Value(), w.edtS->Value(), w.edtL->Value()}), hsv);
    }

    static void type(TbsSkinTrackEdit* e, const char* text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, QString::fromLatin1(text));
    }

    static QPoint cell(const TbsColorCellGrid& g, int n) {
        const grid::CellLayout l = g.Layout();
        const grid::Box b = grid::CellBox(l, n / l.cols, n % l.cols);
        return QPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    }
};

// The pixels the markers occupy, from the picture with and without them.
std::set<std::pair<int, int>> MarkerPixels(TbsColorWheel& w) {
    const QImage with = w.Picture().copy();
    w.ToggleMarkers();
    const QImage without = w.Picture().copy();
    w.ToggleMarkers();
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) out.insert({x, y});
    return out;
}

std::set<std::pair<int, int>> Outlines(std::initializer_list<wheel::Point> centres) {
    std::set<std::pair<int, int>> out;
    for (wheel::Point c : centres)
        for (const wheel::Point& d : wheel::MarkerOutline())
            out.insert({c.x + d.x, c.y + d.y});
    return out;
}

} // namespace

TEST_F(DialogTest, WindowLayoutCaptionsAndEditRanges) {
    QPointer<QDialog> form;
    run([&](TbsSkinColorDialog&, const Win& w) {
        form = w.form;
        EXPECT_EQ(w.form->windowTitle(), QStringLiteral("高级调色板"));
        EXPECT_EQ(w.skinForm->client()->size(), QSize(378, 343));
        EXPECT_FALSE(w.skinForm->closeButton()->isVisibleTo(w.form));
        EXPECT_FALSE(w.skinForm->menuButton()->isVisibleTo(w.form));
        EXPECT_EQ(w.basicGrid->geometry(), QRect(5, 5, 167, 195));
        EXPECT_EQ(w.customGrid->geometry(), QRect(5, 210, 167, 68));
        EXPECT_EQ(w.wheelHost->geometry(), QRect(177, 5, 195, 195));
        EXPECT_EQ(w.basicGrid->title(), QStringLiteral("基本颜色"));
        EXPECT_EQ(w.customGrid->title(), QStringLiteral("自定义颜色"));
        EXPECT_EQ(w.btnOK->text(), QStringLiteral("确定"));
        EXPECT_EQ(w.btnCancel->text(), QStringLiteral("取消"));
        EXPECT_EQ(w.btnAdd->text(), QStringLiteral("添加到自定义颜色"));
        const int wR = w.lblR->width(), wH = w.lblH->width();
        EXPECT_EQ(w.lblR->pos(), QPoint(177, 212));
        EXPECT_EQ(w.edtR->geometry(), QRect(182 + wR, 210, 50, 21));
        EXPECT_EQ(w.edtG->geometry(), QRect(182 + wR, 241, 50, 21));
        EXPECT_EQ(w.edtB->geometry(), QRect(182 + wR, 272, 50, 21));
        EXPECT_EQ(w.lblG->pos(), QPoint(177, 243));
        EXPECT_EQ(w.lblB->pos(), QPoint(177, 274));
        EXPECT_EQ(w.lblH->pos(), QPoint(237 + wR, 212));
        EXPECT_EQ(w.lblL->pos(), QPoint(237 + wR, 274));
        EXPECT_EQ(w.edtH->geometry(), QRect(242 + wR + wH, 210, 50, 21));
        EXPECT_EQ(w.edtL->geometry(), QRect(242 + wR + wH, 272, 50, 21));
        const int pv = 242 + wR + wH + 55;
        EXPECT_EQ(w.preview->geometry(), QRect(pv, 210, 372 - pv, 372 - pv));
        EXPECT_EQ(w.btnOK->geometry(), QRect(5, 308, 70, 25));
        EXPECT_EQ(w.btnCancel->geometry(), QRect(90, 308, 70, 25));
        EXPECT_EQ(w.btnAdd->geometry(), QRect(177, 308, 195, 25));
        EXPECT_TRUE(w.btnOK->isDefault());
        // The cells and their plates stay clear of the group box captions.
        for (TbsColorCellGrid* g : {static_cast<TbsColorCellGrid*>(w.basicGrid),
                                    static_cast<TbsColorCellGrid*>(w.customGrid)})
            EXPECT_GE(grid::PlateBox(g->Layout(), 0, 0).top, g->fontMetrics().height());
        const std::pair<TbsSkinTrackEdit*, std::array<int, 2>> ranges[] = {
            {w.edtR, {255, 200}}, {w.edtG, {255, 200}}, {w.edtB, {255, 200}},
            {w.edtH, {359, 250}}, {w.edtS, {100, 120}}, {w.edtL, {100, 120}}};
        for (const auto& [e, r] : ranges) {
            EXPECT_EQ(e->MinValue(), 0);
            EXPECT_EQ(e->MaxValue(), r[0]);
            EXPECT_EQ(e->TrackBarWidth(), r[1]);
            EXPECT_EQ(e->PopupKind(), TbsTrackBarPopupKind::tbpLeft);
            EXPECT_TRUE(e->popup()->JumpWhenClick());
        }
        return 0;
    });
    EXPECT_TRUE(form.isNull()) << "destroyed when Execute returns";
}

TEST_F(DialogTest, PropertiesTakeEffectAtTheNextRunAndMissingCaptionsFallBack) {
    dlg.SetAlphaBlend(true);
    dlg.SetCaption(QStringLiteral("Pick"));
    dlg.SetSkinData(&fakes.skin, nullptr); // no string table: the built-in English texts
    run([&](TbsSkinColorDialog&, const Win& w) {
        EXPECT_NEAR(w.form->windowOpacity(), 200 / 255.0, 0.01);
        EXPECT_EQ(w.form->windowTitle(), QStringLiteral("Pick"));
        EXPECT_EQ(w.basicGrid->title(), QStringLiteral("Basic colors"));
        EXPECT_EQ(w.btnAdd->text(), QStringLiteral("Add to Custom Colors"));
        return 0;
    });
}

TEST_F(DialogTest, BlackHighlightsTheTopLeftCellAndPlacesTheMarkers) {
    dlg.SetColor({0, 0, 0});
    run([&](TbsSkinColorDialog&, const Win& w) {
        EXPECT_EQ(w.basicGrid->ColorValue(), (TRGB{0, 0, 0}));
        EXPECT_EQ(edits(w), (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(MarkerPixels(*w.wheel), Outlines({{44, 44}, {97, 10}}));
        expectConsistent(w);
        return 0;
    });
}

TEST_F(DialogTest, NonBasicColourShowsInEveryEditAndNoCellIsHighlighted) {
    dlg.SetColor(TRGB{18, 52, 86});
    run([&](TbsSkinColorDialog&, const Win& w) {
        EXPECT_EQ(edits(w), (std::array<int, 6>{18, 52, 86, 209, 79, 34}));
        EXPECT_FALSE(grid::IsBasicColor(w.basicGrid->ColorValue()));
        expectConsistent(w);
        return 0;
    });
}

TEST_F(DialogTest, HueTypedKeepsItsValueUntilRGBChanges) {
    dlg.SetColor(TRGB{255, 0, 0});
    run([&](TbsSkinColorDialog&, const Win& w) {
        w.form->show();
        type(w.edtH, "300");
        EXPECT_EQ(edits(w), (std::array<int, 6>{255, 0, 255, 300, 100, 100}));
        EXPECT_EQ(w.preview->ColorValue(), (TRGB{255, 0, 255}));
        EXPECT_EQ(w.wheel->Color().Color(), (TRGB{255, 0, 255}));
        expectConsistent(w, false);
        type(w.edtR, "254");
        EXPECT_EQ(w.edtH->Value(), 299);
        expectConsistent(w);
        // Out of range input is held by the edit.
        type(w.edtS, "500");
        EXPECT_EQ(w.edtS->Value(), 100);
        EXPECT_EQ(w.edtS->text(), QStringLiteral("100"));
        return 0;
    });
}

TEST_F(DialogTest, GreyKeepsTheHueEditAndGridsReachEveryView) {
    dlg.SetColor(TRGB{0, 0, 255});
    run([&](TbsSkinColorDialog&, const Win& w) {
        EXPECT_EQ(w.edtH->Value(), 239);
        QTest::mouseClick(w.basicGrid, Qt::LeftButton, {}, cell(*w.basicGrid, 18)); // 808080
        EXPECT_EQ(edits(w), (std::array<int, 6>{128, 128, 128, 239, 0, 50}));
        EXPECT_EQ(w.basicGrid->ColorValue(), (TRGB{128, 128, 128}));
        expectConsistent(w);

        // Then the wheel's square: everything follows, the basic cell stays.
        w.wheel->MouseDown(Qt::LeftButton, 120, 80);
        w.wheel->MouseMove(Qt::LeftButton, 140, 70);
        w.wheel->MouseUp(Qt::LeftButton, 140, 70);
        EXPECT_NE(w.preview->ColorValue(), (TRGB{128, 128, 128}));
        EXPECT_EQ(w.basicGrid->ColorValue(), (TRGB{128, 128, 128}));
        expectConsistent(w);

        // A custom cell reaches every view and moves only the custom highlight.
        w.customGrid->SetSlot(3, TRGB{10, 20, 30});
        QTest::mouseClick(w.customGrid, Qt::LeftButton, {}, cell(*w.customGrid, 2));
        EXPECT_EQ(w.customGrid->SelectedSlot(), 3);
        EXPECT_EQ(w.preview->ColorValue(), (TRGB{10, 20, 30}));
        EXPECT_EQ(w.basicGrid->ColorValue(), (TRGB{128, 128, 128}));
        expectConsistent(w);
        return 0;
    });
}

TEST_F(DialogTest, EditChangesMoveTheWheelWithoutComingBack) {
    dlg.SetColor(TRGB{40, 80, 120});
    run([&](TbsSkinColorDialog&, const Win& w) {
        int changes = 0;
        QObject::connect(w.edtR, &TbsSkinTrackEdit::changed, [&] { ++changes; });
        QObject::connect(w.edtH, &TbsSkinTrackEdit::changed, [&] { ++changes; });
        w.edtR->SetValue(200);
        // One change of R, one of H: the chain does not loop back into R.
        EXPECT_EQ(changes, 2);
        expectConsistent(w);
        const auto before = MarkerPixels(*w.wheel);
        w.edtL->SetValue(30);
        expectConsistent(w, false);
        EXPECT_EQ(w.edtL->Value(), 30);
        EXPECT_NE(MarkerPixels(*w.wheel), before);
        return 0;
    });
}

TEST_F(DialogTest, ClickOnTheLeftAlignedPopupJumpsThereAndRunsTheChain) {
    dlg.SetColor(TRGB{255, 0, 0});
    run([&](TbsSkinColorDialog&, const Win& w) -> int {
        w.form->show();
        w.edtH->setFocus();
        w.edtH->showPopup();
        TbsSkinPopupTrackBar* pop = w.edtH->popup();
        EXPECT_TRUE(pop->isVisible());
        EXPECT_EQ(pop->width(), 250);
        // Aligned with the edit's right edge, extending to the left.
        EXPECT_EQ(pop->geometry().right(), w.edtH->mapToGlobal(QPoint(w.edtH->width() - 1, 0)).x());
        const auto g = trackedit::Geometry(pop->width(), pop->height());
        // The thumb's centre lands on the click: half-way is 180 degrees.
        const int x = g.track.left + g.thumbWidth / 2 + g.travel / 2;
        QTest::mouseClick(pop, Qt::LeftButton, {}, QPoint(x, pop->height() / 2));
        EXPECT_EQ(w.edtH->Value(), trackedit::ValueAt(g.travel / 2, g.travel, 0, 359));
        EXPECT_NEAR(w.edtH->Value(), 180, 1);
        expectConsistent(w, false);
        EXPECT_EQ(w.preview->ColorValue(), HSVToRGB(w.edtH->Value(), 100, 100));
        return 0;
    });
}

TEST_F(DialogTest, AnyWheelInputLeavesOneColourEverywhere) {
    dlg.SetColor(TRGB{90, 160, 30});
    run([&](TbsSkinColorDialog&, const Win& w) {
        std::mt19937 rng(6);
        std::uniform_int_distribution<int> coord(-40, 235), button(0, 2), op(0, 2);
        const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
        Qt::MouseButtons held;
        for (int i = 0; i < 300; ++i) {
            const int x = coord(rng), y = coord(rng);
            const Qt::MouseButton b = buttons[button(rng)];
            switch (op(rng)) {
            case 0:
                held |= b;
                w.wheel->MouseDown(b, x, y);
                break;
            case 1:
                w.wheel->MouseMove(held, x, y);
                break;
            default:
                held &= ~Qt::MouseButtons(b);
                w.wheel->MouseUp(b, x, y);
                break;
            }
            expectConsistent(w);
            if (HasFailure()) return 0;
        }
        // The picture is what a fresh drawing of the final colour gives.
        TPSPColor copy;
        copy.Assign(w.wheel->Color());
        TbsColorWheel fresh(copy);
        fresh.SetBackgroundPainter(w.wheel->BackgroundPainter());
        fresh.DrawWheel();
        EXPECT_EQ(fresh.Picture(), w.wheel->Picture());
        return 0;
    });
}

TEST_F(DialogTest, OkReturnsThePreviewAndKeepsCustomColours) {
    dlg.SetColor(TRGB{254, 255, 255}); // would not survive an HSV round trip
    EXPECT_TRUE(run([&](TbsSkinColorDialog&, const Win& w) {
        w.btnOK->click();
        return w.form->result();
    }));
    EXPECT_EQ(dlg.Color(), (TRGB{254, 255, 255}));

    // Two adds, then OK: the next run shows them in slots 1 and 2.
    dlg.SetColor(TRGB{1, 2, 3});
    EXPECT_TRUE(run([&](TbsSkinColorDialog&, const Win& w) {
        w.btnAdd->click();
        w.edtG->SetValue(99);
        w.btnAdd->click();
        EXPECT_EQ(w.preview->ColorValue(), (TRGB{1, 99, 3}));
        w.btnOK->click();
        return w.form->result();
    }));
    EXPECT_EQ(dlg.Color(), (TRGB{1, 99, 3}));
    EXPECT_EQ(dlg.CustomColorNext(), 2);
    run([&](TbsSkinColorDialog&, const Win& w) {
        EXPECT_EQ(w.customGrid->Slot(1), (TRGB{1, 2, 3}));
        EXPECT_EQ(w.customGrid->Slot(2), (TRGB{1, 99, 3}));
        EXPECT_EQ(w.customGrid->Slot(3), (TRGB{255, 255, 255}));
        EXPECT_EQ(w.customGrid->SelectedSlot(), 0);
        w.btnAdd->click();
        EXPECT_EQ(w.customGrid->Slot(3), (TRGB{1, 99, 3}));
        w.btnCancel->click();
        return w.form->result();
    });
    // Cancel after adding keeps the old slots and colour.
    EXPECT_EQ(dlg.CustomColors()[2], (TRGB{255, 255, 255}));
    EXPECT_EQ(dlg.CustomColorNext(), 2);
    EXPECT_EQ(dlg.Color(), (TRGB{1, 99, 3}));
}

TEST_F(DialogTest, EnterIsOkAndEscapeOrClosingIsCancel) {
    dlg.SetColor(TRGB{5, 6, 7});
    EXPECT_TRUE(run([&](TbsSkinColorDialog&, const Win& w) {
        w.form->show();
        w.edtB->setFocus();
        QTest::keyClick(w.edtB, Qt::Key_Return);
        return w.form->result();
    }));
    EXPECT_EQ(fakes.beeper.count, 0) << "Enter in the dialog must not beep";

    EXPECT_FALSE(run([&](TbsSkinColorDialog&, const Win& w) {
        w.form->show();
        type(w.edtR, "77");
        QTest::keyClick(w.edtR, Qt::Key_Escape);
        EXPECT_FALSE(w.form->isVisible());
        return w.form->result();
    }));
    EXPECT_FALSE(run([&](TbsSkinColorDialog&, const Win& w) {
        w.form->show();
        w.edtR->SetValue(77);
        w.form->close();
        return w.form->result();
    }));
    EXPECT_EQ(dlg.Color(), (TRGB{5, 6, 7}));
}

TEST_F(DialogTest, EnterPressesTheFocusedButton) {
    dlg.SetColor(TRGB{5, 6, 7});
    EXPECT_FALSE(run([&](TbsSkinColorDialog&, const Win& w) {
        w.form->show();
        w.edtG->SetValue(99);
        w.btnAdd->setFocus();
        test::KeyClick(w.btnAdd, Qt::Key_Return);
        EXPECT_EQ(w.customGrid->Slot(1), (TRGB{5, 99, 7})) << "added";
        EXPECT_TRUE(w.form->isVisible()) << "and the dialog stays open";
        w.btnCancel->setFocus();
        test::KeyClick(w.btnCancel, Qt::Key_Return);
        return w.form->result();
    }));
    EXPECT_EQ(dlg.Color(), (TRGB{5, 6, 7}));
    // The message boxes are built from the same buttons.
    TbsSkinMessage msg(fakes.skin);
    std::unique_ptr<QDialog> box =
        msg.BuildMessageBox(QStringLiteral("?"), mtConfirmation, mbYes | mbNo | mbCancel);
    box->show();
    auto* no = box->findChild<QPushButton*>(QStringLiteral("No"));
    ASSERT_NE(no, nullptr);
    ASSERT_FALSE(no->isDefault());
    no->setFocus();
    test::KeyClick(no, Qt::Key_Return);
    for (const MsgButtonInfo& b : MessageButtons()) {
        if (b.bit == mbNo) {
            EXPECT_EQ(box->result(), b.modalResult);
        }
    }
}

TEST_F(DialogTest, EscapeWithAnOpenPopupClosesOnlyThePopup) {
    EXPECT_FALSE(run([&](TbsSkinColorDialog&, const Win& w) {
        w.form->show();
        w.edtH->setFocus();
        w.edtH->dropButton()->click();
        EXPECT_TRUE(w.edtH->popupShown());
        test::KeyClick(w.edtH, Qt::Key_Escape);
        EXPECT_FALSE(w.edtH->popupShown());
        EXPECT_TRUE(w.form->isVisible()) << "the dialog is still open";
        test::KeyClick(w.edtH, Qt::Key_Escape); // no popup now: the dialog goes
        EXPECT_FALSE(w.form->isVisible());
        return w.form->result();
    }));
}

TEST_F(DialogTest, RealModalLoopEndsWithOk) {
    dlg.SetColor(TRGB{11, 22, 33});
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        const Win w(*form);
        w.edtG->SetValue(44);
        w.btnOK->click();
    });
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.Color(), (TRGB{11, 44, 33}));
}

TEST_F(DialogTest, ContrastFollowsTheColourAndTheSecondColourClicked) {
    dlg.SetColor(TRGB{0x77, 0x77, 0x77});
    std::vector<TRGB> history(16, TRGB{255, 255, 255});
    history[5] = TRGB{0, 0, 0x80};
    dlg.SetHistoryColors(history);
    run([&](TbsSkinColorDialog&, const Win& w) {
        const TContrastPanel& c = *w.contrast;
        // AA normal, AAA normal, AA large, AAA large.
        auto marks = [&] {
            std::string out;
            for (const char* name : {"mark0", "mark1", "mark2", "mark3"})
                out +=
                    test::Child<QLabel>(c, name)->text().endsWith(QStringLiteral("✓")) ? 'P' : 'F';
            return out;
        };
        auto click = [&](int cell) {
            QTest::mouseClick(c.cells(), Qt::LeftButton, {}, c.CellRect(cell).center());
        };
        // By itself the second colour is black or white, whichever
        // contrasts more: black for this grey.
        EXPECT_EQ(test::Child<QLabel>(c, "lblRatio")->text(), "4.69:1");
        EXPECT_EQ(marks(), "PFPP");
        click(1); // white
        EXPECT_EQ(test::Child<QLabel>(c, "lblRatio")->text(), "4.48:1");
        EXPECT_EQ(marks(), "FFPF");
        // A change in any view reaches the check.
        w.edtR->SetValue(0x76);
        w.edtG->SetValue(0x76);
        w.edtB->SetValue(0x76);
        EXPECT_EQ(test::Child<QLabel>(c, "lblRatio")->text(), "4.54:1");
        EXPECT_EQ(marks(), "PFPP");
        click(2 + 5); // the sixth history slot
        EXPECT_EQ(c.Second(), (TRGB{0, 0, 0x80}));
        EXPECT_EQ(test::Child<QLabel>(c, "lblRatio")->text(), "3.52:1");
        EXPECT_EQ(marks(), "FFPF");
        return 0;
    });
    // The band sits below the controls and leaves them where they were.
    run([&](TbsSkinColorDialog&, const Win& w) {
        EXPECT_EQ(w.skinForm->client()->size(), QSize(378, 343));
        EXPECT_GE(w.contrast->y(), w.skinForm->client()->geometry().bottom());
        return 0;
    });
}

TEST_F(DialogTest, CodeEditTakesTypedAndPastedColours) {
    dlg.SetColor(TRGB{0x12, 0x34, 0x56});
    const bool ok = run([&](TbsSkinColorDialog&, const Win& w) {
        EXPECT_EQ(w.edtCode->text(), "123456");
        w.edtCode->setFocus();
        w.edtCode->selectAll();
        QTest::keyClicks(w.edtCode, "1a2b3g"); // the g is refused
        EXPECT_EQ(w.edtCode->text(), "1a2b3");
        QTest::keyClicks(w.edtCode, "c");
        EXPECT_EQ(edits(w)[0], 26);
        EXPECT_EQ(edits(w)[2], 60);
        EXPECT_EQ(w.edtCode->text(), "1a2b3c"); // kept as typed
        expectConsistent(w);
        w.edtR->SetValue(255);
        EXPECT_EQ(w.edtCode->text(), "FF2B3C");

        // Pasted through the edit's own menu, read whole.
        fakes.clipboard.setText(QStringLiteral(" SteelBlue "));
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                  w.edtCode->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(w.edtCode, &menuKey);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        EXPECT_NE(menu, nullptr);
        if (menu) {
            for (QAction* a : menu->actions())
                if (a->text().startsWith(QStringLiteral("粘贴"))) a->trigger();
            menu->close();
        }
        EXPECT_EQ(w.edtCode->text(), "4682B4");
        expectConsistent(w);
        EXPECT_TRUE(fakes.errors.messages.isEmpty());
        w.btnOK->click();
        return w.form->result();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(dlg.Color(), (TRGB{70, 130, 180}));
}

TEST(MainWindowAdvanced, OkTakesTheColourCancelChangesNothing) {
    test::TestServices fakes;
    TfrmMain main(fakes.services());
    const test::MainParts ui(&main);
    ui.edtR->SetValue(10);
    ui.edtG->SetValue(20);
    ui.edtB->SetValue(30);
    ASSERT_EQ(main.CurrentColour(), (TRGB{10, 20, 30}));

    fakes.runModal = [](QDialog& form) {
        const Win w(form);
        EXPECT_EQ(w.preview->ColorValue(), (TRGB{10, 20, 30}));
        w.edtR->SetValue(200);
        w.btnCancel->click();
        return w.form->result();
    };
    ui.bsSkinButton2->click();
    EXPECT_EQ(main.CurrentColour(), (TRGB{10, 20, 30}));
    // The colour a swatch click without a move pushes is still the one from
    // before (black at the start), not the dialog's.
    test::ClickSwatch(main);
    EXPECT_EQ(main.History().Slot(0), (TRGB{0, 0, 0}));

    fakes.runModal = [](QDialog& form) {
        const Win w(form);
        EXPECT_EQ(w.form->windowTitle(), QStringLiteral("高级调色板"));
        w.edtR->SetValue(200);
        w.btnOK->click();
        return w.form->result();
    };
    ui.bsSkinButton2->click();
    EXPECT_EQ(main.CurrentColour(), (TRGB{200, 20, 30}));
    EXPECT_EQ(ui.edtR->Value(), 200);
    EXPECT_EQ(ui.edtHC->text(), QStringLiteral("C8141E"));
    // The dialog's colour is now the pick a swatch click pushes.
    test::ClickSwatch(main);
    EXPECT_EQ(main.History().Slot(1), (TRGB{200, 20, 30}));
}

// The band's second colour typed and swapped in the dialog, kept for the next
// run, and the main window's "复制" menu copying the pair's contrast.
TEST(MainWindowAdvanced, ContrastAgainstTheSecondColourGoesIntoTheCopyMenu) {
    test::TestServices fakes;
    TfrmMain main(fakes.services());
    const test::MainParts ui(&main);
    test::TypeColour(main, {0x77, 0x77, 0x77});
    auto copyContrast = [&] {
        QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(5, 5),
                                ui.bsSkinButton7->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(ui.bsSkinButton7, &right);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* a : menu->actions())
            if (a->data().toString() == QLatin1String("contrast")) {
                EXPECT_TRUE(a->text().startsWith(QStringLiteral("对比度")))
                    << a->text().toStdString();
                a->trigger();
            }
        menu->close();
    };
    // No second colour chosen yet: black, which contrasts more with this grey.
    copyContrast();
    EXPECT_EQ(fakes.clipboard.text(), "#777777 on #000000: 4.69:1 (AA)");

    fakes.runModal = [](QDialog& form) {
        const Win w(form);
        auto* second = test::Child<TCodeEdit>(&form, "edtSecond");
        second->setFocus();
        second->selectAll();
        QTest::keyClicks(second, "000080");
        EXPECT_EQ(w.contrast->findChild<QLabel*>(QStringLiteral("lblRatio"))->text(), "3.58:1");
        // A swap makes the second colour the working one in every view.
        auto* swap = test::Child<QToolButton>(&form, "btnSwap");
        swap->click();
        EXPECT_EQ(w.edtB->Value(), 0x80);
        EXPECT_EQ(w.edtCode->text(), "000080");
        EXPECT_EQ(second->text(), "777777");
        swap->click();
        EXPECT_EQ(w.edtR->Value(), 0x77);
        w.btnCancel->click();
        return w.form->result();
    };
    ui.bsSkinButton2->click();
    EXPECT_EQ(main.CurrentColour(), (TRGB{0x77, 0x77, 0x77}));
    copyContrast();
    EXPECT_EQ(fakes.clipboard.text(), "#777777 on #000080: 3.58:1 (AA large)");

    // The next run starts with it.
    fakes.runModal = [](QDialog& form) {
        EXPECT_EQ(test::Child<TCodeEdit>(&form, "edtSecond")->text(), "000080");
        return 0;
    };
    ui.bsSkinButton2->click();
}
