// The unpacker and bundle reading on their own, for cases the installer tests
// only reach as "unzip/version".
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures.h"
#include "main/version.h"
#include "support/log_capture.h"
#include "update/qt/app_bundle.h"
#include "update/qt/zip_unpack.h"
#include "update/swap_script.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
using testing::ZipItem;

struct Unpacked {
    bool ok;
    std::string reason;
};

Unpacked unpack(const std::string& folder, const std::vector<ZipItem>& items,
                const UnpackLimits& limits = {}) {
    const QByteArray zip = testing::makeZip(items);
    std::string reason;
    const bool ok = unpackZip(std::span<const char>(zip.constData(), size_t(zip.size())), folder,
                              reason, limits);
    return {ok, reason};
}

TEST(UnpackTest, KeepsFilesFoldersModesAndInsideLinks) {
    testing::TempDir dir;
    const auto r =
        unpack(dir.path(), {
                               {"A.app/Contents/bin/run", ZipItem::file, "#!/bin/sh\n", 0755},
                               {"A.app/Contents/data.txt", ZipItem::file, "hello"},
                               {"A.app/Contents/empty/", ZipItem::folder},
                               {"A.app/Contents/current", ZipItem::link, "bin"},
                               {"A.app/Contents/bin/up", ZipItem::link, "../data.txt"},
                               {"./A.app/Contents/dot.txt", ZipItem::file, "d"},
                           });
    ASSERT_TRUE(r.ok) << r.reason;
    const fs::path c = fs::path(dir.path()) / "A.app/Contents";
    EXPECT_EQ(testing::fileText((c / "data.txt").string()), "hello");
    EXPECT_EQ(testing::fileText((c / "bin/up").string()), "hello");
    EXPECT_TRUE(fs::is_directory(c / "empty"));
    EXPECT_EQ(fs::read_symlink(c / "current"), "bin");
    EXPECT_NE(fs::status(c / "bin/run").permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_TRUE(fs::exists(c / "dot.txt"));
}

TEST(UnpackTest, RefusesWhatLeavesTheFolder) {
    const struct {
        const char* name;
        std::vector<ZipItem> items;
        const char* reason;
    } cases[] = {
        {"absolute path", {{"/tmp/seam-evil", ZipItem::file, "x"}}, "unsafe entry path"},
        {"dot-dot", {{"a/../../seam-evil", ZipItem::file, "x"}}, "unsafe entry path"},
        {"dot-dot folder", {{"../", ZipItem::folder}}, "unsafe entry path"},
        {"absolute link", {{"l", ZipItem::link, "/etc"}}, "link leaves the folder"},
        {"climbing link", {{"a/b/l", ZipItem::link, "../../../x"}}, "link leaves the folder"},
        {"empty link", {{"l", ZipItem::link, ""}}, "link leaves the folder"},
        // Each link alone stays inside; together they climb out.
        {"chained links",
         {{"a", ZipItem::link, "."}, {"b", ZipItem::link, "a/.."}},
         "link leaves the folder"},
        // A later entry of the same name may not turn a file into a way out.
        {"file replaced by a link",
         {{"x", ZipItem::file, "1"}, {"x", ZipItem::link, "../outside"}},
         "link leaves the folder"},
        {"write through a link",
         {{"d/", ZipItem::folder}, {"l", ZipItem::link, "d"}, {"l/f", ZipItem::file, "x"}},
         "cannot unpack l/f"},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        const std::string folder = dir.path() + "/update";
        fs::create_directories(folder);
        const auto r = unpack(folder, c.items);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.reason.rfind(c.reason, 0), 0u) << c.name << ": " << r.reason;
        // Nothing beside the update folder.
        for (const auto& e : fs::directory_iterator(dir.path()))
            EXPECT_EQ(e.path().filename(), "update") << c.name;
    }
    EXPECT_FALSE(fs::exists("/tmp/seam-evil"));
}

TEST(UnpackTest, StopsAtItsLimits) {
    const std::vector<ZipItem> three = {{"a", ZipItem::file, std::string(400, 'x')},
                                        {"b/", ZipItem::folder},
                                        {"b/c", ZipItem::file, std::string(400, 'y')}};
    const struct {
        UnpackLimits limits;
        const char* reason;  // nothing: unpacks
    } cases[] = {
        {{.maxBytes = 800, .maxEntries = 3}, nullptr},
        {{.maxBytes = 799, .maxEntries = 3}, "more than 799 bytes unpacked"},
        {{.maxBytes = 800, .maxEntries = 2}, "more than 2 entries"},
        // Highly compressed bytes count as what they unpack to.
        {{.maxBytes = 300, .maxEntries = 3}, "more than 300 bytes unpacked"},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        const auto r = unpack(dir.path(), three, c.limits);
        EXPECT_EQ(r.ok, c.reason == nullptr) << r.reason;
        if (c.reason) {
            EXPECT_EQ(r.reason, c.reason);
        }
    }
}

// Found by fuzzing: an entry whose header claims 4 GiB and carries nothing.
TEST(UnpackTest, SizeClaimedInTheHeaderCountsAgainstTheLimit) {
    testing::TempDir dir;
    const std::string zip = testing::fileText(std::string(SEAM_SOURCE_DIR) +
                                              "/tests/fixtures/archive_huge_declared_size.zip");
    ASSERT_FALSE(zip.empty());
    std::string reason;
    EXPECT_FALSE(unpackZip(std::span<const char>(zip.data(), zip.size()), dir.path(), reason,
                           {.maxBytes = 8 << 20, .maxEntries = 100}));
    EXPECT_EQ(reason, "more than 8388608 bytes unpacked");
    for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
        if (e.is_regular_file()) {
            EXPECT_LE(e.file_size(), 8u << 20) << e.path();
        }
    }
}

TEST(UnpackTest, RefusesDamagedArchives) {
    testing::TempDir dir;
    QByteArray zip =
        testing::makeZip(testing::bundleItems("", "1.0", kBundleIdentifier, dir.path() + "/m"));
    const QByteArray cases[] = {QByteArray(), QByteArray("PK\x03\x04garbage"),
                                zip.left(zip.size() / 2), zip.left(zip.size() - 10)};
    for (int n = 0; n < 4; ++n) {
        const QByteArray& bad = cases[n];
        std::string reason;
        EXPECT_FALSE(unpackZip(std::span<const char>(bad.constData(), size_t(bad.size())),
                               dir.path(), reason))
            << n;
        EXPECT_FALSE(reason.empty()) << n;
    }
}

TEST(BundleTest, PlistStringReadsTopLevelStringsOnly) {
    const QByteArray plist = R"(<?xml version="1.0"?>
<plist version="1.0"><dict>
  <key>Nested</key><dict><key>CFBundleIdentifier</key><string>inner</string></dict>
  <key>CFBundleShortVersionString</key><string>1.2.3</string>
  <key>Count</key><integer>3</integer>
  <key>CFBundleIdentifier</key><string>org.example.App</string>
</dict></plist>)";
    EXPECT_EQ(plistString(plist, "CFBundleIdentifier"), QString("org.example.App"));
    EXPECT_EQ(plistString(plist, "CFBundleShortVersionString"), QString("1.2.3"));
    EXPECT_FALSE(plistString(plist, "Count"));
    EXPECT_FALSE(plistString(plist, "Missing"));
    EXPECT_FALSE(plistString("<dict><key>A</key><string>x</string></dict>", "A"));
    EXPECT_FALSE(plistString("not xml", "A"));
    EXPECT_EQ(plistString(QByteArray::fromStdString(testing::plistText("id.x", "0.9.3")),
                          "CFBundleShortVersionString"),
              QString("0.9.3"));
}

TEST(BundleTest, ProgramInsideABundleFindsIt) {
    testing::TempDir dir;
    testing::writeItems(dir.path() + "/",
                        testing::bundleItems("", "1.0", kBundleIdentifier, dir.path() + "/m"));
    const QString bundle = QString::fromStdString(dir.path() + "/" + kBundleName);
    const auto info = readBundle(bundle);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->identifier, QString(kBundleIdentifier));
    EXPECT_EQ(info->version, QString("1.0"));
    EXPECT_EQ(bundleOfProgram(bundle + "/" + kBundleExecutable), bundle);
    EXPECT_FALSE(bundleOfProgram("/usr/bin/seamwright"));
    EXPECT_FALSE(bundleOfProgram(bundle + "/Contents/Info.plist"));

    // Without its program it is not a bundle the swap could start again.
    fs::remove(dir.path() + "/" + kBundleName + "/" + kBundleExecutable);
    EXPECT_FALSE(readBundle(bundle));
}

TEST(BundleTest, GeneratedInfoPlistCarriesThisBuildsIdentity) {
    const std::string plist = testing::fileText(SEAM_BINARY_DIR "/generated/Info.plist");
    ASSERT_FALSE(plist.empty());
    const QByteArray bytes = QByteArray::fromStdString(plist);
    EXPECT_EQ(plistString(bytes, "CFBundleIdentifier"), QString(kBundleIdentifier));
    EXPECT_EQ(plistString(bytes, "CFBundleShortVersionString"), QString(kVersion));
}

}  // namespace
}  // namespace seam
