#include "window_manager.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "program_on_x.h"
#include "support/command.h"
#include "x11_environment.h"

namespace seam::testing {

namespace {

std::string lastErrorText;

// No bindings at all: a manager's own keys would be grabbed before ours. The
// bar runs no status command, so nothing but the manager and its bar start.
// The first line keeps i3 from reading a file without bindings as an old format.
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

std::unique_ptr<WindowManager> WindowManager::start(Kind kind) {
    std::unique_ptr<WindowManager> wm(new WindowManager);
    const std::string& home = wm->home_.path();
    // Sockets, settings and caches go into our folder, not /tmp, /run or the home folder.
    std::vector<std::string> env = {"HOME=" + home, "XDG_RUNTIME_DIR=" + home,
                                    "XDG_CONFIG_HOME=" + home, "XDG_CACHE_HOME=" + home,
                                    "XDG_DATA_HOME=" + home};
    std::vector<std::string> argv;
    if (kind == Kind::i3) {
        std::ofstream(home + "/i3.conf") << kI3Config << "ipc-socket " << home << "/ipc\n";
        argv = {"i3", "-c", home + "/i3.conf"};
        wm->selections_ = {"WM_S0", "_NET_SYSTEM_TRAY_S0"};
    } else {
        argv = {"dbus-run-session", "--", "xfwm4", "--compositor=on"};
        env.push_back("NO_AT_BRIDGE=1");  // no accessibility bus to start and leave behind
        wm->selections_ = {"WM_S0", "_NET_WM_CM_S0"};
    }
    if (!wm->launch(argv, env)) return nullptr;
    lastErrorText.clear();
    if (!wm->waitReady()) {
        lastErrorText = argv[0] + " did not take the screen: " + lastErrorText + wm->output();
        wm->stop();
        return nullptr;
    }
    return wm;
}

bool WindowManager::launch(const std::vector<std::string>& argv,
                           const std::vector<std::string>& env) {
    {
        Connection c;
        if (!c.get()) {
            lastErrorText = "no connection to " + xserver()->name();
            return false;
        }
        if (c.owner("WM_S0") != None) {
            lastErrorText = "another window manager already runs";
            return false;
        }
        int n = 0;
        Atom* atoms = XListProperties(c.get(), c.root(), &n);
        rootProperties_.assign(atoms, atoms + n);
        if (atoms) XFree(atoms);
    }
    const std::string output = home_.path() + "/output";
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
        // Dies with the tests however they end; what it started follows when the
        // server or its own socket goes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(1);
        ::setpgid(0, 0);
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    if (pid_ < 0) {
        lastErrorText = "fork failed";
        return false;
    }
    ::setpgid(pid_, pid_);  // also here, so a stop right away reaches the group
    return true;
}

bool WindowManager::waitReady() {
    Connection c;
    return eventually([&] {
               int status = 0;
               if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                   pid_ = -1;
                   if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
                       lastErrorText = "not installed; scripts/deps.sh installs it\n";
                   return true;  // gone: reported below
               }
               return std::all_of(selections_.begin(), selections_.end(),
                                  [&](const std::string& s) { return c.owner(s.c_str()) != None; });
           }) &&
           pid_ > 0;
}

bool WindowManager::hostsTray() const {
    return std::find(selections_.begin(), selections_.end(), "_NET_SYSTEM_TRAY_S0") !=
           selections_.end();
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
    if (!c.get()) return false;
    // i3bar runs in a session of its own; it leaves when its manager's socket closes.
    clean =
        eventually([&] {
            return std::none_of(selections_.begin(), selections_.end(),
                                [&](const std::string& s) { return c.owner(s.c_str()) != None; });
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
    return fileText(home_.path() + "/output");
}

}  // namespace seam::testing
