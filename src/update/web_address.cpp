#include "update/web_address.h"

namespace seam {

namespace {

bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHex(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Characters that may appear raw anywhere in an address (RFC 3986 unreserved,
// reserved and "%").
bool allowedRaw(char c) {
    return isAlpha(c) || isDigit(c) ||
           std::string_view("-._~:/?#[]@!$&'()*+,;=%").find(c) != std::string_view::npos;
}

bool hostChar(char c) {
    return isAlpha(c) || isDigit(c) ||
           std::string_view("-._~%!$&'()*+,;=").find(c) != std::string_view::npos;
}

bool validHost(std::string_view h) {
    if (h.empty()) return false;
    if (h.front() == '[') {
        if (h.back() != ']' || h.size() < 3) return false;
        for (char c : h.substr(1, h.size() - 2))
            if (!(isHex(c) || c == ':' || c == '.')) return false;
        return true;
    }
    for (char c : h)
        if (!hostChar(c)) return false;
    return true;
}

}  // namespace

std::string projectAddress(std::string_view path) {
    std::string s = "https://";
    s += kProjectHost;
    s += path;
    return s;
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::optional<WebAddress> parseWebAddress(std::string_view text) {
    if (text.empty()) return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!allowedRaw(c)) return std::nullopt;
        if (c == '%' && (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])))
            return std::nullopt;
    }
    if (const auto hash = text.find('#');
        hash != std::string_view::npos && text.find('#', hash + 1) != std::string_view::npos)
        return std::nullopt;

    WebAddress a;
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isAlpha(text[0])) return std::nullopt;
    for (char c : text.substr(0, colon))
        if (!(isAlpha(c) || isDigit(c) || c == '+' || c == '-' || c == '.')) return std::nullopt;
    a.scheme = std::string(text.substr(0, colon));
    std::string_view tail = text.substr(colon + 1);
    if (tail.substr(0, 2) != "//") {
        a.rest = std::string(tail);
        return a;
    }
    tail.remove_prefix(2);
    const auto end = tail.find_first_of("/?#");
    std::string_view authority = tail.substr(0, end);
    a.rest = end == std::string_view::npos ? std::string() : std::string(tail.substr(end));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        a.userInfo = std::string(authority.substr(0, at));
        if (a.userInfo->find_first_of("[]") != std::string::npos) return std::nullopt;
        authority.remove_prefix(at + 1);
    }
    std::string_view host = authority;
    const auto portColon = authority.rfind(':');
    if (portColon != std::string_view::npos &&
        (authority.front() != '[' || authority.find(']') < portColon)) {
        host = authority.substr(0, portColon);
        for (char c : authority.substr(portColon + 1))
            if (!isDigit(c)) return std::nullopt;
        a.port = std::string(authority.substr(portColon + 1));
    }
    if (!validHost(host)) return std::nullopt;
    a.host = std::string(host);
    return a;
}

}  // namespace seam
