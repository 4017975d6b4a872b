#include "layouts/display_probe.h"

namespace seam {

DisplayIdent DisplayProbe::ident() const {
    DisplayIdent out{.vendor = vendor, .model = model, .builtin = builtin};
    out.serialNumber = usableSerialNumber(cgSerial);
    if (!out.serialNumber && ioSerialNumber) out.serialNumber = usableSerialNumber(*ioSerialNumber);
    if (!out.serialNumber && edid) out.serialNumber = usableSerialNumber(edid->serial);
    out.serialString = usableSerialString(ioAlnum);
    if (!out.serialString && edid) out.serialString = usableSerialString(edid->alnum);
    return out;
}

}  // namespace seam
