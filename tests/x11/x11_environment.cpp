#include "x11_environment.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "support/log_capture.h"

namespace seam::testing {

namespace {

std::unique_ptr<VirtualXServer> server;
VirtualXServer* instead = nullptr;

// The tests look at windows of other processes, which may go at any moment;
// Xlib's default handler would end the whole test program on such a BadWindow.
// Code that cares about errors traps them itself.
int reportError(Display*, XErrorEvent* e) {
    std::fprintf(stderr, "X error %d (request %d) ignored\n", e->error_code, e->request_code);
    return 0;
}

class VirtualXEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        server = VirtualXServer::start();
        ASSERT_NE(server, nullptr) << VirtualXServer::lastError();
        ::setenv("DISPLAY", server->name().c_str(), 1);
        XSetErrorHandler(reportError);
    }
    // Also runs when tests failed; a crash is covered by the server's death signal.
    void TearDown() override { server.reset(); }
};

[[maybe_unused]] const auto* registered =
    ::testing::AddGlobalTestEnvironment(new VirtualXEnvironment);

}  // namespace

VirtualXServer* xserver() {
    return instead ? instead : server.get();
}

UseServer::UseServer(VirtualXServer& other) {
    instead = &other;
    ::setenv("DISPLAY", other.name().c_str(), 1);
}

UseServer::~UseServer() {
    instead = nullptr;
    if (server) ::setenv("DISPLAY", server->name().c_str(), 1);
}

unsigned long outputId(const std::string& name) {
    if (!xserver()) return 0;
    Display* d = XOpenDisplay(xserver()->name().c_str());
    if (!d) return 0;
    unsigned long id = 0;
    if (XRRScreenResources* res = XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d))) {
        for (int i = 0; i < res->noutput && !id; ++i) {
            XRROutputInfo* info = XRRGetOutputInfo(d, res, res->outputs[i]);
            if (info && name == std::string(info->name, info->nameLen)) id = res->outputs[i];
            if (info) XRRFreeOutputInfo(info);
        }
        XRRFreeScreenResources(res);
    }
    XCloseDisplay(d);
    return id;
}

ProgramRun runProgram(const std::string& arguments, const std::string& environment) {
    TempDir state;  // keeps the program's log out of the home folder
    const std::string cmd = environment + " XDG_STATE_HOME=" + state.path() +
                            " DISPLAY=" + server->name() + " " SEAM_BINARY_DIR "/seamwright " +
                            arguments;
    return runCommand(cmd);
}

}  // namespace seam::testing
