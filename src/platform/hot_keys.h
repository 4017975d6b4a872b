// System-wide hot keys as the platform offers them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace seam {

class HotKeyService {
  public:
    using Handle = std::uint64_t;
    virtual ~HotKeyService() = default;
    // A handle, or the platform's error status when the combination is refused
    // (for example taken by another program). keyCode and mods are virtual key
    // codes and modifier bits as HotKeySpec holds them.
    struct Result {
        std::optional<Handle> handle;
        int status = 0;
    };
    virtual Result registerKey(std::uint32_t keyCode, std::uint32_t mods, std::uint32_t id) = 0;
    virtual void unregisterKey(Handle handle) = 0;
    // Called with the id given at registration whenever a registered key is pressed.
    virtual void setHandler(std::function<void(std::uint32_t id)> handler) = 0;
};

}  // namespace seam
