// A third output, on a server of its own so the shared one keeps exactly two:
// still lit after its monitor went (with nobody to switch it off), or showing
// the same picture as the external.
#include <gtest/gtest.h>

#include <optional>

#include "align_flow.h"
#include "geometry/arrangement.h"
#include "platform/x11/x11_display_services.h"
#include "program_on_x.h"
#include "support/virtual_x_server.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::at;
using testing::outputLine;
using testing::Pos;
using testing::VirtualXServer;

class ThirdOutputX11 : public ::testing::Test {
  protected:
    void SetUp() override {
        server = VirtualXServer::start();
        ASSERT_TRUE(server) << VirtualXServer::lastError();
        here.emplace(*server);  // the program, the user and the read-backs go there
        int rc = 1;
        server->xrandr("--addmode DUMMY2 seam1280x960", &rc);
        ASSERT_EQ(rc, 0);
        services = X11DisplayServices::open(server->name().c_str());
        ASSERT_TRUE(services);
        arrangement.emplace(*services);
        panel = std::uint32_t(testing::outputId("DUMMY0"));
        external = std::uint32_t(testing::outputId("DUMMY1"));
        third = std::uint32_t(testing::outputId("DUMMY2"));
        ASSERT_TRUE(panel && external && third);
    }

    void xrandr(const std::string& args) {
        int rc = 1;
        server->xrandr(args, &rc);
        ASSERT_EQ(rc, 0) << args;
    }
    std::string screenSize() const {
        const std::string out = server->xrandr("--current");  // probing nothing
        const auto from = out.find("current "), to = out.find(',', from);
        return from == std::string::npos ? "" : out.substr(from + 8, to - from - 8);
    }

    std::unique_ptr<VirtualXServer> server;
    std::optional<testing::UseServer> here;
    std::unique_ptr<X11DisplayServices> services;
    std::optional<Arrangement> arrangement;
    std::uint32_t panel = 0, external = 0, third = 0;
};

TEST_F(ThirdOutputX11, AnOutputLitForAGoneMonitorNeitherBlocksMovesNorMoves) {
    // Lit after the last probe, the output reads as disconnected while its CRTC
    // still shows: what unplugging leaves without a display daemon.
    xrandr("--output DUMMY2 --mode seam1280x960 --pos 2990x0");
    ASSERT_EQ(outputLine("DUMMY2").rfind("DUMMY2 disconnected 1280x960+2990+0", 0), 0u)
        << outputLine("DUMMY2");
    ASSERT_EQ(arrangement->displays().size(), 2u);

    struct Step {
        const char* name;
        std::vector<Move> moves;
        Pos panel, external;
        const char* size;
    };
    // clang-format off
    const Step steps[] = {
        {"external left: the rest shifts", {{external, {-1280, 0}}}, {1280, 0}, {0, 0},
         "4270 x 1112"},
        {"a layout of both", {{panel, {0, 0}}, {external, {-1280, 100}}}, {1280, 0}, {0, 100},
         "4270 x 1112"},
        {"external above", {{external, {200, -960}}}, {0, 960}, {200, 0}, "4270 x 2072"},
    };
    // clang-format on
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        ASSERT_TRUE(arrangement->setOrigins(s.moves));
        EXPECT_EQ(at("DUMMY0"), s.panel);
        EXPECT_EQ(at("DUMMY1"), s.external);
        EXPECT_EQ(at("DUMMY2"), (Pos{2990, 0}));  // never touched
        EXPECT_EQ(screenSize(), s.size);
    }
    EXPECT_EQ(outputLine("DUMMY2").rfind("DUMMY2 disconnected", 0), 0u) << outputLine("DUMMY2");
}

// The user aligns and undoes with the real program while the leftover CRTC shows.
TEST_F(ThirdOutputX11, AlignAndUndoWithAnOutputLitForAGoneMonitor) {
    xrandr("--output DUMMY2 --mode seam1280x960 --pos 2990x0");
    testing::Program program;
    testing::User user;
    testing::alignTwoClicksConfirmAndUndo(program, user);
    EXPECT_EQ(at("DUMMY2"), (Pos{2990, 0}));
    EXPECT_EQ(program.logText().find("ok=false"), std::string::npos) << program.logText();
    // Nothing probed the outputs meanwhile: it was gone all along.
    EXPECT_EQ(outputLine("DUMMY2").rfind("DUMMY2 disconnected", 0), 0u) << outputLine("DUMMY2");
}

TEST_F(ThirdOutputX11, AMirrorMovesWithItsSource) {
    xrandr("--output DUMMY2 --mode seam1280x960 --same-as DUMMY1");
    xrandr("");  // the probe that reports it connected
    ASSERT_EQ(outputLine("DUMMY2").rfind("DUMMY2 connected 1280x960+1710+0", 0), 0u)
        << outputLine("DUMMY2");
    ASSERT_EQ(services->mirrors(third), external);
    ASSERT_EQ(services->mirrors(external), std::nullopt);  // the earlier one is the source

    struct Step {
        const char* name;
        std::vector<Move> moves;
        Pos panel, external;
    };
    // clang-format off
    const Step steps[] = {
        {"external left", {{external, {-1280, 0}}}, {1280, 0}, {0, 0}},
        {"a layout naming the source only", {{panel, {0, 0}}, {external, {0, 1112}}}, {0, 0},
         {0, 1112}},
        {"the mirror named", {{third, {1710, 0}}}, {0, 0}, {1710, 0}},
    };
    // clang-format on
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        ASSERT_TRUE(arrangement->setOrigins(s.moves));
        EXPECT_EQ(at("DUMMY0"), s.panel);
        EXPECT_EQ(at("DUMMY1"), s.external);
        EXPECT_EQ(at("DUMMY2"), s.external);
        EXPECT_EQ(services->mirrors(third), external);
    }
}

}  // namespace
}  // namespace seam
