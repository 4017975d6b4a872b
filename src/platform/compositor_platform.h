// A platform over a compositor that owns the arrangement: display services,
// identity and change events from the backend's parts; no pointer feed, no warp
// and no hot keys, which Wayland gives no client.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace seam {

// Where the pointer is cannot be asked outside our own windows: the middle of
// the main display stands in, and it never warps.
class CentrePointer : public PointerServices {
  public:
    explicit CentrePointer(DisplayServices& displays) : displays_(displays) {}
    Point location() override;
    void warp(Point) override {}
    bool canWarp() const override { return false; }

  private:
    DisplayServices& displays_;
};

// Parts: a struct with services, identity and changes, each a unique_ptr.
template <class Parts>
class CompositorPlatform : public Platform {
  public:
    CompositorPlatform(std::string name, std::unique_ptr<Parts> parts)
        : name_(std::move(name)), parts_(std::move(parts)), pointer_(*parts_->services) {}

    std::string_view name() const override { return name_; }
    DisplayServices& displays() override { return *parts_->services; }
    DisplayIdentitySource& identity() override { return *parts_->identity; }
    PointerServices& pointer() override { return pointer_; }
    DisplayChangeSource* displayChanges() override { return parts_->changes.get(); }
    bool placesWindows() const override { return false; }

  private:
    std::string name_;
    std::unique_ptr<Parts> parts_;
    CentrePointer pointer_;
};

}  // namespace seam
