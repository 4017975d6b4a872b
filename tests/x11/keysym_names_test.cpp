// The desktops bind keys by their keysym names: each must name the key the X11 backend
// grabs for the same stored code.
#include <gtest/gtest.h>

#include "platform/key_names.h"
#include "platform/x11/x11_key_codes.h"
// After gtest: Xlib's macros clash with its names.
#include <X11/Xlib.h>

namespace seam {
namespace {

TEST(KeysymNames, AreTheNamesOfTheKeysymsTheX11BackendGrabs) {
    int named = 0;
    for (std::uint32_t code = 0; code < 128; ++code) {
        const auto sym = keysymForVirtualKey(code);
        const auto name = keysymName(code);
        ASSERT_EQ(sym.has_value(), name.has_value()) << code;
        if (!sym) continue;
        const char* xName = XKeysymToString(*sym);
        ASSERT_TRUE(xName) << code;
        EXPECT_EQ(*name, xName) << code;
        ++named;
    }
    EXPECT_GT(named, 60);
}

}  // namespace
}  // namespace seam
