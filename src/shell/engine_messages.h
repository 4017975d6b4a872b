// What the engine's own moves tell the user: the toast after a move, after a
// small automatic step, after a move the server refused, and after undo. The
// undo key is read each time a message is made, so a changed key shows at once.
//
// Wiring, for example:
//   EngineMessages messages(engine, pill, pointer, [&] { return undoKey.display(); });
//   hotKeys.registerHotKey(undoKey, HotKeyRegistry::undoID, [&] { messages.undo(); });
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "align/pill.h"
#include "engine/engine.h"

namespace seam {

std::string movedText(Side side, const std::string& undoKey);
std::string alignedText(double step, bool horizontal, const std::string& undoKey);
std::string moveRefusedText();
std::string undoText(UndoOutcome outcome);

class EngineMessages {
  public:
    // Takes over the engine's onMoved, onAligned and onRefused.
    EngineMessages(Engine& engine, Pill& pill, PointerServices& pointer,
                   std::function<std::string()> undoKey);
    ~EngineMessages();
    EngineMessages(const EngineMessages&) = delete;
    EngineMessages& operator=(const EngineMessages&) = delete;

    // Undoes the last move and says how that went, at the pointer.
    void undo();

  private:
    Engine& engine_;
    Pill& pill_;
    PointerServices& pointer_;
    std::function<std::string()> undoKey_;
    // The engine may outlive these messages; its callbacks check this.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace seam
