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

struct ScreenshotAnswer {
    PortalStatus status = PortalStatus::BadReply;
    std::string path; // the picture's file, for Ok
};
// The Response signal's code (0 success, 1 cancelled by the user, 2 ended
// another way) and the "uri" of its results, if there was one.
ScreenshotAnswer InterpretScreenshotResponse(uint32_t response,
                                             const std::optional<std::string>& uri);

// Whether the desktop's own one-shot colour picker (PickColor) is worth
// offering after a screenshot failed this way: only where the portal is
// there and answering but will not hand out the screen.
bool PickColorMayHelp(PortalStatus status);

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
