#include "app/bus_probe.h"

#include <dbus/dbus.h>

namespace seam {

bool sessionBusHasOwner(const char* name) {
    DBusError error;
    dbus_error_init(&error);
    // A private connection, closed here, so nothing of it is left for Qt to meet.
    DBusConnection* bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    if (!bus) {
        dbus_error_free(&error);
        return false;
    }
    dbus_connection_set_exit_on_disconnect(bus, false);
    const bool owned = dbus_bus_name_has_owner(bus, name, &error);
    dbus_error_free(&error);
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
    return owned;
}

}  // namespace seam
