// The tray through a StatusNotifierItem: with a status notifier watcher on the
// session bus (a small one of the test's own) the program registers an item,
// and the item's title, icon and menu are read back over the bus.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include <future>

#include "qt_on_x.h"
#include "support/command.h"
#include "support/session_bus.h"
// After Qt: Xlib's macros clash with its names.
#include "program_on_x.h"
#include "x11_environment.h"

namespace seam {
namespace {

using namespace testing;

// Takes every registration and says a host is there, which is what makes Qt
// choose the item over the X11 tray.
class Watcher : public QDBusVirtualObject {
  public:
    // Qt reads the host's property through an interface built from this.
    QString introspect(const QString&) const override {
        return R"(<interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
</interface>)";
    }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override {
        const QString member = m.member();
        if (member == "RegisterStatusNotifierItem") {
            const QString arg = m.arguments().value(0).toString();
            // An item may name its service or only its path.
            items.push_back(arg.startsWith('/') ? m.service() : arg);
            bus.send(m.createReply());
        } else if (member == "Get") {
            const QString property = m.arguments().value(1).toString();
            QVariant value = property == "IsStatusNotifierHostRegistered" ? QVariant(true)
                             : property == "ProtocolVersion"              ? QVariant(0)
                                                                          : QVariant(QStringList());
            bus.send(m.createReply(QVariant::fromValue(QDBusVariant(value))));
        } else if (member == "Introspect") {
            bus.send(m.createReply("<node>" + introspect(m.path()) + "</node>"));
        } else if (m.type() == QDBusMessage::MethodCallMessage) {
            bus.send(m.createReply());
        }
        return true;
    }
    QStringList items;
};

class StatusNotifier : public QtOnX {};

TEST_F(StatusNotifier, TheProgramRegistersAnItemOfItsOwn) {
    ASSERT_TRUE(xserver()->arrange());
    SessionBus bus;
    ASSERT_TRUE(bus.running());
    QDBusConnection watcherBus =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "watcher");
    ASSERT_TRUE(watcherBus.isConnected());
    Watcher watcher;
    ASSERT_TRUE(watcherBus.registerVirtualObject("/StatusNotifierWatcher", &watcher));
    ASSERT_TRUE(watcherBus.registerService("org.kde.StatusNotifierWatcher"));

    Program program({}, {"DBUS_SESSION_BUS_ADDRESS=" + bus.address()});
    ASSERT_TRUE(waitFor([&] { return !watcher.items.isEmpty(); }, 15000)) << program.logText();
    // No X11 tray was there, yet the icon found its host: nothing missing is reported.
    EXPECT_EQ(program.logText().find("tray: no tray host"), std::string::npos) << program.logText();

    const std::string item = watcher.items.front().toStdString();
    // The program may ask the watcher while it answers, so the watcher goes on
    // serving while gdbus waits.
    const auto serving = [&](const std::string& command) {
        auto run = std::async(std::launch::async, runCommand, command);
        waitFor([&] { return run.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                30000);
        return run.get();
    };
    const auto property = [&](const std::string& name) {
        return serving("DBUS_SESSION_BUS_ADDRESS='" + bus.address() + "' gdbus call --session -d " +
                       item +
                       " -o /StatusNotifierItem -m org.freedesktop.DBus.Properties.Get "
                       "org.kde.StatusNotifierItem " +
                       name + " 2>&1")
            .out;
    };
    // Qt titles the item with the program's name; the tooltip is ours.
    EXPECT_EQ(property("Title"), "(<'seamwright'>,)\n");
    EXPECT_NE(property("ToolTip").find("'Seamwright'"), std::string::npos) << property("ToolTip");
    // Our own drawn icon travels as pixels, not as a theme's name.
    EXPECT_NE(property("IconPixmap").find("[("), std::string::npos);
    const std::string menu = property("Menu");
    ASSERT_NE(menu.find("objectpath '/"), std::string::npos) << menu;
    const std::string menuPath =
        menu.substr(menu.find('\'') + 1, menu.rfind('\'') - menu.find('\'') - 1);
    const auto layout = serving("DBUS_SESSION_BUS_ADDRESS='" + bus.address() +
                                "' gdbus call --session -d " + item + " -o " + menuPath +
                                " -m com.canonical.dbusmenu.GetLayout 0 'int32 -1' '@as []' 2>&1");
    EXPECT_NE(layout.out.find("Align Monitors"), std::string::npos) << layout.out;
    watcherBus.unregisterService("org.kde.StatusNotifierWatcher");
    QDBusConnection::disconnectFromBus("watcher");
}

}  // namespace
}  // namespace seam
