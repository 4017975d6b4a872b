// A third output, on a server of its own so the shared one keeps exactly two:
// still lit after its monitor went (with nobody to switch it off), or showing
// the same picture as the external.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "geometry/arrangement.h"
#include "platform/x11/x11_display_services.h"
#include "platform/x11/x11_screen_state.h"
#include "program_on_x.h"
#include "support/virtual_x_server.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::VirtualXServer;

struct Pos {
    int x = -1, y = -1;
    bool operator==(const Pos&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Pos& p) {
    return o << p.x << "," << p.y;
}

class ThirdOutputX11 : public ::testing::Test {
  protected:
    void SetUp() override {
        server = VirtualXServer::start();
        ASSERT_TRUE(server) << VirtualXServer::lastError();
        int rc = 1;
        server->xrandr("--addmode DUMMY2 seam1280x960", &rc);
        ASSERT_EQ(rc, 0);
        services = X11DisplayServices::open(server->name().c_str());
        ASSERT_TRUE(services);
        arrangement.emplace(*services);
        panel = idOf("DUMMY0");
        external = idOf("DUMMY1");
        third = idOf("DUMMY2");
        ASSERT_TRUE(panel && external && third);
    }

    std::uint32_t idOf(const std::string& name) {
        if (const ScreenState* s = services->screenState())
            for (const OutputState& o : s->outputs)
                if (o.name == name) return std::uint32_t(o.id);
        return 0;
    }
    void xrandr(const std::string& args) {
        int rc = 1;
        server->xrandr(args, &rc);
        ASSERT_EQ(rc, 0) << args;
    }
    // The server's own line for an output, read without probing: a probe would
    // call an output connected once it has been lit.
    std::string line(const std::string& output) const {
        std::istringstream in(server->xrandr("--current"));
        for (std::string l; std::getline(in, l);)
            if (l.rfind(output + " ", 0) == 0) return l;
        return {};
    }
    Pos at(const std::string& output) const {
        std::istringstream words(line(output));
        for (std::string w; words >> w;) {
            Pos p;
            unsigned width = 0, height = 0;
            if (std::sscanf(w.c_str(), "%ux%u+%d+%d", &width, &height, &p.x, &p.y) == 4) return p;
        }
        return {};
    }
    std::string screenSize() const {
        const std::string out = server->xrandr("--current");
        const auto from = out.find("current "), to = out.find(',', from);
        return from == std::string::npos ? "" : out.substr(from + 8, to - from - 8);
    }

    std::unique_ptr<VirtualXServer> server;
    std::unique_ptr<X11DisplayServices> services;
    std::optional<Arrangement> arrangement;
    std::uint32_t panel = 0, external = 0, third = 0;
};

TEST_F(ThirdOutputX11, AnOutputLitForAGoneMonitorNeitherBlocksMovesNorMoves) {
    // Lit after the last probe, the output reads as disconnected while its CRTC
    // still shows: what unplugging leaves without a display daemon.
    xrandr("--output DUMMY2 --mode seam1280x960 --pos 2990x0");
    ASSERT_EQ(line("DUMMY2").rfind("DUMMY2 disconnected 1280x960+2990+0", 0), 0u) << line("DUMMY2");
    ASSERT_EQ(arrangement->displays().size(), 2u);

    struct Step {
        const char* name;
        std::vector<Move> moves;
        Pos panel, external;
        const char* size;
    };
    const Step steps[] = {
        {"external left: the rest shifts",
         {{external, {-1280, 0}}},
         {1280, 0},
         {0, 0},
         "4270 x 1112"},
        {"a layout of both",
         {{panel, {0, 0}}, {external, {-1280, 100}}},
         {1280, 0},
         {0, 100},
         "4270 x 1112"},
        {"external above", {{external, {200, -960}}}, {0, 960}, {200, 0}, "4270 x 2072"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        ASSERT_TRUE(arrangement->setOrigins(s.moves));
        EXPECT_EQ(at("DUMMY0"), s.panel);
        EXPECT_EQ(at("DUMMY1"), s.external);
        EXPECT_EQ(at("DUMMY2"), (Pos{2990, 0}));  // never touched
        EXPECT_EQ(screenSize(), s.size);
    }
    EXPECT_EQ(line("DUMMY2").rfind("DUMMY2 disconnected", 0), 0u) << line("DUMMY2");
}

// The user aligns and undoes with the real program while the leftover CRTC shows.
TEST_F(ThirdOutputX11, AlignAndUndoWithAnOutputLitForAGoneMonitor) {
    xrandr("--output DUMMY2 --mode seam1280x960 --pos 2990x0");
    testing::UseServer here(*server);
    testing::Program program;
    ASSERT_TRUE(program.running());
    testing::User user;
    ASSERT_TRUE(testing::eventually([&] { return user.heldByProgram(XK_a); })) << program.logText();
    user.keys(testing::kAlignKeys);
    ASSERT_TRUE(testing::eventually([&] { return user.overlays() == 2; })) << program.logText();
    user.click(300, 2);  // the panel's top edge at x=300
    ASSERT_TRUE(program.waitForLog("align pick1")) << program.logText();
    user.click(1710 + 900, 500);  // the external at x=900 of its own
    ASSERT_TRUE(program.waitForLog("align pick2")) << program.logText();
    ASSERT_TRUE(testing::eventually([&] { return user.dialogHasFocus(); })) << program.logText();
    user.keys({XK_Return});
    // The external stands above the panel, its x=900 over the panel's x=300.
    ASSERT_TRUE(testing::eventually([&] {
        return at("DUMMY1") == Pos{0, 0};
    })) << program.logText();
    EXPECT_EQ(at("DUMMY0"), (Pos{600, 960}));
    EXPECT_EQ(at("DUMMY2"), (Pos{2990, 0}));
    ASSERT_TRUE(program.waitForLog("after:")) << program.logText();

    user.keys(testing::kUndoKeys);
    EXPECT_TRUE(testing::eventually([&] {
        return at("DUMMY1") == Pos{1710, 0};
    })) << program.logText();
    EXPECT_EQ(at("DUMMY0"), (Pos{0, 0}));
    EXPECT_EQ(at("DUMMY2"), (Pos{2990, 0}));
    EXPECT_EQ(program.logText().find("ok=false"), std::string::npos) << program.logText();
    // Nothing probed the outputs meanwhile: it was gone all along.
    EXPECT_EQ(line("DUMMY2").rfind("DUMMY2 disconnected", 0), 0u) << line("DUMMY2");
}

TEST_F(ThirdOutputX11, AMirrorMovesWithItsSource) {
    xrandr("--output DUMMY2 --mode seam1280x960 --same-as DUMMY1");
    xrandr("");  // the probe that reports it connected
    ASSERT_EQ(line("DUMMY2").rfind("DUMMY2 connected 1280x960+1710+0", 0), 0u) << line("DUMMY2");
    ASSERT_EQ(services->mirrors(third), external);
    ASSERT_EQ(services->mirrors(external), std::nullopt);  // the earlier one is the source

    struct Step {
        const char* name;
        std::vector<Move> moves;
        Pos panel, external;
    };
    const Step steps[] = {
        {"external left", {{external, {-1280, 0}}}, {1280, 0}, {0, 0}},
        {"a layout naming the source only",
         {{panel, {0, 0}}, {external, {0, 1112}}},
         {0, 0},
         {0, 1112}},
        {"the mirror named", {{third, {1710, 0}}}, {0, 0}, {1710, 0}},
    };
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
