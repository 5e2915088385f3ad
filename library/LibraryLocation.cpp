#include "library/LibraryLocation.h"

#include <regex>

namespace tp {

bool IsServerLocation(const std::string& location) {
    static const std::regex uri("^\\s*postgres(ql)?://.*", std::regex::icase);
    // libpq's key=value form begins with one of its keywords and "=".
    static const std::regex keywords(
        "^\\s*(host|hostaddr|port|dbname|user|passfile|service|sslmode|sslcert|sslkey|"
        "sslrootcert|sslcrl|gssencmode|connect_timeout|application_name|options|"
        "target_session_attrs|channel_binding|requirepeer|krbsrvname|password)\\s*=.*");
    return std::regex_match(location, uri) || std::regex_match(location, keywords);
}

std::string ShownLocation(const std::string& location) {
    static const std::regex userinfo("^(\\s*postgres(?:ql)?://[^:@/?]*):[^@/?]*@",
                                     std::regex::icase);
    static const std::regex param("([?&](?:ssl)?password=)[^&]*", std::regex::icase);
    static const std::regex keyword("(\\b(?:ssl)?password\\s*=\\s*)('(?:[^'\\\\]|\\\\.)*'?|\\S*)",
                                    std::regex::icase);
    std::string s = std::regex_replace(location, userinfo, "$1:***@");
    if (IsServerLocation(location)) {
        s = std::regex_replace(s, param, "$1***");
        s = std::regex_replace(s, keyword, "$1***");
    }
    return s;
}

} // namespace tp
