#include "shell/engine_messages.h"

#include "base/text.h"

namespace seam {

std::string movedText(Side side, const std::string& undoKey) {
    const std::string a(arrow(side));
    return T(a + " 정렬했어요 · " + undoKey + " 되돌리기",
             a + " Aligned · " + undoKey + " to undo");
}

std::string alignedText(double step, bool horizontal, const std::string& undoKey) {
    const char* a = horizontal ? (step > 0 ? "→" : "←") : (step > 0 ? "↓" : "↑");
    return std::string(a) + " 살짝 맞춤 · " + undoKey + " 되돌리기";
}

std::string moveRefusedText() {
    return T("모니터를 옮기지 못했어요", "Couldn’t move the monitor");
}

std::string undoText(UndoOutcome outcome) {
    switch (outcome) {
        case UndoOutcome::nothing:
            return T("되돌릴 게 없어요", "Nothing to undo");
        case UndoOutcome::undone:
            return T("원래 배치로 되돌림", "Restored the previous layout");
        case UndoOutcome::refused:
            return T("원래 배치로 되돌리지 못했어요", "Couldn’t restore the previous layout");
    }
    return {};
}

EngineMessages::EngineMessages(Engine& engine, Pill& pill, PointerServices& pointer,
                               std::function<std::string()> undoKey)
    : engine_(engine), pill_(pill), pointer_(pointer), undoKey_(std::move(undoKey)) {
    const std::weak_ptr<bool> alive = alive_;
    engine_.onMoved = [this, alive](Side side, Point p) {
        if (!alive.expired()) pill_.show(movedText(side, undoKey_()), p, 1.1);
    };
    engine_.onAligned = [this, alive](double step, bool horizontal, Point p) {
        if (!alive.expired()) pill_.show(alignedText(step, horizontal, undoKey_()), p, 0.9);
    };
    engine_.onRefused = [this, alive](Point p) {
        if (!alive.expired()) pill_.show(moveRefusedText(), p, 1.1);
    };
}

EngineMessages::~EngineMessages() = default;

void EngineMessages::undo() {
    // The pointer is read after the undo: the move may have carried it along.
    const UndoOutcome outcome = engine_.undo();
    pill_.show(undoText(outcome), pointer_.location(), 1.1);
}

}  // namespace seam
