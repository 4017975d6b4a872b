// sway's IPC framing, and the client against a stand-in server on a real socket.
#include "platform/sway_ipc.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <bit>
#include <cstring>
#include <thread>

#include "support/log_capture.h"

namespace seam {
namespace {

using namespace sway_ipc;

TEST(SwayIpcTest, FramesAsSwayReadsThem) {
    // Host byte order; the machines this runs on are little-endian.
    ASSERT_EQ(std::endian::native, std::endian::little);
    using namespace std::string_literals;
    const std::string wire = "i3-ipc\x03\0\0\0\0\0\0\0nop"s;
    EXPECT_EQ(encode(runCommandType, "nop"), wire);
    const auto header = decodeHeader(wire);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->length, 3u);
    EXPECT_EQ(header->type, runCommandType);
    EXPECT_FALSE(decodeHeader(wire.substr(0, headerSize - 1)));
    EXPECT_FALSE(decodeHeader("i3-ipx" + wire.substr(6)));
}

TEST(SwayIpcTest, CommandRepliesReadOrRefused) {
    using Results = std::vector<CommandResult>;
    struct Case {
        std::string payload;
        std::optional<Results> results;
    };
    const Case cases[] = {
        {R"([{"success":true}])", Results{{true, ""}}},
        {R"([{"success":true},{"success":false,"parse_error":true,"error":"Unknown/invalid command"}])",
         Results{{true, ""}, {false, "Unknown/invalid command"}}},
        {"[]", Results{}},
        {R"({"success":true})", std::nullopt},
        {R"([{"error":"x"}])", std::nullopt},
        {R"([{"success":"yes"}])", std::nullopt},
        {"not json", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseCommandReply(c.payload), c.results) << c.payload;
}

// Accepts one client and answers each command with reply, recording what came.
class FakeSwayServer {
  public:
    explicit FakeSwayServer(std::string reply) : reply_(std::move(reply)) {
        path_ = dir_.path() + "/sway-ipc.sock";
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path_.c_str(), sizeof addr.sun_path - 1);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(listener_, 1);
        thread_ = std::thread([this] { serve(); });
    }
    ~FakeSwayServer() {
        ::shutdown(listener_, SHUT_RDWR);
        if (thread_.joinable()) thread_.join();
        ::close(listener_);
    }
    const std::string& path() const { return path_; }
    // What came, once the client has gone.
    std::vector<std::string> received() {
        thread_.join();
        return received_;
    }

  private:
    void serve() {
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0) return;
        for (;;) {
            char head[headerSize];
            if (::recv(fd, head, sizeof head, MSG_WAITALL) != sizeof head) break;
            const auto header = decodeHeader({head, sizeof head});
            if (!header) break;
            std::string payload(header->length, '\0');
            if (header->length && ::recv(fd, payload.data(), payload.size(), MSG_WAITALL) !=
                                      static_cast<ssize_t>(payload.size()))
                break;
            received_.push_back(payload);
            const std::string answer = encode(header->type, reply_);
            ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
        }
        ::close(fd);
    }
    testing::TempDir dir_;
    std::string path_;
    std::string reply_;
    std::vector<std::string> received_;
    int listener_ = -1;
    std::thread thread_;
};

TEST(SwayIpcTest, RunsCommandsOverTheSocket) {
    FakeSwayServer server(R"([{"success":false,"error":"nope"}])");
    auto ipc = SwayIpc::connect(server.path());
    ASSERT_TRUE(ipc);
    for (const char* command : {"bindsym Mod4+a exec true", "unbindsym Mod4+a"})
        EXPECT_EQ(ipc->run(command), (std::vector<CommandResult>{{false, "nope"}})) << command;
    ipc.reset();  // the server sees the end and stops
    EXPECT_EQ(server.received(),
              (std::vector<std::string>{"bindsym Mod4+a exec true", "unbindsym Mod4+a"}));
    EXPECT_FALSE(SwayIpc::connect("/nonexistent/sway-ipc.sock"));
    EXPECT_FALSE(SwayIpc::connect(""));
}

}  // namespace
}  // namespace seam
