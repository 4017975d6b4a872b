#include "support/log_capture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/log.h"

namespace seam::testing {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "seamtest.XXXXXX").string();
    if (::mkdtemp(tmpl.data())) path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

LogCapture::LogCapture() : previous_(logPath()) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "seamlog.XXXXXX").string();
    if (::mkdtemp(tmpl.data())) folder_ = tmpl;
    path_ = folder_ + "/Seamwright.log";
    setLogPath(path_);
}

LogCapture::~LogCapture() {
    setLogPath(previous_);
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

std::vector<std::string> LogCapture::rawLines() const {
    std::vector<std::string> out;
    std::ifstream in(path_);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::vector<std::string> LogCapture::messages() const {
    std::vector<std::string> out;
    for (const auto& line : rawLines()) {
        const auto space = line.find(' ');
        out.push_back(space == std::string::npos ? line : line.substr(space + 1));
    }
    return out;
}

}  // namespace seam::testing
