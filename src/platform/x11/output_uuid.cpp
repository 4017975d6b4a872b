#include "platform/x11/output_uuid.h"

#include <QByteArray>
#include <QUuid>

namespace seam {

namespace {
// Chosen once for Seamwright's output UUIDs.
const QUuid kOutputNamespace(QStringLiteral("FB60C8FA-4F4F-4E2B-A388-0831759851A5"));
}  // namespace

std::string outputUUID(std::span<const std::uint8_t> edid, const std::string& connector) {
    QByteArray name(reinterpret_cast<const char*>(edid.data()), qsizetype(edid.size()));
    name.append(connector.data(), qsizetype(connector.size()));
    return QUuid::createUuidV5(kOutputNamespace, name)
        .toString(QUuid::WithoutBraces)
        .toUpper()
        .toStdString();
}

}  // namespace seam
