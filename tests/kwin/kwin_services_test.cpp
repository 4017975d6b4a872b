// The display services over a scripted compositor: every move list becomes one
// configuration or none, and what the compositor answered is what configure
// reports.
#include <gtest/gtest.h>

#include "output_protocol_log.h"
#include "platform/kwin/kwin_display_services.h"
#include "support/log_capture.h"

namespace seam {
namespace {

class Scripted : public KwinOutputState {
  public:
    explicit Scripted(OutputTracker state) : state_(std::move(state)) {}
    const std::vector<KwinOutput>& outputs() const override { return state_.heads(); }
    const std::string& primary() const override { return state_.primary(); }
    KwinApplyOutcome apply(const std::vector<KwinPlacement>& placements) override {
        sent.push_back(placements);
        return answer;
    }

    KwinApplyOutcome answer = KwinApplyOutcome::applied;
    std::vector<std::vector<KwinPlacement>> sent;

  private:
    OutputTracker state_;
};

const char* kTwo = R"(
kde_output_device_v2@5.geometry(0, 0, 600, 340, 0, "", "", 0)
kde_output_device_v2@5.name("DP-1")
kde_output_device_v2@5.mode(new id kde_output_device_mode_v2@50)
kde_output_device_mode_v2@50.size(1920, 1080)
kde_output_device_v2@5.current_mode(kde_output_device_mode_v2@50)
kde_output_device_v2@5.enabled(1)
kde_output_device_v2@5.done()
kde_output_device_v2@6.geometry(1920, 0, 600, 340, 0, "", "", 0)
kde_output_device_v2@6.name("eDP-1")
kde_output_device_v2@6.mode(new id kde_output_device_mode_v2@60)
kde_output_device_mode_v2@60.size(2560, 1600)
kde_output_device_v2@6.current_mode(kde_output_device_mode_v2@60)
kde_output_device_v2@6.scale(2.00000000)
kde_output_device_v2@6.enabled(1)
kde_output_device_v2@6.done()
)";

TEST(KwinServicesTest, OneConfigurationPerMoveList) {
    const struct {
        const char* what;
        KwinApplyOutcome answer;
        bool known;  // the moves name shown displays
        bool result;
        std::size_t sent;
        const char* logged;  // "" when nothing
    } cases[] = {
        {"applied", KwinApplyOutcome::applied, true, true, 1, ""},
        {"refused", KwinApplyOutcome::failed, true, false, 1,
         "configure failed: the compositor refused the configuration"},
        {"no answer", KwinApplyOutcome::lost, true, false, 1,
         "configure lost: the compositor did not answer"},
        {"a display not shown", KwinApplyOutcome::applied, false, false, 0,
         "configure refused: a move names a display the compositor does not show"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Scripted kwin(testing::trackerOf(kTwo));
        kwin.answer = c.answer;
        KwinDisplayServices services(kwin);
        const auto shown = services.activeDisplays();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_TRUE(services.isBuiltin(shown[1].id));
        std::vector<DisplayMove> moves = {{shown[1].id, -1280, 100}};
        if (!c.known) moves.push_back({shown[1].id + 1, 0, 0});
        testing::LogCapture log;
        EXPECT_EQ(services.configure(moves), c.result);
        ASSERT_EQ(kwin.sent.size(), c.sent);
        // The leftmost output starts the layout, as the protocol asks.
        if (c.sent) {
            EXPECT_EQ(kwin.sent[0], (std::vector<KwinPlacement>{{5, 1280, -100}, {6, 0, 0}}));
        }
        const auto lines = log.messages();
        EXPECT_EQ(lines, std::string(c.logged).empty() ? std::vector<std::string>{}
                                                       : std::vector<std::string>{c.logged});
    }
    // Nothing to move is nothing to ask.
    Scripted kwin(testing::trackerOf(kTwo));
    KwinDisplayServices services(kwin);
    EXPECT_TRUE(services.configure({}));
    EXPECT_TRUE(kwin.sent.empty());
}

}  // namespace
}  // namespace seam
