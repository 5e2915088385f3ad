#include "platform/ShortcutKeys.h"

#include <gtest/gtest.h>

using namespace tp;

TEST(ShortcutKeys, ReadsWhatQtWritesAndWritesItBack) {
    for (const char* text : {"Ctrl+Alt+C", "Ctrl+Shift+F5", "Meta+Alt+Shift+PgUp", "F12", "Ctrl+,",
                             "Meta+Print", "Ctrl+Alt+0"}) {
        const auto keys = ParseShortcut(text);
        ASSERT_TRUE(keys) << text;
        EXPECT_EQ(ShortcutText(*keys), text);
    }
    // A hand-edited settings file: any case, any order, other names of Meta.
    EXPECT_EQ(ParseShortcut(" alt+CONTROL+c "), ParseShortcut("Ctrl+Alt+C"));
    EXPECT_EQ(ParseShortcut("Super+Win+f5"), ParseShortcut("Meta+F5"));
    for (const char* bad : {"", "Ctrl+", "Ctrl+Alt", "Ctrl+Hyper+C", "Num+1", "Ctrl+C+D", "Ctrl+++",
                            "Ctrl+F0", "Ctrl+F36", "Ctrl+é", NoPickShortcut})
        EXPECT_FALSE(ParseShortcut(bad)) << bad;
}

TEST(ShortcutKeys, AKeyEveryProgramTypesNeedsCtrlAltOrMeta) {
    for (const char* bad : {"C", "Shift+C", "Space", "Shift+Del", "Return"})
        EXPECT_FALSE(ShortcutProblem(*ParseShortcut(bad)).empty()) << bad;
    for (const char* ok :
         {"Ctrl+C", "Alt+Space", "Meta+Shift+C", "F5", "Shift+F35", "Print", "Pause"})
        EXPECT_EQ(ShortcutProblem(*ParseShortcut(ok)), "") << ok;
}

TEST(ShortcutKeys, EachDesktopsSpelling) {
    EXPECT_EQ(X11Keysym("C"), 0x63u);
    EXPECT_EQ(X11Keysym("7"), 0x37u);
    EXPECT_EQ(X11Keysym("F1"), 0xffbeu);
    EXPECT_EQ(X11Keysym("F12"), 0xffc9u);
    EXPECT_EQ(X11Keysym("PgUp"), 0xff55u);
    EXPECT_EQ(X11Keysym("`"), 0x60u);

    EXPECT_EQ(PortalTrigger(*ParseShortcut("Ctrl+Alt+C")), "CTRL+ALT+c");
    EXPECT_EQ(PortalTrigger(*ParseShortcut("Shift+Meta+F5")), "SHIFT+LOGO+F5");
    EXPECT_EQ(PortalTrigger(*ParseShortcut("Ctrl+PgDown")), "CTRL+Page_Down");
    EXPECT_EQ(PortalTrigger(*ParseShortcut("Alt+/")), "ALT+slash");

    EXPECT_EQ(WindowsVirtualKey("C"), 0x43u);
    EXPECT_EQ(WindowsVirtualKey("F24"), 0x87u);
    EXPECT_EQ(WindowsVirtualKey("F25"), 0u);
    EXPECT_EQ(WindowsVirtualKey(","), 0xbcu);
    EXPECT_EQ(WindowsVirtualKey("Print"), 0x2cu);
    EXPECT_EQ(WindowsHotKeyModifiers(ShortcutKeys::Ctrl | ShortcutKeys::Alt), 3u);
    EXPECT_EQ(WindowsHotKeyModifiers(ShortcutKeys::Shift | ShortcutKeys::Meta), 12u);
}

TEST(ShortcutKeys, X11GrabsEveryLockState) {
    // Ctrl + Mod1 with Num Lock on Mod2, as most X servers map them.
    const LockVariants v = X11LockVariants(0x0c, 0x10);
    ASSERT_EQ(v.count, 4);
    EXPECT_EQ(std::vector<uint16_t>(v.masks, v.masks + 4),
              (std::vector<uint16_t>{0x0c, 0x0e, 0x1c, 0x1e}));
    // No modifier holds Num Lock.
    EXPECT_EQ(X11LockVariants(0x04, 0).count, 2);
}

TEST(ShortcutKeys, BackendFollowsTheSession) {
    struct Case {
        ReaderEnvironment env;
        ShortcutBackend backend;
    } cases[] = {
        {{"xcb", "", "x11", true}, ShortcutBackend::X11Grab},
        // XWayland: the X root sees keys only while an X11 window has focus.
        {{"xcb", "wayland-0", "", true}, ShortcutBackend::Portal},
        {{"xcb", "", "wayland", true}, ShortcutBackend::Portal},
        {{"wayland", "wayland-0", "wayland", true}, ShortcutBackend::Portal},
        {{"offscreen", "", "", true}, ShortcutBackend::None},
        {{"xcb", "", "", false}, ShortcutBackend::None},
        {{"eglfs", "", "", true}, ShortcutBackend::None},
    };
    for (const Case& c : cases) {
        const ShortcutBackendChoice got = ChooseShortcutBackend(c.env);
        EXPECT_EQ(got.backend, c.backend) << c.env.platform << " " << c.env.waylandDisplay;
        EXPECT_EQ(got.reason.empty(), c.backend != ShortcutBackend::None) << c.env.platform;
    }
}
