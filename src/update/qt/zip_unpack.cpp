#include "update/qt/zip_unpack.h"

#include <archive.h>
#include <archive_entry.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace seam {

namespace fs = std::filesystem;

namespace {

struct ReadCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteCloser {
    void operator()(archive* a) const { archive_write_free(a); }
};

std::vector<std::string> components(const std::string& path) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        out.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return out;
}

bool safeEntryPath(const std::string& path) {
    if (path.empty() || path.front() == '/') return false;
    for (const auto& c : components(path))
        if (c == "..") return false;
    return true;
}

// A link's target resolved by its text from the link's folder must stay inside.
bool linkStaysInside(const std::string& entryPath, const std::string& target) {
    if (target.empty() || target.front() == '/') return false;
    auto parts = components(entryPath);
    parts.pop_back();  // the link itself
    std::vector<std::string> at;
    for (const auto& p : parts)
        if (!p.empty() && p != ".") at.push_back(p);
    for (const auto& p : components(target)) {
        if (p.empty() || p == ".") continue;
        if (p == "..") {
            if (at.empty()) return false;
            at.pop_back();
        } else {
            at.push_back(p);
        }
    }
    return true;
}

bool within(const fs::path& p, const fs::path& root) {
    auto r = root.begin();
    auto q = p.begin();
    for (; r != root.end(); ++r, ++q)
        if (q == p.end() || *q != *r) return false;
    return true;
}

// Links may also leave the folder through one another ("a" -> ".", "b" -> "a/..");
// resolve every link for real once everything is on disk.
bool allLinksInside(const fs::path& root, std::string& reason) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (!it->is_symlink(ec)) continue;
        const fs::path resolved = fs::weakly_canonical(it->path(), ec);
        if (ec || !within(resolved, root)) {
            reason = "link leaves the folder: " + it->path().string();
            return false;
        }
    }
    if (ec) reason = "cannot read back the unpacked folder";
    return !ec;
}

}  // namespace

bool unpackZip(std::span<const char> data, const std::string& folder, std::string& reason,
               const UnpackLimits& limits) {
    std::error_code ec;
    const fs::path root = fs::canonical(folder, ec);
    if (ec) {
        reason = "no folder " + folder;
        return false;
    }
    std::unique_ptr<archive, ReadCloser> in(archive_read_new());
    std::unique_ptr<archive, WriteCloser> out(archive_write_disk_new());
    if (!in || !out) {
        reason = "out of memory";
        return false;
    }
    // The central directory must be there: a cut archive is refused, not half unpacked.
    archive_read_support_format_zip_seekable(in.get());
    // Never write through a link and never climb; permissions keep the umask,
    // so nothing becomes set-user-id.
    archive_write_disk_set_options(out.get(), ARCHIVE_EXTRACT_TIME |
                                                  ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                  ARCHIVE_EXTRACT_SECURE_NODOTDOT);
    if (archive_read_open_memory(in.get(), data.data(), data.size()) != ARCHIVE_OK) {
        reason = "not a zip archive";
        return false;
    }
    int entries = 0;
    long long written = 0;
    for (;; ++entries) {
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(in.get(), &entry);
        if (r == ARCHIVE_EOF) break;
        if (r != ARCHIVE_OK) {
            const char* e = archive_error_string(in.get());
            reason = std::string("damaged archive: ") + (e ? e : "?");
            return false;
        }
        if (entries >= limits.maxEntries) {
            reason = "more than " + std::to_string(limits.maxEntries) + " entries";
            return false;
        }
        const char* rawName = archive_entry_pathname(entry);
        const std::string name = rawName ? rawName : "";
        if (!safeEntryPath(name)) {
            reason = "unsafe entry path: " + name;
            return false;
        }
        const auto type = archive_entry_filetype(entry);
        if (archive_entry_hardlink(entry) ||
            (type != AE_IFREG && type != AE_IFDIR && type != AE_IFLNK)) {
            reason = "unsupported entry: " + name;
            return false;
        }
        if (type == AE_IFLNK) {
            const char* target = archive_entry_symlink(entry);
            if (!target || !linkStaysInside(name, target)) {
                reason = "link leaves the folder: " + name + " -> " + (target ? target : "");
                return false;
            }
        }
        // A size in the header alone makes the file that long (sparse, but not
        // everywhere): count it too, and let the file be what is written.
        if (type == AE_IFREG && archive_entry_size_is_set(entry) &&
            archive_entry_size(entry) > limits.maxBytes - written) {
            reason = "more than " + std::to_string(limits.maxBytes) + " bytes unpacked";
            return false;
        }
        archive_entry_unset_size(entry);
        const std::string destination = (root / name).string();
        archive_entry_set_pathname(entry, destination.c_str());
        if (archive_write_header(out.get(), entry) != ARCHIVE_OK) {
            const char* e = archive_error_string(out.get());
            reason = "cannot unpack " + name + ": " + (e ? e : "?");
            return false;
        }
        if (type == AE_IFREG) {
            const void* block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            int rr;
            while ((rr = archive_read_data_block(in.get(), &block, &size, &offset)) == ARCHIVE_OK) {
                // Counted as unpacked, not as the entry claims: sizes in the
                // archive are the sender's word.
                written += static_cast<long long>(size);
                if (written > limits.maxBytes || offset + la_int64_t(size) > limits.maxBytes) {
                    reason = "more than " + std::to_string(limits.maxBytes) + " bytes unpacked";
                    return false;
                }
                if (archive_write_data_block(out.get(), block, size, offset) != ARCHIVE_OK) {
                    reason = "cannot write " + name;
                    return false;
                }
            }
            if (rr != ARCHIVE_EOF) {
                const char* e = archive_error_string(in.get());
                reason = "damaged entry " + name + ": " + (e ? e : "?");
                return false;
            }
        }
        if (archive_write_finish_entry(out.get()) != ARCHIVE_OK) {
            reason = "cannot finish " + name;
            return false;
        }
    }
    if (entries == 0) {
        reason = "no entries: not a zip archive";
        return false;
    }
    if (archive_write_close(out.get()) != ARCHIVE_OK) {
        reason = "cannot finish unpacking";
        return false;
    }
    return allLinksInside(root, reason);
}

}  // namespace seam
