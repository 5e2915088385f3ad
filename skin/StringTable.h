#pragma once
// The skin's table of localised captions: lines of key=value. Controls ask
// for a key; a key the table lacks gives an empty caption, while a control
// with no table at all falls back to its built-in English text.
#include <map>
#include <string>
#include <string_view>

namespace tp {

class StringTable {
public:
    StringTable() = default;
    // Parses key=value lines (CR LF or LF). Blank lines and lines starting
    // with ';' or '#' are skipped; a line without '=' is ignored. Only the
    // first '=' separates, so values may contain '='.
    static StringTable parse(std::string_view text);

    // The value for key, or "" when the key is missing.
    std::string value(const std::string& key) const;
    bool contains(const std::string& key) const { return entries_.count(key) != 0; }
    size_t size() const { return entries_.size(); }

private:
    std::map<std::string, std::string> entries_;
};

// The caption a skinned control shows: the table's value when there is a
// table, else the control's own English text.
std::string SkinCaption(const StringTable* table, const std::string& key,
                        const std::string& builtIn);

} // namespace tp
