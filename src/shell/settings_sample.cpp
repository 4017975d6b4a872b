#include "shell/settings_sample.h"

namespace seam {

SettingsSample settingsSample() {
    const SavedDisplay builtin{.ident = {.vendor = 0x610, .model = 0xA050, .builtin = true},
                               .name = "Built-in Retina Display",
                               .width = 1710,
                               .height = 1107,
                               .main = true};
    const SavedDisplay external{
        .ident = {.vendor = 0x4C2D, .model = 0x0E26, .serialNumber = 1234567},
        .name = "SAMSUNG",
        .x = 1710,
        .width = 2560,
        .height = 1440};
    SettingsSample s;
    s.layouts = {
        {.id = "8C1F3A52-6E0B-4D8A-9F21-5B7C0D3E4A11",
         .name = "Home",
         .displays = {builtin, external}},
        {.id = "2B9E7D40-13C5-4F6A-8E07-A1D2C3B4E5F6",
         .name = "Layout 2",
         .displays = {builtin, {external.ident, std::nullopt, "SAMSUNG", -2560, 0, 2560, 1440}},
         .autoApply = true},
    };
    s.specs = {{"align", defaultAlign},
               {"undo", defaultUndo},
               {"layout." + s.layouts[0].id, HotKeySpec{18, HotKeySpec::ctrlOptCmd, "1"}}};
    return s;
}

}  // namespace seam
