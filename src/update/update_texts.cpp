#include "update/update_texts.h"

#include "base/text.h"

namespace seam::UpdateTexts {

std::string ok() {
    return T("확인", "OK");
}

std::string upToDate(const std::string& current) {
    return T("지금 쓰시는 " + current + "이 최신 버전이에요.",
             "You’re up to date (" + current + ").");
}

std::string checkFailed() {
    return T("업데이트 정보를 가져오지 못했어요. 잠시 뒤 다시 해 주세요.",
             "Couldn’t check for updates. Please try again later.");
}

std::string offerMessage(const std::string& version) {
    return T("새 버전 " + version + "이 있어요", "Seamwright " + version + " is available");
}

std::string offerInformative(const std::optional<std::string>& notes) {
    std::string text = notes ? *notes + "\n\n" : std::string();
    return text + T("지금 업데이트하면 앱이 잠깐 꺼졌다가 다시 켜져요.",
                    "The app will quit and reopen to finish the update.");
}

std::string updateNow() {
    return T("지금 업데이트", "Update Now");
}
std::string later() {
    return T("나중에", "Later");
}

std::string alreadyInstalling() {
    return T("업데이트를 이미 설치하고 있어요. 끝나면 앱이 다시 켜져요.",
             "An update is already being installed. The app will reopen when it’s done.");
}

std::string installFailed() {
    return T("업데이트를 끝내지 못했어요. 내려받기 페이지를 열게요.",
             "Couldn’t finish the update. Opening the download page.");
}

}  // namespace seam::UpdateTexts
