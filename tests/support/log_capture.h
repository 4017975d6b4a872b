// Points the log at a fresh temporary file for one test and reads it back.
#pragma once

#include <string>
#include <vector>

namespace seam::testing {

class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Message parts of the lines written so far (timestamp and its space removed).
    std::vector<std::string> messages() const;
    std::vector<std::string> rawLines() const;
    const std::string& path() const { return path_; }
    const std::string& folder() const { return folder_; }

  private:
    std::string folder_;
    std::string path_;
    std::string previous_;
};

// A fresh temporary folder, removed with its contents on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace seam::testing
