// sway's IPC, the i3-compatible one, over the UNIX socket named by SWAYSOCK:
// commands run as if written in its configuration, answered with one success
// flag each.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace seam {

namespace sway_ipc {

inline constexpr std::uint32_t runCommandType = 0;
inline constexpr std::size_t headerSize = 14;

// "i3-ipc", then the payload's length and the type in the host's byte order,
// then the payload.
std::string encode(std::uint32_t type, std::string_view payload);

struct Header {
    std::uint32_t length = 0;
    std::uint32_t type = 0;
};
// Nothing when the bytes do not start with the magic or are too few.
std::optional<Header> decodeHeader(std::string_view bytes);

struct CommandResult {
    bool success = false;
    std::string error;
    bool operator==(const CommandResult&) const = default;
};
// One result per command; nothing when the payload is not such an answer.
std::optional<std::vector<CommandResult>> parseCommandReply(std::string_view payload);

}  // namespace sway_ipc

// Whatever runs sway commands: the socket, or a test's stand-in.
class SwayCommands {
  public:
    virtual ~SwayCommands() = default;
    // Nothing when sway could not be asked or its answer was unreadable.
    virtual std::optional<std::vector<sway_ipc::CommandResult>> run(const std::string& command) = 0;
};

class SwayIpc : public SwayCommands {
  public:
    // Nothing when the socket cannot be reached.
    static std::unique_ptr<SwayIpc> connect(const std::string& socketPath);
    ~SwayIpc() override;
    SwayIpc(const SwayIpc&) = delete;
    SwayIpc& operator=(const SwayIpc&) = delete;

    std::optional<std::vector<sway_ipc::CommandResult>> run(const std::string& command) override;

  private:
    explicit SwayIpc(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace seam
