#include "app/CommandLine.h"
#include "platform/PortalRules.h"
#include "platform/ReaderChoice.h"

#include <gtest/gtest.h>

using namespace tp;

TEST(ReaderChoice, WaylandSessionsReadThroughThePortal) {
    struct Case {
        ReaderEnvironment env;
        ScreenReader reader;
        bool overlay;
    } cases[] = {
        {{"wayland", "wayland-1", "wayland", true}, ScreenReader::Portal, true},
        {{"wayland-egl", "", "", true}, ScreenReader::Portal, true},
        // XWayland: the X11 root would show native windows black.
        {{"xcb", "wayland-0", "", true}, ScreenReader::Portal, false},
        {{"xcb", "", "wayland", true}, ScreenReader::Portal, false},
        {{"xcb", "", "x11", true}, ScreenReader::X11, false},
        {{"xcb", "", "", true}, ScreenReader::X11, false},
        {{"windows", "", "", true}, ScreenReader::Gdi, false},
        {{"eglfs", "", "", true}, ScreenReader::QtGrab, false},
        {{"offscreen", "", "", true}, ScreenReader::None, false},
        {{"xcb", "", "", false}, ScreenReader::None, false},
    };
    for (const Case& c : cases) {
        const ReaderChoice got = ChooseScreenReader(c.env);
        EXPECT_EQ(got.reader, c.reader) << c.env.platform << " " << c.env.waylandDisplay;
        EXPECT_EQ(got.overlayPick, c.overlay) << c.env.platform;
        EXPECT_EQ(got.reason.empty(), c.reader != ScreenReader::None) << c.env.platform;
    }
}

TEST(PortalRules, RequestPathFollowsTheSenderAndToken) {
    EXPECT_EQ(PortalRequestPath(":1.42", "tintpick7"),
              "/org/freedesktop/portal/desktop/request/1_42/tintpick7");
}

TEST(PortalRules, ResponseCodesAndFileLocations) {
    const auto ok = InterpretScreenshotResponse(0, "file:///tmp/screen%20shot%E5%9B%BE.png");
    EXPECT_EQ(ok.status, PortalStatus::Ok);
    EXPECT_EQ(ok.path, "/tmp/screen shot\xE5\x9B\xBE.png");
    EXPECT_EQ(InterpretScreenshotResponse(0, "file://localhost/a.png").path, "/a.png");
    EXPECT_EQ(InterpretScreenshotResponse(1, std::nullopt).status, PortalStatus::Cancelled);
    EXPECT_EQ(InterpretScreenshotResponse(2, std::nullopt).status, PortalStatus::Refused);
    // Success that names no local file is no picture.
    for (const char* uri : {"", "https://x/a.png", "file://otherhost/a.png", "file:///a%2",
                            "file:///a%zz", "file:///a%00b"})
        EXPECT_EQ(InterpretScreenshotResponse(0, std::string(uri)).status, PortalStatus::BadReply)
            << uri;
    EXPECT_EQ(InterpretScreenshotResponse(0, std::nullopt).status, PortalStatus::BadReply);
    // Only a desktop that answers but withholds the screen gets the
    // colour-picker fallback.
    EXPECT_TRUE(PickColorMayHelp(PortalStatus::Refused));
    EXPECT_FALSE(PickColorMayHelp(PortalStatus::Cancelled));
    EXPECT_FALSE(PickColorMayHelp(PortalStatus::NoPortal));
}

TEST(PortalRules, RefusalsCancelsAndUnansweredDialogsAreToldApart) {
    using P = ScreenshotPermission;
    auto status = [](uint32_t code, int64_t ms, Desktop d, P before, P after) {
        return InterpretScreenshotResponse(code, std::nullopt, {ms, d, before, after}).status;
    };
    // A cancel is a person's answer to a dialog that could be up.
    EXPECT_EQ(status(1, 5000, Desktop::Gnome, P::Unknown, P::Unknown), PortalStatus::Cancelled);
    // Too quick for a person, no dialog where the permission is granted, and
    // none from KDE's back end: its capture failed.
    EXPECT_EQ(status(1, 400, Desktop::Gnome, P::Unknown, P::Unknown), PortalStatus::NoPicture);
    EXPECT_EQ(status(1, 5000, Desktop::Gnome, P::Granted, P::Granted), PortalStatus::NoPicture);
    EXPECT_EQ(status(1, 5000, Desktop::Kde, P::Unknown, P::Unknown), PortalStatus::NoPicture);
    // GNOME asked and nothing was stored: nobody answered its dialog.
    EXPECT_EQ(status(2, 25000, Desktop::Gnome, P::NotAsked, P::NotAsked),
              PortalStatus::NotAnswered);
    EXPECT_EQ(status(2, 3000, Desktop::Gnome, P::NotAsked, P::Denied), PortalStatus::Refused);
    EXPECT_EQ(status(2, 50, Desktop::Gnome, P::Denied, P::Denied), PortalStatus::Refused);
    EXPECT_EQ(status(2, 50, Desktop::Gnome, P::NotAsked, P::NotAsked), PortalStatus::Refused);
    EXPECT_TRUE(PickColorMayHelp(PortalStatus::NoPicture));
    EXPECT_FALSE(PickColorMayHelp(PortalStatus::NotAnswered));
    // Only a dialog's first showing needs a person's time.
    EXPECT_TRUE(PermissionDialogMayShow(P::NotAsked));
    EXPECT_FALSE(PermissionDialogMayShow(P::Granted));
    EXPECT_FALSE(PermissionDialogMayShow(P::Unknown));

    EXPECT_EQ(PermissionFromEntry(std::nullopt), P::NotAsked);
    EXPECT_EQ(PermissionFromEntry(std::vector<std::string>{"yes"}), P::Granted);
    EXPECT_EQ(PermissionFromEntry(std::vector<std::string>{"no"}), P::Denied);
    EXPECT_EQ(PermissionFromEntry(std::vector<std::string>{}), P::NotAsked);
    EXPECT_EQ(DesktopOf("ubuntu:GNOME"), Desktop::Gnome);
    EXPECT_EQ(DesktopOf("KDE"), Desktop::Kde);
    EXPECT_EQ(DesktopOf("sway"), Desktop::Wlroots);
    EXPECT_EQ(DesktopOf(""), Desktop::Other);
}

TEST(PortalRules, MessagesNameWhatToInstallOrAllow) {
    EXPECT_NE(PortalMessage(PortalStatus::NoPortal).find("xdg-desktop-portal-wlr"),
              std::string::npos);
    EXPECT_NE(PortalMessage(PortalStatus::NoScreenshot).find("xdg-desktop-portal-gtk"),
              std::string::npos);
    EXPECT_NE(PortalMessage(PortalStatus::Refused).find("允许"), std::string::npos);
    // Where the permission is given: GNOME's Settings have no screenshot
    // page under Privacy, and list it under Apps only for sandboxed programs.
    for (PortalStatus s : {PortalStatus::Refused, PortalStatus::NotAnswered}) {
        const std::string m = PortalMessage(s);
        EXPECT_NE(m.find(GrantScreenshotCommand), std::string::npos);
        EXPECT_NE(m.find("设置 → 应用"), std::string::npos);
        EXPECT_EQ(m.find("隐私"), std::string::npos);
    }
    EXPECT_NE(PortalMessage(PortalStatus::NotAnswered).find("询问"), std::string::npos);
    EXPECT_NE(PortalMessage(PortalStatus::Timeout, "30").find("30"), std::string::npos);
    for (PortalStatus s : {PortalStatus::Cancelled, PortalStatus::NoBus, PortalStatus::BadReply,
                           PortalStatus::Unreadable, PortalStatus::FrameMismatch})
        EXPECT_FALSE(PortalMessage(s, "x").empty());
}

TEST(PortalRules, PickedColourFractionsBecomeBytes) {
    EXPECT_EQ(PortalColourBytes(0.0, 1.0, 0.5), (std::array<uint8_t, 3>{0, 255, 128}));
    EXPECT_EQ(PortalColourBytes(-0.2, 1.5, 32.0 / 255), (std::array<uint8_t, 3>{0, 255, 32}));
}

TEST(PortalRules, PointerMapsOntoTheFrameAtEveryScale) {
    // One 1280 x 1024 output seen by a client as its logical size; the
    // portal's picture holds its device pixels.
    for (double scale : {1.0, 1.25, 1.5, 2.0}) {
        const int lw = static_cast<int>(1280 / scale), lh = static_cast<int>(1024 / scale);
        const auto mons = MonitorsInFrame({{0, 0, lw, lh}}, 1280, 1024);
        ASSERT_TRUE(mons) << scale;
        // A pointer at a fractional logical position lands on the device
        // pixel under it.
        EXPECT_EQ(GlobalToDevice(*mons, 100.5, 10.0),
                  (PixPoint{int(100.5 * scale), int(10 * scale)}))
            << scale;
        const auto last = GlobalToDevice(*mons, lw - 0.01, lh - 0.01);
        EXPECT_EQ(last, (PixPoint{1279, 1023})) << scale;
    }
}

TEST(PortalRules, SeveralMonitorsShareOneFrame) {
    // A monitor left of the primary and one below it, at one frame scale 2.
    const std::vector<PixRect> screens{{0, 0, 800, 600}, {-640, 0, 640, 480}, {0, 600, 400, 300}};
    const auto mons = MonitorsInFrame(screens, 2880, 1800);
    ASSERT_TRUE(mons);
    EXPECT_EQ((*mons)[0].device, (PixRect{1280, 0, 1600, 1200}));
    EXPECT_EQ((*mons)[1].device, (PixRect{0, 0, 1280, 960}));
    EXPECT_EQ(GlobalToDevice(*mons, -1.0, 0.75), (PixPoint{1278, 1}));
    EXPECT_EQ(GlobalToDevice(*mons, 10.25, 700.5), (PixPoint{1300, 1401}));
    // A picture of another shape is not this layout.
    EXPECT_FALSE(MonitorsInFrame(screens, 2880, 1000));
}

TEST(CommandLine, PickAndUnknownOptions) {
    EXPECT_TRUE(ParseCommandLine({"--pick"}).pick);
    EXPECT_FALSE(ParseCommandLine({}).pick);
    const auto bad = ParseCommandLine({"--pick", "--frobnicate"});
    EXPECT_NE(bad.error.find("--frobnicate"), std::string::npos);
}
