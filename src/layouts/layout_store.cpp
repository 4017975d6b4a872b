#include "layouts/layout_store.h"

#include <algorithm>
#include <utility>

#include "base/log.h"
#include "base/text.h"
#include "layouts/layout_file.h"
#include "layouts/unicode_text.h"

namespace seam {

std::string normalizedName(std::string_view name) {
    return caseFolded(trimBlanks(name));
}

LayoutStore::LayoutStore(Read read, Write write, Now now)
    : read_(std::move(read)), write_(std::move(write)), now_(std::move(now)) {
    reload();
}

LayoutStore::LayoutStore(SettingsStore& defaults, Now now)
    : LayoutStore([&defaults] { return defaults.data(key); },
                  [&defaults](const Bytes& bytes) {
                      // Whatever sits under the key and cannot be read back (bytes that do not
                      // decode, or a value of another kind) is kept rather than overwritten.
                      if (auto current = defaults.object(key)) {
                          const Bytes* old = std::get_if<Bytes>(&*current);
                          if (!old || !decodeLayoutFile(*old))
                              defaults.set(unreadableKey, *current);
                      }
                      defaults.set(key, bytes);
                  },
                  std::move(now)) {}

void LayoutStore::reload() {
    layouts_.clear();
    const std::optional<Bytes> bytes = read_ ? read_() : std::nullopt;
    if (!bytes) return;
    if (auto file = decodeLayoutFile(*bytes)) {
        layouts_ = std::move(file->layouts);
        return;
    }
    log("layouts: could not read layouts.v1 (" + std::to_string(bytes->size()) + " bytes)");
}

std::optional<Bytes> LayoutStore::encoded() const {
    return encodeLayoutFile(LayoutFile{.version = version, .layouts = layouts_});
}

const SavedLayout* LayoutStore::layout(std::string_view id) const {
    for (const auto& l : layouts_) {
        if (l.id == id) return &l;
    }
    return nullptr;
}

SavedLayout* LayoutStore::find(std::string_view id) {
    return const_cast<SavedLayout*>(std::as_const(*this).layout(id));
}

const SavedLayout* LayoutStore::layoutNamed(std::string_view name,
                                            std::optional<std::string_view> except) const {
    const std::string wanted = normalizedName(name);
    for (const auto& l : layouts_) {
        if (except && l.id == *except) continue;
        if (normalizedName(l.name) == wanted) return &l;
    }
    return nullptr;
}

std::string LayoutStore::nextDefaultName() const {
    const std::string pattern = T("배치 %d", "Layout %d");
    const size_t at = pattern.find("%d");
    for (size_t n = layouts_.size() + 1;; ++n) {
        std::string candidate = pattern;
        if (at != std::string::npos) candidate.replace(at, 2, std::to_string(n));
        if (!layoutNamed(candidate)) return candidate;
    }
}

void LayoutStore::upsert(const SavedLayout& layout) {
    if (SavedLayout* existing = find(layout.id)) {
        *existing = layout;
    } else {
        layouts_.push_back(layout);
    }
    save();
}

void LayoutStore::remove(std::string_view id) {
    std::erase_if(layouts_, [&](const SavedLayout& l) { return l.id == id; });
    save();
}

bool LayoutStore::rename(std::string_view id, std::string_view newName) {
    const std::string trimmed = trimBlanks(newName);
    if (trimmed.empty()) return false;
    if (layoutNamed(trimmed, id)) return false;
    SavedLayout* l = find(id);
    if (!l) return false;
    if (l->name != trimmed) {
        l->name = trimmed;
        save();
    }
    return true;
}

void LayoutStore::markApplied(std::string_view id, std::optional<Date> at) {
    SavedLayout* l = find(id);
    if (!l || (!at && !now_)) return;
    l->lastApplied = at ? *at : now_();
    save();
}

void LayoutStore::setAutoApply(std::string_view id, bool on) {
    SavedLayout* l = find(id);
    if (!l) return;
    l->autoApply = on;
    save();
}

void LayoutStore::save() {
    if (auto bytes = encoded(); bytes && write_) write_(*bytes);
}

}  // namespace seam
