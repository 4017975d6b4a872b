// Runs a fuzz target once on each input it is given, without a fuzzer, so the
// seeds and the crash inputs kept from fuzzing are checked by every build:
//   replay_<target> FOLDER|FILE...
// A folder gives its files, sorted, hidden ones and README files aside. A fault
// ends the process as it would under the fuzzer; the last input named on
// standard error is the one. A name that does not exist, or nothing to read at
// all, fails: a mistyped folder must not pass.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool isInput(const fs::path& p) {
    const std::string name = p.filename().string();
    return !name.empty() && name[0] != '.' && name.rfind("README", 0) != 0;
}

// The files an argument names; false when it names nothing there.
bool collect(const fs::path& arg, std::vector<fs::path>& out) {
    std::error_code ec;
    if (fs::is_regular_file(arg, ec)) {
        out.push_back(arg);
        return true;
    }
    if (!fs::is_directory(arg, ec)) return false;
    std::vector<fs::path> found;
    for (const auto& e : fs::recursive_directory_iterator(arg, ec))
        if (e.is_regular_file() && isInput(e.path())) found.push_back(e.path());
    if (ec) return false;
    std::sort(found.begin(), found.end());
    out.insert(out.end(), found.begin(), found.end());
    return true;
}

bool replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    // A buffer of exactly the input's size, as the fuzzer hands it over, so a
    // read past its end is caught under the address sanitizer.
    const auto data = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), data.get());
    std::fprintf(stderr, "replay %s\n", file.c_str());
    std::fflush(stderr);
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        if (!collect(argv[i], files)) {
            std::fprintf(stderr, "replay: no file or folder %s\n", argv[i]);
            return 2;
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "replay: no input to replay\n");
        return 2;
    }
    for (const fs::path& f : files) {
        if (!replay(f)) {
            std::fprintf(stderr, "replay: cannot read %s\n", f.c_str());
            return 2;
        }
    }
    std::fprintf(stderr, "replay: %zu inputs, no fault\n", files.size());
    return 0;
}
