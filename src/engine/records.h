// The engine's observation records: plain values, times in seconds of uptime.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "geometry/geometry.h"

namespace seam {

struct Sample {
    double t = 0;
    Point p;
    std::uint32_t sid = 0;  // display that contains p
};

// The last pass of the pointer from one display to the other.
struct Crossing {
    double t = 0;  // first sample on the new display
    Disp from;
    Disp to;
    Side side = Side::top;  // edge of `from` the pointer left through
    int index = 0;          // trail position of the first sample on `to`
};

// The pointer went over the boundary and may come straight back.
struct Excursion {
    double t = 0;
    Disp home;
    std::uint32_t awayId = 0;
    Side side = Side::top;  // edge of home it left through
    double pos = 0;         // along that edge, from the last sample on home
    double depth = 0;       // deepest distance reached past the edge
};

// Pushing against the edges of one display. Sides keep the order in which they
// were first pushed, which settles ties.
struct PushSession {
    struct Entry {
        Side side = Side::top;
        double accum = 0;
        double pos = 0;
    };
    std::uint32_t rid = 0;
    std::array<Entry, 4> entries{};
    int count = 0;
    double last = 0;
    bool counted = false;

    Entry* find(Side s);
    const Entry* find(Side s) const;
    Entry& entry(Side s);  // adds it with nothing accumulated when absent
};

struct PushHit {
    Side side = Side::top;
    double amount = 0;
    bool operator==(const PushHit&) const = default;
};

// The first tap of a two-tap gesture.
struct Aim {
    Side side = Side::top;
    double pos = 0;
    double t = 0;
    std::uint32_t rid = 0;
};

// Recent samples, oldest first, in a fixed ring: appending to a full trail drops
// the oldest without moving the others.
class Trail {
  public:
    static constexpr int kCapacity = 600;

    Trail() : ring_(kCapacity) {}
    int size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear() { size_ = 0; }
    // Appends; true when the oldest sample had to go.
    bool push(const Sample& s);
    const Sample& operator[](int i) const { return ring_[wrap(head_ + i)]; }
    const Sample& back() const { return (*this)[size_ - 1]; }

  private:
    static int wrap(int i) { return i >= kCapacity ? i - kCapacity : i; }
    std::vector<Sample> ring_;
    int head_ = 0;
    int size_ = 0;
};

}  // namespace seam
