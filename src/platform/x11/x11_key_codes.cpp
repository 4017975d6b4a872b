#include "platform/x11/x11_key_codes.h"

#include <X11/Xlib.h>

#include "platform/key_names.h"

namespace seam {

std::optional<unsigned long> keysymForVirtualKey(std::uint32_t keyCode) {
    const auto name = keysymName(keyCode);
    if (!name) return std::nullopt;
    const KeySym sym = XStringToKeysym(name->c_str());
    if (sym == NoSymbol) return std::nullopt;
    return sym;
}

}  // namespace seam
