#include "shell/qt/menu_view.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace seam {

namespace {
// A single "&" would be taken for a mnemonic.
QString actionText(const std::string& title) {
    return QString::fromStdString(title).replace("&", "&&");
}

// The title in the menu font, the note below it in the small font.
class NotedItem : public QWidget {
  public:
    NotedItem() {
        auto* box = new QVBoxLayout(this);
        // Roughly where the style puts the text of ordinary items.
        box->setContentsMargins(28, 3, 16, 3);
        box->setSpacing(0);
        title_ = new QLabel(this);
        note_ = new QLabel(this);
        QFont small = note_->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        note_->setFont(small);
        title_->setTextFormat(Qt::PlainText);
        note_->setTextFormat(Qt::PlainText);
        box->addWidget(title_);
        box->addWidget(note_);
    }
    void set(const MenuItem& item) {
        title_->setText(QString::fromStdString(item.title));
        note_->setText(QString::fromStdString(item.note));
        setToolTip(QString::fromStdString(item.toolTip));
    }

  private:
    QLabel* title_;
    QLabel* note_;
};
}  // namespace

MenuView::MenuView(QMenu& menu, Dispatch dispatch, SubmenuFor submenus)
    : QObject(&menu), menu_(menu), dispatch_(std::move(dispatch)), submenus_(std::move(submenus)) {
    menu_.setToolTipsVisible(true);
}

MenuView::Kind MenuView::kindOf(const MenuItem& item) {
    if (item.separator) return Kind::separator;
    return item.note.empty() ? Kind::plain : Kind::noted;
}

QAction* MenuView::make(Kind kind, std::size_t index) {
    QAction* a = nullptr;
    if (kind == Kind::noted) {
        auto* w = new QWidgetAction(&menu_);
        w->setDefaultWidget(new NotedItem);
        a = w;
    } else {
        a = new QAction(&menu_);
        a->setSeparator(kind == Kind::separator);
    }
    connect(a, &QAction::triggered, this, [this, index] { chosen(index); });
    return a;
}

void MenuView::update(QAction* a, const MenuItem& item) {
    if (item.separator) return;
    a->setText(actionText(item.title));
    a->setToolTip(QString::fromStdString(item.toolTip));
    a->setEnabled(item.enabled);
    a->setCheckable(item.checked);
    a->setChecked(item.checked);
    a->setShortcut(
        item.keyEquivalent.empty()
            ? QKeySequence()
            : QKeySequence("Ctrl+" + QString::fromStdString(item.keyEquivalent).toUpper()));
    a->setMenu(item.submenu && submenus_ ? submenus_(item.submenu) : nullptr);
    if (auto* w = qobject_cast<QWidgetAction*>(a))
        static_cast<NotedItem*>(w->defaultWidget())->set(item);
}

void MenuView::show(const Menu& model) {
    const auto& items = model.items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Kind kind = kindOf(items[i]);
        if (i < actions_.size() && kinds_[i] != kind) {
            QAction* replaced = make(kind, i);
            menu_.insertAction(actions_[i], replaced);
            menu_.removeAction(actions_[i]);
            actions_[i]->deleteLater();
            actions_[i] = replaced;
            kinds_[i] = kind;
        } else if (i >= actions_.size()) {
            actions_.push_back(make(kind, i));
            kinds_.push_back(kind);
            menu_.addAction(actions_.back());
        }
        update(actions_[i], items[i]);
    }
    while (actions_.size() > items.size()) {
        menu_.removeAction(actions_.back());
        actions_.back()->deleteLater();
        actions_.pop_back();
        kinds_.pop_back();
    }
    shown_ = items;
}

void MenuView::chosen(std::size_t index) {
    if (index >= shown_.size()) return;
    // A copy: the command may show the menu anew.
    const MenuItem item = shown_[index];
    if (item.command == MenuCommand::terminate) {
        QApplication::quit();
    } else if (item.command != MenuCommand::none && dispatch_) {
        dispatch_(item);
    }
}

}  // namespace seam
