// The route the hot keys take, chosen from what the session offers, and the
// keys reaching the one chosen. The portal's own route runs against KWin.
#include "shell/qt/desktop_keys.h"

#include <gtest/gtest.h>

#include "qt_app.h"
#include "support/log_capture.h"

namespace seam {
namespace {

struct RecordedKeys : CommandKeys {
    explicit RecordedKeys(std::vector<std::vector<CommandKey>>& binds) : binds(binds) {}
    void bind(const std::vector<CommandKey>& keys) override { binds.push_back(keys); }
    void unbindAll() override { binds.push_back({}); }
    std::vector<std::vector<CommandKey>>& binds;
};

TEST(DesktopKeys, TheFirstRouteOfferedGetsTheKeys) {
    testing::qtApp();
    // No portal can answer here.
    const QDBusConnection noBus = QDBusConnection::connectToBus("unix:path=/nonexistent", "none");
    ASSERT_FALSE(noBus.isConnected());
    const std::vector<CommandKey> keys = {{defaultAlign, {"--align"}}};
    struct Case {
        bool platformKeys, sway, gnome;
        const char* line;
        std::vector<std::vector<CommandKey>> swayBinds, gnomeBinds;
    };
    const Case cases[] = {
        {true, false, true, "hot keys: x11 key grabs", {}, {}},
        // Whatever an earlier run left is cleared first.
        {true, true, true, "hot keys: sway bindings", {{}, keys}, {}},
        {false, false, true, "hot keys: gnome custom shortcuts", {}, {{}, keys}},
        {false,
         false,
         false,
         "hot keys: none - bind seamwright --align, --undo or "
         "--apply-layout NAME in the desktop's keyboard settings",
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        testing::LogCapture logs;
        std::vector<std::vector<CommandKey>> swayBinds, gnomeBinds;
        DesktopKeys::Parts parts{.platform = "x11", .platformKeys = c.platformKeys, .bus = noBus};
        if (c.sway) parts.sway = std::make_unique<RecordedKeys>(swayBinds);
        if (c.gnome)
            parts.gnome = [&gnomeBinds]() -> std::unique_ptr<CommandKeys> {
                return std::make_unique<RecordedKeys>(gnomeBinds);
            };
        DesktopKeys desktop(std::move(parts));
        desktop.bind(keys);
        EXPECT_EQ(logs.messages(), std::vector<std::string>{c.line});
        EXPECT_EQ(swayBinds, c.swayBinds);
        EXPECT_EQ(gnomeBinds, c.gnomeBinds);
    }
}

}  // namespace
}  // namespace seam
