#pragma once
// The display-free half of reading the screen through the desktop portal
// (org.freedesktop.portal.Screenshot): where the answer to a request will be
// signalled, what the answer means, the sentence the user gets when there is
// no picture, and how the picture lies over the monitors.
#include "base/ScreenGeometry.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

enum class PortalStatus {
    Ok,
    Cancelled,     // the user dismissed the desktop's dialog
    Refused,       // the desktop denied the request (no permission)
    NoPicture,     // answered at once without a picture, though nobody was asked
    NotAnswered,   // the desktop asked the user for permission; no answer came
    Unsupported,   // the portal has the interface but will not take screenshots
    Timeout,       // no answer in time
    NoBus,         // no D-Bus session bus
    NoPortal,      // nothing answers as org.freedesktop.portal.Desktop
    NoScreenshot,  // the portal runs without a Screenshot interface
    BadReply,      // an answer without a readable file location
    Unreadable,    // the file could not be loaded as an image
    FrameMismatch, // the picture does not fit the monitors Qt reports
};

// The object path of the Request that a call with handle_token `token` from
// the connection `uniqueName` (":1.42") gets. Known before the call, so the
// Response signal can be subscribed to before it can be sent.
std::string PortalRequestPath(std::string_view uniqueName, std::string_view token);

// A local path from a file:// URI (percent-escapes decoded); nullopt for any
// other scheme, a remote host, or a malformed escape.
std::optional<std::string> FileUriToPath(std::string_view uri);

// What the permission store holds for this program's screenshots: set by
// the desktop's dialog ("Allow Applications to Take Screenshots?" on GNOME)
// or by hand. Unknown where there is no store to ask (older portals, which
// keep no such permission).
enum class ScreenshotPermission { Granted, Denied, NotAsked, Unknown };

// The permission from the values the store keeps for an application ("yes",
// "no"); nullopt for an application it has no entry for.
ScreenshotPermission PermissionFromEntry(const std::optional<std::vector<std::string>>& values);

// The desktops whose portals behave in ways worth knowing, from
// $XDG_CURRENT_DESKTOP ("ubuntu:GNOME", "KDE", "sway").
enum class Desktop { Gnome, Kde, Wlroots, Other };
Desktop DesktopOf(std::string_view xdgCurrentDesktop);

// A person needs at least this long to read a dialog and answer it; a
// refusal or a cancel that comes sooner was nobody's answer.
constexpr int64_t HumanAnswerMs = 2000;

// What was around a request when its answer came.
struct RequestContext {
    int64_t elapsedMs = HumanAnswerMs; // from the request to the answer
    Desktop desktop = Desktop::Other;
    ScreenshotPermission before = ScreenshotPermission::Unknown;
    ScreenshotPermission after = ScreenshotPermission::Unknown; // when the answer came
};

// Whether the desktop may put a dialog of its own in front of the user
// before a non-interactive screenshot: the first time, for the permission.
// The wait for the answer must then allow a person's time.
bool PermissionDialogMayShow(ScreenshotPermission before);

struct ScreenshotAnswer {
    PortalStatus status = PortalStatus::BadReply;
    std::string path; // the picture's file, for Ok
};
// The Response signal's code (0 success, 1 cancelled, 2 ended another way)
// and the "uri" of its results, if there was one. A 1 is the user's cancel
// only where a dialog could have been up and was answered in a person's
// time; KDE's back end never shows one for a non-interactive request and
// says 1 when its capture fails. A 2 while the permission the desktop asked
// for is still not stored is a dialog nobody answered (GNOME's portal gives
// up on its own dialog after about 25 s).
ScreenshotAnswer InterpretScreenshotResponse(uint32_t response,
                                             const std::optional<std::string>& uri,
                                             const RequestContext& context = {});

// Whether the desktop's own one-shot colour picker (PickColor) is worth
// offering after a screenshot failed this way: only where the portal is
// there and answering but will not hand out the screen.
bool PickColorMayHelp(PortalStatus status);

// The command that grants the screenshot permission to a program started
// outside a sandbox (application id ""), with nothing but GLib's gdbus.
extern const char* const GrantScreenshotCommand;

// The sentence shown to the user (UTF-8), naming what to install or allow.
// `detail` is the file name, the system's reason or the wait in seconds,
// where the status has one.
std::string PortalMessage(PortalStatus status, const std::string& detail = {});

// PickColor's answer, three fractions 0..1, as bytes.
std::array<uint8_t, 3> PortalColourBytes(double r, double g, double b);

// The monitors as they lie in a screenshot of the whole desktop. Portals
// render the logical layout of every output at one scale into one picture,
// whatever each output's own scale; the picture's size gives that scale.
// Each monitor keeps its logical rectangle and gets the part of the picture
// that shows it, so the usual GlobalToDevice rules map a logical pointer
// position to a pixel of the picture. nullopt when the picture does not
// have the layout's proportions.
std::optional<std::vector<Monitor>> MonitorsInFrame(const std::vector<PixRect>& logicalScreens,
                                                    int frameWidth, int frameHeight);

} // namespace tp
