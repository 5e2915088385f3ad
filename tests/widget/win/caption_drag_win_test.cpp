// Dragging the main window by its caption bar on Windows: a press on the
// caption hands the drag to Windows' own move loop (which then follows the
// real mouse, snapping to screen edges as every window does).
#include "app/mainRGB.h"
#include "skin/SkinForm.h"
#include "support/MainParts.h"
#include "support/TestServices.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QTest>

#include <windows.h>

#include <gtest/gtest.h>

using namespace tp;

namespace {
// Takes the move request addressed to one window out of the queue, so that
// no modal move loop starts inside the test.
struct MoveRequests : QAbstractNativeEventFilter {
    HWND window = nullptr;
    int seen = 0;
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "windows_generic_MSG") return false;
        const MSG* m = static_cast<const MSG*>(message);
        if (m->hwnd != window || m->message != WM_SYSCOMMAND || (m->wParam & 0xFFF0) != SC_MOVE)
            return false;
        ++seen;
        return true;
    }
};
} // namespace

TEST(CaptionDrag, APressOnTheCaptionStartsWindowsOwnMove) {
    test::TestServices fakes;
    TfrmMain main(fakes.services());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    MoveRequests requests;
    requests.window = reinterpret_cast<HWND>(main.winId());
    QCoreApplication::instance()->installNativeEventFilter(&requests);
    QWidget* caption = test::MainParts(&main).bsfMain->captionBar();
    QTest::qWait(50);
    EXPECT_EQ(requests.seen, 0);
    QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_TRUE(QTest::qWaitFor([&] { return requests.seen > 0; }, 5000));
    QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(150, 10));
    QCoreApplication::instance()->removeNativeEventFilter(&requests);
    EXPECT_EQ(requests.seen, 1);
}
