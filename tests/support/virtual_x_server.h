// A private Xorg with the dummy driver, arranged like a laptop with one
// external monitor: DUMMY0 1710x1112 at (0,0), primary (the built-in panel),
// DUMMY1 1280x960 to its right at (1710,0). The server dies with the process
// that started it, even when that process crashes.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

namespace seam::testing {

class VirtualXServer {
  public:
    enum class Monitors { two, one };

    // nullptr when no server could be started; lastError() says why.
    static std::unique_ptr<VirtualXServer> start();
    static const std::string& lastError();
    ~VirtualXServer();  // stops and reaps the server
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;

    int number() const { return number_; }
    std::string name() const { return ":" + std::to_string(number_); }
    std::string logFile() const;

    // Back to the standard arrangement (or the panel alone); false when xrandr failed.
    bool arrange(Monitors monitors = Monitors::two);
    // Runs xrandr with these arguments against this server; its standard output.
    // exitCode receives the exit status when given.
    std::string xrandr(const std::string& args, int* exitCode = nullptr) const;
    // Root position of an output as xrandr reports it, e.g. "1710x0+1280+0" parsed
    // into x and y; false when the output has no picture.
    bool outputPosition(const std::string& output, int& x, int& y) const;
    // The name of the primary output as xrandr reports it.
    std::string primaryOutput() const;

  private:
    VirtualXServer(int number, pid_t pid) : number_(number), pid_(pid) {}
    bool addModes();

    int number_;
    pid_t pid_;
};

}  // namespace seam::testing
