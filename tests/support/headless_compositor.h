// A compositor started for one test: a folder of its own (removed afterwards),
// a process group of its own (stopped with everything it started), killed when
// the test program dies, its output logged into its folder.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace seam::testing {

// An output where the compositor's own tools show it, in logical points.
struct ShownOutput {
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
    bool active = true;
};
using ShownOutputs = std::map<std::string, ShownOutput>;

class HeadlessCompositor {
  public:
    virtual ~HeadlessCompositor();
    HeadlessCompositor(const HeadlessCompositor&) = delete;
    HeadlessCompositor& operator=(const HeadlessCompositor&) = delete;

    // The Wayland socket's full path; its folder is the runtime folder.
    const std::string& socket() const { return socket_; }
    std::string runtimeDir() const { return socket_.substr(0, socket_.rfind('/')); }
    const std::string& folder() const { return folder_; }
    virtual ShownOutputs outputs() const = 0;
    // Why the last start failed.
    static const std::string& lastError() { return failure(); }

  protected:
    // Stops the group and removes the folder; once.
    void stop();
    static std::string& failure() {
        static std::string why;
        return why;
    }
    // A fresh folder /tmp/<prefix>XXXXXX; empty when none could be made.
    explicit HeadlessCompositor(const std::string& prefix);
    // Runs argv (argv[0] a full path) with exactly env, its output in the folder's
    // file logName, as user (uid, gid) when given and run as root; false and
    // error set when it could not start.
    bool spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::string& logName, std::string& error,
               std::optional<std::pair<uid_t, gid_t>> user = {}, int deathSignal = SIGKILL);

    std::string folder_, socket_;
    pid_t pid_ = -1;
};

}  // namespace seam::testing
