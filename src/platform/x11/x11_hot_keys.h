// Global hot keys on X11: a passive key grab on the root window for each
// combination of the lock keys, on a connection of its own whose events are
// read in the Qt event loop.
#pragma once

#include <memory>

#include "platform/hot_keys.h"

namespace seam {

class X11HotKeys : public HotKeyService {
public:
    // nullptr when the display cannot be opened.
    static std::unique_ptr<X11HotKeys> open(const char* displayName = nullptr);
    ~X11HotKeys() override;

    Result registerKey(std::uint32_t keyCode, std::uint32_t mods, std::uint32_t id) override;
    void unregisterKey(Handle handle) override;
    void setHandler(std::function<void(std::uint32_t)> handler) override;

    // Reads and dispatches what the server sent; the event loop calls this too.
    void dispatchPending();

    struct Impl;

private:
    explicit X11HotKeys(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace seam
