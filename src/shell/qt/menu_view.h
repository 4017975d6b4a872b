// Shows a menu model in a QMenu. An action is kept and updated where the item at
// its position is of the same kind, so an open menu is not disturbed and the
// items above a replaced tail stay the same actions.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "shell/menu.h"

class QAction;
class QMenu;

namespace seam {

class MenuView : public QObject {
    Q_OBJECT
  public:
    // Called with the chosen item; never for the quit item, which quits the application.
    using Dispatch = std::function<void(const MenuItem&)>;
    // The QMenu that shows an item's submenu; nullptr: none.
    using SubmenuFor = std::function<QMenu*(const Menu*)>;

    MenuView(QMenu& menu, Dispatch dispatch, SubmenuFor submenus = {});

    void show(const Menu& model);
    QMenu& menu() { return menu_; }

  private:
    enum class Kind { separator, plain, noted };
    static Kind kindOf(const MenuItem& item);
    QAction* make(Kind kind, std::size_t index);
    void update(QAction* action, const MenuItem& item);
    void chosen(std::size_t index);

    QMenu& menu_;
    Dispatch dispatch_;
    SubmenuFor submenus_;
    std::vector<QAction*> actions_;
    std::vector<Kind> kinds_;
    std::vector<MenuItem> shown_;
};

}  // namespace seam
