#include "support/command.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace seam::testing {

CommandRun runCommand(const std::string& commandLine) {
    CommandRun r;
    FILE* p = ::popen(commandLine.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf;
    for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), p)) > 0;)
        r.out.append(buf.data(), n);
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

}  // namespace seam::testing
