// The installation steps after the download: verify, unpack, check, and start
// the swap script. Runs off the main thread; touches no user interface.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

#include "update/swap_script.h"
#include "update/update_feed.h"

namespace seam {

struct InstallJob {
    QByteArray archive;  // the downloaded bytes
    update::Entry entry;
    QString target;      // the running application's bundle
    QString identifier;  // the running application's identifier
    qint64 pid = 0;      // the process the script waits for
    QString logFile;
};

struct InstallOutcome {
    bool started = false;  // the swap script runs
    std::string failure;   // the failure word, and what follows it
    QString updateFolder;  // empty until it was made; removed again on failure
};

// "sha256" digest of the bytes as lower-case hexadecimal.
std::string sha256Hex(const QByteArray& bytes);

InstallOutcome prepareInstall(const InstallJob& job);

}  // namespace seam
