#include "window_manager.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "program_on_x.h"
#include "x11_environment.h"

namespace seam::testing {

namespace {

std::string lastErrorText;

// No bindings at all: a manager's own keys would be grabbed before ours. The
// bar runs no status command, so nothing but the manager and its bar start.
const char* const kI3Config = R"(# i3 config file (v4)
font pango:DejaVu Sans 9
bar {
    tray_output primary
}
)";

class Connection {
  public:
    Connection() : d_(XOpenDisplay(xserver()->name().c_str())) {}
    ~Connection() {
        if (d_) XCloseDisplay(d_);
    }
    Display* get() const { return d_; }
    Window root() const { return DefaultRootWindow(d_); }
    Window owner(const char* selection) const {
        return XGetSelectionOwner(d_, XInternAtom(d_, selection, False));
    }

  private:
    Display* d_;
};

bool waitExit(pid_t pid, double seconds) {
    return eventually(
        [&] {
            int status = 0;
            return ::waitpid(pid, &status, WNOHANG) == pid;
        },
        seconds);
}

}  // namespace

const std::string& WindowManager::lastError() {
    return lastErrorText;
}

std::unique_ptr<WindowManager> WindowManager::startI3() {
    std::unique_ptr<WindowManager> wm(new WindowManager);
    wm->hostsTray_ = true;
    const std::string config = wm->home_.path() + "/config";
    std::ofstream(config) << kI3Config << "ipc-socket " << wm->home_.path() << "/ipc\n";
    {
        Connection c;
        if (!c.get()) {
            lastErrorText = "no connection to " + xserver()->name();
            return nullptr;
        }
        if (c.owner("WM_S0") != None) {
            lastErrorText = "another window manager already runs";
            return nullptr;
        }
        int n = 0;
        Atom* atoms = XListProperties(c.get(), c.root(), &n);
        wm->rootProperties_.assign(atoms, atoms + n);
        if (atoms) XFree(atoms);
    }
    const std::string output = wm->home_.path() + "/output";
    const std::string runtime = wm->home_.path();
    const pid_t parent = ::getpid();
    wm->pid_ = ::fork();
    if (wm->pid_ == 0) {
        // Dies with the tests however they end; i3bar follows when i3's socket closes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(1);
        ::setpgid(0, 0);
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        // Its sockets and logs go into our folder, not /tmp or /run.
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::execlp("i3", "i3", "-c", config.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (wm->pid_ < 0) {
        lastErrorText = "fork failed";
        return nullptr;
    }
    ::setpgid(wm->pid_, wm->pid_);  // also here, so a stop right away reaches the group
    if (!wm->waitReady()) {
        lastErrorText = "i3 did not take the screen and the tray:\n" + wm->output();
        wm->stop();
        return nullptr;
    }
    return wm;
}

bool WindowManager::waitReady() {
    Connection c;
    return eventually([&] {
               int status = 0;
               if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                   pid_ = -1;
                   return true;  // gone: reported below
               }
               return c.owner("WM_S0") != None &&
                      (!hostsTray_ || c.owner("_NET_SYSTEM_TRAY_S0") != None);
           }) &&
           pid_ > 0;
}

bool WindowManager::stop() {
    if (pid_ <= 0) return true;
    bool clean = true;
    ::kill(-pid_, SIGTERM);
    if (!waitExit(pid_, 5)) {
        clean = false;
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    Connection c;
    // The bar is started in a session of its own; it leaves when its manager's socket closes.
    clean = eventually([&] {
                return c.owner("WM_S0") == None && c.owner("_NET_SYSTEM_TRAY_S0") == None;
            }) &&
            clean;
    // What the manager advertised on the root window would tell later clients a
    // manager is still there.
    int n = 0;
    Atom* atoms = XListProperties(c.get(), c.root(), &n);
    for (int i = 0; i < n; ++i)
        if (std::find(rootProperties_.begin(), rootProperties_.end(), atoms[i]) ==
            rootProperties_.end())
            XDeleteProperty(c.get(), c.root(), atoms[i]);
    if (atoms) XFree(atoms);
    XSetInputFocus(c.get(), PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(c.get(), False);
    return clean;
}

WindowManager::~WindowManager() {
    stop();
}

std::string WindowManager::output() const {
    std::ifstream in(home_.path() + "/output");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace seam::testing
