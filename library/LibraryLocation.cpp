#include "library/LibraryLocation.h"

#include <regex>

namespace tp {

namespace {
bool IsUri(const std::string& location) {
    static const std::regex uri("^\\s*postgres(ql)?://.*", std::regex::icase);
    return std::regex_match(location, uri);
}
} // namespace

bool IsServerLocation(const std::string& location) {
    // libpq's key=value form begins with one of its keywords and "=".
    static const std::regex keywords(
        "^\\s*(host|hostaddr|port|dbname|user|passfile|service|sslmode|sslcert|sslkey|"
        "sslrootcert|sslcrl|gssencmode|connect_timeout|application_name|options|"
        "target_session_attrs|channel_binding|requirepeer|krbsrvname|password)\\s*=.*");
    return IsUri(location) || std::regex_match(location, keywords);
}

std::string ShownLocation(const std::string& location) {
    if (IsUri(location)) {
        static const std::regex userinfo("^(\\s*postgres(?:ql)?://[^:@/?]*):[^@/?]*@",
                                         std::regex::icase);
        static const std::regex param("([?&](?:ssl)?password=)[^&]*", std::regex::icase);
        return std::regex_replace(std::regex_replace(location, userinfo, "$1:***@"), param,
                                  "$1***");
    }
    if (!IsServerLocation(location)) return location;
    // A quoted value may hold blanks and quotes escaped by a backslash.
    static const std::regex keyword("(\\b(?:ssl)?password\\s*=\\s*)('(?:[^'\\\\]|\\\\.)*'?|\\S*)",
                                    std::regex::icase);
    return std::regex_replace(location, keyword, "$1***");
}

} // namespace tp
