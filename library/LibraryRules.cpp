#include "library/LibraryRules.h"

#include "base/Convert.h"

#include <algorithm>
#include <cstdio>

namespace tp {

std::string DefaultColorName(const TRGB& rgb) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2X%2X%2X", unsigned(rgb.r), unsigned(rgb.g), unsigned(rgb.b));
    return buf;
}

std::optional<int64_t> ParseIntField(const std::string& text, const std::string& label,
                                     IntFieldRange range) {
    if (text.find_first_not_of(' ') == std::string::npos) return std::nullopt;
    // Only an optional sign and decimal digits count as an integer here;
    // the value is checked against the range before it could overflow.
    size_t i = text.find_first_not_of(' ');
    size_t end = text.find_last_not_of(' ') + 1;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    const std::string invalid =
        "'" + text + "' is not a valid integer value for field '" + label + "'";
    if (i >= end) throw Error(invalid);
    long double value = 0;
    for (size_t k = i; k < end; ++k) {
        if (text[k] < '0' || text[k] > '9') throw Error(invalid);
        value = value * 10 + (text[k] - '0');
    }
    if (negative) value = -value;
    if (value < static_cast<long double>(range.min) ||
        value > static_cast<long double>(range.max)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15Lg", value);
        throw Error(std::string(buf) + " is not a valid value for field '" + label +
                    "'. The allowed range is " + std::to_string(range.min) + " to " +
                    std::to_string(range.max));
    }
    return static_cast<int64_t>(value);
}

bool IsNumericCellChar(char32_t c) {
    return c == U'+' || c == U'-' || (c >= U'0' && c <= U'9');
}

int StoredLength(const std::u32string& text) {
    int n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'\n' && (i == 0 || text[i - 1] != U'\r'))
            n += 2;
        else
            n += 1;
    }
    return n;
}

FittedEdit FitEdit(const std::u32string& before, const std::u32string& after, int limit,
                   bool crlf) {
    auto length = [crlf](const std::u32string& t) {
        return crlf ? StoredLength(t) : static_cast<int>(t.size());
    };
    if (length(after) <= limit) return {after, after.size()};
    // The edit replaced before[p, before.size() - s) with after[p, after.size() - s).
    size_t p = 0;
    const size_t shorter = std::min(before.size(), after.size());
    while (p < shorter && before[p] == after[p])
        ++p;
    size_t s = 0;
    while (s < shorter - p && before[before.size() - 1 - s] == after[after.size() - 1 - s])
        ++s;
    const std::u32string head = after.substr(0, p);
    const std::u32string tail = after.substr(after.size() - s);
    const std::u32string inserted = after.substr(p, after.size() - p - s);
    // A first guess from the room left, then exact counts: a line break's
    // cost depends on its neighbours.
    int room = limit - length(head + tail);
    size_t keep = 0;
    while (keep < inserted.size() && room > 0) {
        const bool pair = crlf && inserted[keep] == U'\n' &&
                          (keep > 0 ? inserted[keep - 1] : (p > 0 ? head.back() : 0)) != U'\r';
        room -= pair ? 2 : 1;
        if (room < 0) break;
        ++keep;
    }
    std::u32string text = head + inserted.substr(0, keep) + tail;
    while (keep > 0 && length(text) > std::max(limit, length(head + tail))) {
        --keep;
        text = head + inserted.substr(0, keep) + tail;
    }
    return {text, p + keep};
}

std::string WithCrLf(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size() + 8);
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) out += '\r';
        out += utf8[i];
    }
    return out;
}

const std::vector<MsgButtonInfo>& MessageButtons() {
    static const std::vector<MsgButtonInfo> table = {
        {mbYes, "Yes", "MSG_BTN_YES", 6},
        {mbNo, "No", "MSG_BTN_NO", 7},
        {mbOK, "OK", "MSG_BTN_OK", 1},
        {mbCancel, "Cancel", "MSG_BTN_CANCEL", 2},
        {mbAbort, "Abort", "MSG_BTN_ABORT", 3},
        {mbRetry, "Retry", "MSG_BTN_RETRY", 4},
        {mbIgnore, "Ignore", "MSG_BTN_IGNORE", 5},
        {mbAll, "All", "MSG_BTN_ALL", 8},
        {mbNoToAll, "NoToAll", "MSG_BTN_NOTOALL", 9},
        {mbYesToAll, "YesToAll", "MSG_BTN_YESTOALL", 10},
        {mbHelp, "Help", "MSG_BTN_HELP", 0},
    };
    return table;
}

const char* MessageCaptionKey(int kind) {
    switch (kind) {
    case mtWarning:
        return "MSG_CAP_WARNING";
    case mtError:
        return "MSG_CAP_ERROR";
    case mtInformation:
        return "MSG_CAP_INFORMATION";
    case mtConfirmation:
        return "MSG_CAP_CONFIRM";
    default:
        return nullptr;
    }
}

namespace {
// The text starts right of the icon and keeps a margin on its right.
constexpr int LabelLeft = 50, LabelRightMargin = 40;
} // namespace

int MessageTextWidth(int maxWidth) {
    return std::max(1, maxWidth - LabelLeft - LabelRightMargin);
}

MessageLayout LayoutMessageBox(int labelWidth, int labelHeight, int buttons, int buttonHeight,
                               int minWidth, int maxWidth) {
    constexpr int ButtonWidth = 70, Gap = 10;
    MessageLayout m;
    m.label = {LabelLeft, 15, labelWidth, labelHeight};
    m.icon = {5, std::max(10, m.label.top + m.label.height / 2 - 16), 32, 32};
    for (const auto& b : MessageButtons())
        if (buttons & b.bit) m.buttonBits.push_back(b.bit);
    const int n = static_cast<int>(m.buttonBits.size());
    const int row = n == 0 ? 0 : ButtonWidth * n + Gap * (n - 1);
    m.clientHeight = buttonHeight + labelHeight + 50;
    m.clientWidth = std::max(row, m.label.left + m.label.width) + LabelRightMargin;
    m.clientWidth = std::clamp(m.clientWidth, minWidth, std::max(minWidth, maxWidth));
    int left = (m.clientWidth - row) / 2;
    for (int i = 0; i < n; ++i, left += ButtonWidth + Gap)
        m.buttons.push_back({left, m.clientHeight - buttonHeight - 10, ButtonWidth, buttonHeight});
    m.defaultBit = (buttons & mbOK)      ? mbOK
                   : (buttons & mbYes)   ? mbYes
                   : (buttons & mbRetry) ? mbRetry
                                         : 0;
    m.cancelBit = (buttons & mbCancel) ? mbCancel
                  : (buttons & mbNo)   ? mbNo
                  : (buttons & mbOK)   ? mbOK
                                       : 0;
    return m;
}

} // namespace tp
