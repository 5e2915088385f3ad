#include "platform/PortalRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tp {

std::string PortalRequestPath(std::string_view uniqueName, std::string_view token) {
    std::string sender(uniqueName.starts_with(':') ? uniqueName.substr(1) : uniqueName);
    std::replace(sender.begin(), sender.end(), '.', '_');
    return "/org/freedesktop/portal/desktop/request/" + sender + "/" + std::string(token);
}

namespace {
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<std::string> FileUriToPath(std::string_view uri) {
    constexpr std::string_view scheme = "file://";
    if (uri.size() < scheme.size()) return std::nullopt;
    for (size_t i = 0; i < scheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(uri[i])) != scheme[i]) return std::nullopt;
    std::string_view rest = uri.substr(scheme.size());
    // file:///p and file://localhost/p name this machine; any other host
    // names a file the program cannot open.
    if (rest.starts_with("localhost/")) rest.remove_prefix(9);
    if (!rest.starts_with('/')) return std::nullopt;
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '?' || rest[i] == '#') break;
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        if (i + 2 >= rest.size()) return std::nullopt;
        const int hi = hexValue(rest[i + 1]), lo = hexValue(rest[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        const char decoded = static_cast<char>(hi * 16 + lo);
        if (decoded == '\0') return std::nullopt;
        path += decoded;
        i += 2;
    }
    return path;
}

ScreenshotPermission PermissionFromEntry(const std::optional<std::vector<std::string>>& values) {
    if (!values) return ScreenshotPermission::NotAsked;
    if (!values->empty() && (*values)[0] == "yes") return ScreenshotPermission::Granted;
    if (!values->empty() && (*values)[0] == "no") return ScreenshotPermission::Denied;
    return ScreenshotPermission::NotAsked;
}

Desktop DesktopOf(std::string_view xdgCurrentDesktop) {
    // A colon-separated list, most specific first ("ubuntu:GNOME").
    bool wlroots = false;
    while (!xdgCurrentDesktop.empty()) {
        const size_t colon = xdgCurrentDesktop.find(':');
        std::string name(xdgCurrentDesktop.substr(0, colon));
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "gnome" || name == "gnome-classic") return Desktop::Gnome;
        if (name == "kde") return Desktop::Kde;
        if (name == "sway" || name == "hyprland" || name == "river" || name == "wayfire" ||
            name == "labwc" || name == "wlroots")
            wlroots = true;
        if (colon == std::string_view::npos) break;
        xdgCurrentDesktop.remove_prefix(colon + 1);
    }
    return wlroots ? Desktop::Wlroots : Desktop::Other;
}

bool PermissionDialogMayShow(ScreenshotPermission before) {
    return before == ScreenshotPermission::NotAsked;
}

ScreenshotAnswer InterpretScreenshotResponse(uint32_t response,
                                             const std::optional<std::string>& uri,
                                             const RequestContext& context) {
    if (response != 0) {
        const bool personsTime = context.elapsedMs >= HumanAnswerMs;
        // The permission the desktop asked for is still not stored: its
        // dialog went unanswered.
        if (PermissionDialogMayShow(context.before) &&
            context.after == ScreenshotPermission::NotAsked && personsTime)
            return {PortalStatus::NotAnswered, {}};
        if (response == 1) {
            // Only a dialog can be cancelled: none shows where the permission
            // is granted or on KDE (whose back end says 1 when its capture
            // fails), and nobody answers one this quickly.
            const bool dialog =
                context.before != ScreenshotPermission::Granted && context.desktop != Desktop::Kde;
            if (dialog && personsTime) return {PortalStatus::Cancelled, {}};
            return {PortalStatus::NoPicture, {}};
        }
        return {PortalStatus::Refused, {}};
    }
    if (!uri) return {PortalStatus::BadReply, {}};
    auto path = FileUriToPath(*uri);
    if (!path) return {PortalStatus::BadReply, {}};
    return {PortalStatus::Ok, std::move(*path)};
}

bool PickColorMayHelp(PortalStatus status) {
    return status == PortalStatus::Refused || status == PortalStatus::Unsupported ||
           status == PortalStatus::NoPicture;
}

const char* const GrantScreenshotCommand =
    "gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore "
    "--object-path /org/freedesktop/impl/portal/PermissionStore "
    "--method org.freedesktop.impl.portal.PermissionStore.SetPermission "
    "screenshot true screenshot \"\" \"['yes']\"";

namespace {
constexpr const char* Backends =
    "GNOME 需要 xdg-desktop-portal-gnome，KDE Plasma 需要 xdg-desktop-portal-kde，"
    "sway 等 wlroots 桌面需要 xdg-desktop-portal-wlr、xdg-desktop-portal-gtk 和 pipewire";
// Where the permission is granted. GNOME's Settings (Apps, called
// Applications before GNOME 46, then the program, then Screenshots) lists it
// only for programs installed through Flatpak or Snap; GNOME has no
// screenshot page under Privacy.
std::string Grant() {
    return std::string("在终端运行 ") + GrantScreenshotCommand +
           "（装有 flatpak 时也可运行 flatpak permission-set screenshot screenshot \"\" yes）；"
           "从 Flatpak 或 Snap 安装的程序也可在 GNOME 设置 → 应用（GNOME 43–45 为“应用程序”）"
           "→ 本程序 → 截屏 中打开。";
}
std::string Allow() {
    return "请允许本程序截屏：" + Grant() + "然后重试。";
}
} // namespace

std::string PortalMessage(PortalStatus status, const std::string& detail) {
    switch (status) {
    case PortalStatus::Ok:
        return {};
    case PortalStatus::Cancelled:
        return "截屏已取消，没有取色。";
    case PortalStatus::Refused:
        return std::string("桌面拒绝了截屏请求，无法读取屏幕。") + Allow();
    case PortalStatus::Unsupported:
        return std::string("桌面门户不肯截取屏幕") + (detail.empty() ? "" : "（" + detail + "）") +
               "。" + Allow();
    case PortalStatus::NoPicture:
        return std::string("桌面门户没有截取屏幕就答复了（并非用户取消），也没有给出取色器。"
                           "请确认与桌面相配的门户后端（") +
               Backends + "）运行正常，然后重试。";
    case PortalStatus::NotAnswered:
        return "桌面正在询问是否允许本程序截屏，但没有收到答复，所以没有取色。"
               "请再取一次色，并在桌面的对话框中选择“允许”（GNOME 的门户只等约 25 秒）；"
               "或者先授予截屏权限：" +
               Grant();
    case PortalStatus::Timeout:
        return "桌面门户在 " + detail +
               " 秒内没有答复截屏请求。请确认 xdg-desktop-portal 及与桌面相配的后端正在运行（" +
               Backends + "），然后重试。";
    case PortalStatus::NoBus:
        return "无法读取屏幕：找不到 D-Bus 会话总线，无法向桌面门户请求截屏。"
               "请在图形桌面会话中启动本程序（需要 dbus-user-session 或 dbus-x11）。";
    case PortalStatus::NoPortal:
        return std::string("无法读取屏幕：桌面门户 xdg-desktop-portal 没有运行。请安装 "
                           "xdg-desktop-portal 和与桌面相配的后端（") +
               Backends + "），然后重新登录。";
    case PortalStatus::NoScreenshot:
        return std::string("无法读取屏幕：桌面门户没有截屏接口 org.freedesktop.portal.Screenshot。"
                           "请安装与桌面相配的门户后端（") +
               Backends + "），然后重新登录。";
    case PortalStatus::BadReply:
        return "桌面门户的答复中没有可读取的截图文件，无法读取屏幕。";
    case PortalStatus::Unreadable:
        return "无法读取桌面门户保存的截图 " + detail + "。";
    case PortalStatus::FrameMismatch:
        return "桌面门户的截图（" + detail + "）与显示器的布局不符，无法确定取色位置。";
    }
    return {};
}

std::array<uint8_t, 3> PortalColourBytes(double r, double g, double b) {
    auto byte = [](double f) {
        if (!(f > 0)) return uint8_t{0};
        if (f >= 1) return uint8_t{255};
        return static_cast<uint8_t>(std::nearbyint(f * 255.0));
    };
    return {byte(r), byte(g), byte(b)};
}

std::optional<std::vector<Monitor>> MonitorsInFrame(const std::vector<PixRect>& logicalScreens,
                                                    int frameWidth, int frameHeight) {
    PixRect all;
    for (const PixRect& r : logicalScreens)
        all = Unite(all, r);
    if (all.empty() || frameWidth <= 0 || frameHeight <= 0) return std::nullopt;
    const double scale = double(frameWidth) / all.width;
    // The picture's height must agree with the same scale, give or take the
    // rounding of a fractional one.
    if (std::abs(all.height * scale - frameHeight) > std::max(1.0, scale)) return std::nullopt;
    auto at = [&](int logical, int origin, int limit) {
        return std::clamp(static_cast<int>(std::lround((logical - origin) * scale)), 0, limit);
    };
    std::vector<Monitor> out;
    for (const PixRect& r : logicalScreens) {
        const int l = at(r.left, all.left, frameWidth), t = at(r.top, all.top, frameHeight);
        // A monitor on the layout's far edge reaches the picture's edge, which
        // a fractional scale may have rounded to a pixel more or less.
        const int rt = r.right() == all.right() ? frameWidth : at(r.right(), all.left, frameWidth);
        const int b =
            r.bottom() == all.bottom() ? frameHeight : at(r.bottom(), all.top, frameHeight);
        out.push_back({r, scale, {l, t, rt - l, b - t}});
    }
    return out;
}

} // namespace tp
