#include "update/qt/update_alerts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "update/update_texts.h"

namespace seam {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

void inform(const std::string& message) {
    QMessageBox box;
    box.setTextFormat(Qt::PlainText);
    box.setText(q(message));
    box.addButton(q(UpdateTexts::ok()), QMessageBox::AcceptRole);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
}

}  // namespace

void QtUpdateAlerts::upToDate(const std::string& current) {
    inform(UpdateTexts::upToDate(current));
}

void QtUpdateAlerts::checkFailed() {
    inform(UpdateTexts::checkFailed());
}

void fillOffer(QMessageBox& box, const update::Entry& entry) {
    box.setText(q(UpdateTexts::offerMessage(entry.version)));
    box.setInformativeText(q(UpdateTexts::offerInformative(entry.notes)));
    // After the texts: the informative label exists only once it has text.
    box.setTextFormat(Qt::PlainText);
    for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    QPushButton* now = box.addButton(q(UpdateTexts::updateNow()), QMessageBox::AcceptRole);
    box.addButton(q(UpdateTexts::later()), QMessageBox::RejectRole);
    box.setDefaultButton(now);
}

bool QtUpdateAlerts::offer(const update::Entry& entry) {
    QMessageBox box;
    fillOffer(box, entry);
    auto* now = qobject_cast<QPushButton*>(box.defaultButton());
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    return box.clickedButton() == now;
}

void QtUpdateAlerts::alreadyInstalling() {
    inform(UpdateTexts::alreadyInstalling());
}

void QtUpdateAlerts::installFailed() {
    inform(UpdateTexts::installFailed());
}

void QtUpdateAlerts::openPage(const std::string& url) {
    const QUrl u(q(url));
    if (u.isValid()) QDesktopServices::openUrl(u);
}

}  // namespace seam
