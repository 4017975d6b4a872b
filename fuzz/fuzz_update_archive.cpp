// Update archives through our unpacker into a scratch folder: it must never
// fault, and nothing may be written outside the folder, whatever the archive's
// names, links and sizes say.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

#include "update/qt/zip_unpack.h"

namespace fs = std::filesystem;

namespace {

bool inside(const fs::path& p, const fs::path& root) {
    auto r = root.begin();
    auto q = p.begin();
    for (; r != root.end(); ++r, ++q)
        if (q == p.end() || *q != *r) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path base =
        fs::temp_directory_path() / ("fuzz-unpack-" + std::to_string(::getpid()));
    const fs::path folder = base / "in";
    const fs::path outside = base / "out";  // a sibling an escape would reach first
    std::error_code ec;
    fs::remove_all(base, ec);
    fs::create_directories(folder);
    fs::create_directories(outside);
    std::string reason;
    // Small limits: the fuzzer should find the checks, not fill the disk.
    const seam::UnpackLimits limits{.maxBytes = 8 << 20, .maxEntries = 2000};
    seam::unpackZip(std::span<const char>(reinterpret_cast<const char*>(data), size),
                    folder.string(), reason, limits);
    if (!fs::is_empty(outside)) std::abort();
    for (const auto& e : fs::directory_iterator(base))
        if (e.path() != folder && e.path() != outside) std::abort();
    const fs::path root = fs::canonical(folder);
    long long bytes = 0;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (!inside(fs::weakly_canonical(it->path().parent_path()), root)) std::abort();
        if (it->is_regular_file(ec) && !it->is_symlink(ec)) bytes += it->file_size(ec);
    }
    if (bytes > limits.maxBytes) std::abort();
    return 0;
}
