// The application bundle on Linux: a relocatable folder "Seamwright.app" with
// Contents/Info.plist (the same keys as elsewhere) and Contents/bin/seamwright.
#pragma once

#include <QString>
#include <optional>

namespace seam {

struct BundleInfo {
    QString identifier;  // "CFBundleIdentifier"
    QString version;     // "CFBundleShortVersionString"
};

// Reads the property list's top-level string values; nothing when the folder
// is not a bundle (no readable Info.plist, or no executable program).
std::optional<BundleInfo> readBundle(const QString& folder);

// The string value of key in a property list's top-level dictionary.
std::optional<QString> plistString(const QByteArray& plist, const QString& key);

// The bundle that holds the program, when it runs from one.
std::optional<QString> bundleOfProgram(const QString& programPath);

// At launch, from a bundle: puts right what a swap killed half way left beside
// it (see recoverInterruptedSwap), and logs what it did.
void recoverSwapAtLaunch(const QString& programPath);

}  // namespace seam
