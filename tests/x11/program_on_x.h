// The real program on the virtual desktop and a user at its keyboard and mouse,
// for the tests that drive it only through the X server.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "layouts/saved_layout.h"
#include "shell/hot_key_spec.h"
#include "support/log_capture.h"
// After gtest: Xlib's macros clash with its names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace seam::testing {

// The program as a child process with its own settings and log.
class Program {
  public:
    // prepare runs before the start with the program's settings folder
    // (XDG_CONFIG_HOME), to put settings in place; environment adds or replaces
    // variables ("NAME=value"). Without DBUS_SESSION_BUS_ADDRESS among them it
    // has no session bus.
    // binary: a program file in the build folder.
    explicit Program(const std::function<void(const std::string& configHome)>& prepare = {},
                     const std::vector<std::string>& environment = {},
                     const std::string& binary = "seamwright");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    const std::string& home() const { return home_.path(); }
    std::string logText() const;
    // Waits for a log line containing text; a child process has no other signal.
    bool waitForLog(const std::string& text, int seconds = 10) const;
    // True once the process has ended by itself within that time.
    bool waitForExit(int seconds = 10);
    // Its exit status once waitForExit saw it end; -1 before, or when a signal ended it.
    int exitCode() const { return exitCode_; }
    // How many times text occurs in the log.
    int logCount(const std::string& text) const;

  private:
    TempDir home_;
    pid_t pid_ = -1;
    int exitCode_ = -1;
};

// Output properties set as another client would: the EDID a monitor sends, its
// DRM connector number. What it set goes when it does.
class OutputProperties {
  public:
    OutputProperties();
    ~OutputProperties();
    OutputProperties(const OutputProperties&) = delete;
    OutputProperties& operator=(const OutputProperties&) = delete;

    void setEdid(unsigned long output, const std::vector<std::uint8_t>& edid);
    void setConnectorId(unsigned long output, long id);
    void remove(unsigned long output, const char* name);

  private:
    void change(unsigned long output, const char* name, int format, const unsigned char* data,
                int count);

    Display* d_;
    std::vector<std::pair<unsigned long, Atom>> made_;
};

struct Pos {
    int x = -1, y = -1;
    bool operator==(const Pos&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Pos& p);

// A user at the keyboard and mouse of the virtual server.
class User {
  public:
    User();
    ~User();
    User(const User&) = delete;
    User& operator=(const User&) = delete;

    // Pressed in order, released in reverse.
    void keys(std::initializer_list<KeySym> syms);
    void click(int x, int y, unsigned button = 1);
    // True when another client holds the key with these modifiers: our own grab is refused.
    bool heldByProgram(KeySym key, unsigned mods = ControlMask | Mod1Mask | Mod4Mask);
    // Mapped top-level windows of the given kind and size range.
    int windows(bool overrideRedirect, int minWidth, int maxWidth, int maxHeight);
    int overlays() { return windows(true, 1280, 1710, 1112); }
    int toasts() { return windows(true, 1, 600, 60); }
    int dialogs() { return windows(false, 100, 1000, 800); }
    struct TopWindow {
        Window id = 0;
        int x = 0, y = 0, width = 0, height = 0;
    };
    // Mapped top-level windows of one kind with their root geometry.
    std::vector<TopWindow> topWindows(bool overrideRedirect);
    // True when the window's bounding shape holds the point (window coordinates).
    bool shapeContains(Window w, int x, int y);
    Pos pointer();
    // The colour the screen shows at a root point, 0xRRGGBB.
    unsigned long rootPixel(int x, int y);
    // Mapped ordinary top-level windows with this title.
    int titled(const std::string& title);
    // True when the keyboard focus is in a mapped ordinary (not override-redirect)
    // top-level window of dialog size: keys typed now reach it.
    bool dialogHasFocus();

  private:
    Display* d_;
};

// Polls until cond holds: the program runs on its own clock, and what it does
// shows only through the server and its log.
bool eventually(const std::function<bool()>& cond, double seconds = 10);

// Root position of an output as the server holds it now; (-1, -1) when it has
// no picture. Read with xrandr --current: a probe would call an output connected
// once it has been lit.
Pos at(const std::string& output);
// xrandr --current's line for an output; empty when there is none.
std::string outputLine(const std::string& output);
// The primary output's name, read the same way; empty when there is none.
std::string primaryOutput();

// Puts a saved layout of the two monitors as they stand, changed by change, into
// the settings under configHome; applied with key when there is one.
void storeLayout(const std::string& configHome, const std::string& name,
                 const std::function<void(SavedLayout&)>& change, const HotKeySpec* key = nullptr);
// Puts a saved layout "Lower" into the settings under configHome: the monitor
// 200 points further down than it stands now, applied with key.
void storeLowerLayout(const std::string& configHome, const HotKeySpec& key);
// Control-shift-F5, in the stored form, and as the user presses it.
inline const HotKeySpec kLayoutKey{96, HotKeySpec::control | HotKeySpec::shift, "F5"};
inline const std::initializer_list<KeySym> kLayoutKeys = {XK_Control_L, XK_Shift_L, XK_F5};

inline const std::initializer_list<KeySym> kAlignKeys = {XK_Control_L, XK_Alt_L, XK_Super_L, XK_a};
inline const std::initializer_list<KeySym> kUndoKeys = {XK_Control_L, XK_Alt_L, XK_Super_L, XK_z};

}  // namespace seam::testing
