#include "engine/records.h"

namespace seam {

PushSession::Entry* PushSession::find(Side s) {
    for (int i = 0; i < count; ++i)
        if (entries[i].side == s) return &entries[i];
    return nullptr;
}

const PushSession::Entry* PushSession::find(Side s) const {
    return const_cast<PushSession*>(this)->find(s);
}

PushSession::Entry& PushSession::entry(Side s) {
    if (Entry* e = find(s)) return *e;
    entries[count] = Entry{s, 0, 0};  // four sides, so never more than four entries
    return entries[count++];
}

bool Trail::push(const Sample& s) {
    if (size_ < kCapacity) {
        ring_[wrap(head_ + size_)] = s;
        ++size_;
        return false;
    }
    ring_[head_] = s;
    head_ = wrap(head_ + 1);
    return true;
}

}  // namespace seam
