#include "platform/sway_ipc.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

namespace seam {

namespace sway_ipc {

namespace {
constexpr std::string_view kMagic = "i3-ipc";

void appendWord(std::string& out, std::uint32_t word) {
    char bytes[sizeof word];
    std::memcpy(bytes, &word, sizeof word);
    out.append(bytes, sizeof word);
}
std::uint32_t wordAt(std::string_view bytes, std::size_t at) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    return word;
}
}  // namespace

std::string encode(std::uint32_t type, std::string_view payload) {
    std::string out(kMagic);
    appendWord(out, static_cast<std::uint32_t>(payload.size()));
    appendWord(out, type);
    out.append(payload);
    return out;
}

std::optional<Header> decodeHeader(std::string_view bytes) {
    if (bytes.size() < headerSize || !bytes.starts_with(kMagic)) return std::nullopt;
    return Header{wordAt(bytes, kMagic.size()), wordAt(bytes, kMagic.size() + 4)};
}

std::optional<std::vector<CommandResult>> parseCommandReply(std::string_view payload) {
    const auto json = nlohmann::json::parse(payload, nullptr, false);
    if (!json.is_array()) return std::nullopt;
    std::vector<CommandResult> results;
    for (const auto& item : json) {
        if (!item.is_object() || !item.contains("success") || !item["success"].is_boolean())
            return std::nullopt;
        CommandResult r{.success = item["success"].get<bool>()};
        if (item.contains("error") && item["error"].is_string()) r.error = item["error"];
        results.push_back(std::move(r));
    }
    return results;
}

}  // namespace sway_ipc

namespace {
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}
std::optional<std::string> readExactly(int fd, std::size_t size) {
    std::string out(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::recv(fd, out.data() + got, size - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        got += static_cast<std::size_t>(n);
    }
    return out;
}
// A compositor that stops answering must not stop the program.
constexpr int kTimeoutSeconds = 2;
constexpr std::uint32_t kMaxReply = 1 << 20;
}  // namespace

std::unique_ptr<SwayIpc> SwayIpc::connect(const std::string& socketPath) {
    sockaddr_un addr{};
    if (socketPath.empty() || socketPath.size() >= sizeof addr.sun_path) return nullptr;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const timeval timeout{.tv_sec = kTimeoutSeconds, .tv_usec = 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<SwayIpc>(new SwayIpc(fd));
}

SwayIpc::~SwayIpc() {
    ::close(fd_);
}

std::optional<std::vector<sway_ipc::CommandResult>> SwayIpc::run(const std::string& command) {
    using namespace sway_ipc;
    if (!writeAll(fd_, encode(runCommandType, command))) return std::nullopt;
    const auto head = readExactly(fd_, headerSize);
    const auto header = head ? decodeHeader(*head) : std::nullopt;
    if (!header || header->type != runCommandType || header->length > kMaxReply)
        return std::nullopt;
    const auto payload = readExactly(fd_, header->length);
    if (!payload) return std::nullopt;
    return parseCommandReply(*payload);
}

}  // namespace seam
