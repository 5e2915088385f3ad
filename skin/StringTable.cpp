#include "skin/StringTable.h"

namespace tp {

StringTable StringTable::parse(std::string_view text) {
    StringTable table;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = end + 1;
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0) continue;
        table.entries_[std::string(line.substr(0, eq))] = std::string(line.substr(eq + 1));
    }
    return table;
}

std::string StringTable::value(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? std::string() : it->second;
}

std::string SkinCaption(const StringTable* table, const std::string& key,
                        const std::string& builtIn) {
    return table ? table->value(key) : builtIn;
}

} // namespace tp
