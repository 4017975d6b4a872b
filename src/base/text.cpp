#include "base/text.h"

namespace seam {

namespace {
bool gKorean = false;

std::string localeLanguage(std::string value) {
    // "ko_KR.UTF-8@euro" -> "ko_KR"; the C locale in any spelling is English.
    const auto cut = value.find_first_of(".@");
    const std::string bare = value.substr(0, cut);
    if (bare.empty() || bare == "C" || bare == "POSIX") return "en";
    return bare;
}
}  // namespace

std::string preferredLanguage(const EnvLookup& env) {
    if (const char* list = env("LANGUAGE"); list && *list) {
        std::string first(list);
        first = first.substr(0, first.find(':'));
        if (!first.empty()) return localeLanguage(first);
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* v = env(name); v && *v) return localeLanguage(v);
    }
    return "en";
}

bool koreanFromEnvironment(const EnvLookup& env) {
    return preferredLanguage(env).rfind("ko", 0) == 0;
}

void setKorean(bool korean) {
    gKorean = korean;
}
bool isKorean() {
    return gKorean;
}

std::string T(std::string_view ko, std::string_view en) {
    return std::string(gKorean ? ko : en);
}

}  // namespace seam
