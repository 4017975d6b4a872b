#include "update/features.h"

#include "base/text.h"
#include "update/web_address.h"

namespace seam::Features {

std::string supportURL(bool korean) {
    return projectAddress(korean ? "/dazodezarav/support" : "/dazodezarav/support/en");
}

std::string supportURL() {
    return supportURL(isKorean());
}

std::string pageURL() {
    return projectAddress(isKorean() ? "/dazodezarav/seamwright" : "/dazodezarav/seamwright/en");
}

}  // namespace seam::Features
