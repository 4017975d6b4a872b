#include "shell/qt/layout_prompts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace seam {

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Over whatever is in front: a tray application has no window of its own.
void toFront(QWidget& w) {
    w.setWindowFlag(Qt::WindowStaysOnTopHint);
    w.raise();
    w.activateWindow();
}
}  // namespace

std::optional<std::string> QtLayoutPrompts::askName(const SavePromptTexts& texts,
                                                    const std::string& proposed) {
    QDialog dialog;
    dialog.setWindowTitle("Seamwright");
    auto* box = new QVBoxLayout(&dialog);
    auto* title = new QLabel(qs(texts.title));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* message = new QLabel(qs(texts.message));
    message->setWordWrap(true);
    auto* field = new QLineEdit(qs(proposed));
    field->setPlaceholderText(qs(texts.placeholder));
    field->setFixedSize(260, 24);
    auto* buttons = new QDialogButtonBox;
    QPushButton* save = buttons->addButton(qs(texts.save), QDialogButtonBox::AcceptRole);
    buttons->addButton(qs(texts.cancel), QDialogButtonBox::RejectRole);
    save->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    box->addWidget(title);
    box->addWidget(message);
    box->addWidget(field);
    box->addWidget(buttons);
    field->setFocus();
    field->selectAll();
    toFront(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return field->text().toStdString();
}

bool QtLayoutPrompts::confirmReplace(const ReplacePromptTexts& texts) {
    QMessageBox box;
    box.setWindowTitle("Seamwright");
    box.setText(qs(texts.title));
    QPushButton* replace = box.addButton(qs(texts.replace), QMessageBox::AcceptRole);
    box.addButton(qs(texts.cancel), QMessageBox::RejectRole);
    box.setDefaultButton(replace);
    toFront(box);
    box.exec();
    return box.clickedButton() == replace;
}

}  // namespace seam
