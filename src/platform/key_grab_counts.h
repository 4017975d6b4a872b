// Two actions may be given the same keys, while the window server keeps one
// grab per combination: grab with the first holder, let go after the last, so
// letting go of one never leaves the other's key dead.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace seam {

class KeyGrabCounts {
  public:
    using Combination = std::pair<std::uint32_t, std::uint32_t>;  // key, modifiers

    // True for the first holder: the caller grabs now.
    bool acquire(const Combination& c) { return counts_[c]++ == 0; }
    // True for the last holder: the caller lets go now. An unheld one is ignored.
    bool release(const Combination& c) {
        auto it = counts_.find(c);
        if (it == counts_.end()) return false;
        if (--it->second > 0) return false;
        counts_.erase(it);
        return true;
    }
    bool held(const Combination& c) const { return counts_.count(c) != 0; }
    std::vector<Combination> combinations() const {
        std::vector<Combination> out;
        for (const auto& [c, n] : counts_) out.push_back(c);
        return out;
    }
    void clear() { counts_.clear(); }

  private:
    std::map<Combination, int> counts_;
};

}  // namespace seam
