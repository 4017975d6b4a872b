#include "base/text.h"

#include <gtest/gtest.h>

#include <map>

namespace seam {
namespace {

EnvLookup envOf(std::map<std::string, std::string> vars) {
    return [vars = std::move(vars)](const char* name) -> const char* {
        auto it = vars.find(name);
        return it == vars.end() ? nullptr : it->second.c_str();
    };
}

TEST(LanguageTest, FirstPreferredLanguageDecides) {
    struct Case {
        std::map<std::string, std::string> env;
        bool korean;
    };
    const Case cases[] = {
        {{{"LANGUAGE", "ko_KR:en"}}, true},
        {{{"LANGUAGE", "en_KR:ko"}}, false},  // only the first language counts
        {{}, false},
        {{{"LANG", "ko_KR.UTF-8"}}, true},
        {{{"LANG", "C"}}, false},
        {{{"LANG", "POSIX"}}, false},
        {{{"LANG", "C.UTF-8"}}, false},
        {{{"LANGUAGE", ""}, {"LANG", "ko_KR.UTF-8"}}, true},  // empty list: next source
        {{{"LC_ALL", "en_US.UTF-8"}, {"LANG", "ko_KR.UTF-8"}}, false},
        {{{"LC_MESSAGES", "ko_KR.UTF-8"}, {"LANG", "en_US.UTF-8"}}, true},
        {{{"LANGUAGE", "ko"}, {"LC_ALL", "en_US.UTF-8"}}, true},
        {{{"LANG", "kok_IN"}}, true},  // begins with "ko", as the rule says
    };
    for (const Case& c : cases) {
        std::string label;
        for (const auto& [k, v] : c.env) label += k + "=" + v + " ";
        EXPECT_EQ(koreanFromEnvironment(envOf(c.env)), c.korean) << label;
    }
    EXPECT_EQ(preferredLanguage(envOf({})), "en");
}

}  // namespace
}  // namespace seam
