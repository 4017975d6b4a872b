// The program's log: one line per event, appended to one file.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace seam {

// "2026-12-06T18:51:35Z message" (with "dry-run " before the message in dry-run mode).
std::string logLine(std::string_view message, std::time_t now, bool dryRun);

// Set once at start-up. An empty path loses every line.
void setLogPath(std::string path);
const std::string& logPath();

// Appends one line to the log file; never fails towards the caller and never
// creates folders.
void log(std::string_view message);

}  // namespace seam
