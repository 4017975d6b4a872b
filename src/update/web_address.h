// Web addresses as the update logic needs them: the project host, and a strict
// reading of absolute addresses so the support rule can judge a host exactly.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace seam {

// The one host that serves the feed, the archive and the support and product pages.
inline constexpr std::string_view kProjectHost = "seamwright.org";

// "https://" + kProjectHost + path
std::string projectAddress(std::string_view path);

struct WebAddress {
    std::string scheme;                   // as written
    std::optional<std::string> userInfo;  // before an "@" in the authority
    std::optional<std::string> host;      // nothing when there is no "//" authority
    std::string port;                     // digits, possibly empty
    std::string rest;                     // path, query and fragment
};

// An absolute address (a scheme, then ":"), in printable ASCII without spaces
// or the characters addresses never carry raw; nothing otherwise.
std::optional<WebAddress> parseWebAddress(std::string_view text);

// ASCII lower case; addresses are ASCII.
std::string asciiLower(std::string_view s);

}  // namespace seam
