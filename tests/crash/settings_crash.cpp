// Kills a process that keeps changing the settings (saving and renaming layouts,
// changing hot keys) with SIGKILL at random moments, and after every kill loads
// the settings in a fresh process: the load must succeed and hold the state
// before or after the operation that was under way, never a mix and never nothing.
//
//   settings_crash [--kills N] [--seed S] [--dir D]      the harness
//   settings_crash work D FIRST SEED                      changes the settings from operation FIRST
//   on settings_crash dump D                                 prints what a launch would load
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/qt/prefs.h"
#include "layouts/layout_file.h"
#include "layouts/layout_store.h"
#include "shell/hot_key_spec.h"

namespace seam {
namespace {

constexpr size_t kMaxLayouts = 8;
constexpr const char* kName = "Seamwright";

std::string idOf(std::uint64_t n) {
    char text[40];
    std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012llX",
                  static_cast<unsigned long long>(n));
    return text;
}

SavedLayout layoutFor(std::mt19937_64& rng, std::string id, std::string name, double at) {
    SavedLayout l{.id = std::move(id), .name = std::move(name), .savedAt = Date{at}};
    const int count = 1 + int(rng() % 3);
    for (int i = 0; i < count; ++i) {
        SavedDisplay d;
        d.ident = DisplayIdent{.vendor = std::uint32_t(rng() % 60000),
                               .model = std::uint32_t(rng() % 60000),
                               .serialNumber = std::uint32_t(rng())};
        d.name = "Monitor " + std::to_string(rng() % 100);
        d.x = double(int(rng() % 5000) - 2500);
        d.y = double(int(rng() % 3000) - 1500);
        d.width = 1920;
        d.height = 1080;
        d.main = i == 0;
        l.displays.push_back(d);
    }
    return l;
}

// One operation, chosen from its number and the current layouts, so the harness
// can replay exactly what the killed process did. Each is one call of the
// program's own settings code.
void applyOp(std::uint64_t seed, std::uint64_t op, LayoutStore& layouts, SettingsStore& store) {
    std::mt19937_64 rng(seed * 1000003u + op);
    const auto& all = layouts.layouts();
    const std::string someId = all.empty() ? "" : all[rng() % all.size()].id;
    const double at = 100000.0 + double(op);
    switch (all.empty() ? 0 : rng() % 6) {
        case 0:
            if (all.size() < kMaxLayouts) {
                layouts.upsert(layoutFor(rng, idOf(op), layouts.nextDefaultName(), at));
                break;
            }
            [[fallthrough]];
        case 1: {
            const SavedLayout* old = layouts.layout(someId);
            layouts.upsert(layoutFor(rng, someId, old->name, at));
            break;
        }
        case 2:
            layouts.rename(someId, "Place " + std::to_string(op));
            break;
        case 3:
            HotKeySpec{std::uint32_t(rng() % 50), HotKeySpec::ctrlOptCmd, std::to_string(op)}.save(
                rng() % 2 ? "align" : "undo", store);
            break;
        case 4:
            HotKeySpec{std::uint32_t(rng() % 50), HotKeySpec::control, "K" + std::to_string(op)}
                .save("layout." + someId, store);
            break;
        default:
            store.removeObject("hotkey.layout." + someId);
            break;
    }
}

// Everything a launch reads, in one text; hot keys of every layout id ever made.
std::string describe(SettingsStore& store, std::uint64_t upTo) {
    std::ostringstream out;
    const auto bytes = store.data(LayoutStore::key);
    if (bytes) {
        const auto file = decodeLayoutFile(*bytes);
        if (!file) return "UNREADABLE layouts";
        out << std::string(bytes->begin(), bytes->end()) << "\n";
    }
    for (const std::string name : {"align", "undo"}) {
        if (store.object("hotkey." + name) && !HotKeySpec::stored(name, store))
            return "UNREADABLE hotkey." + name;
        out << name << "=" << HotKeySpec::stored(name, store).value_or(HotKeySpec{}).json() << "\n";
    }
    for (std::uint64_t n = 0; n <= upTo; ++n) {
        if (auto key = HotKeySpec::stored("layout." + idOf(n), store))
            out << idOf(n) << "=" << key->json() << "\n";
    }
    return out.str();
}

int work(const QString& folder, std::uint64_t first, std::uint64_t seed) {
    QSettingsStore store(folder, kName);
    LayoutStore layouts(store, [] { return Date{0}; });
    for (std::uint64_t op = first;; ++op) {
        const std::string begun = "b " + std::to_string(op) + "\n";
        if (::write(1, begun.data(), begun.size()) < 0) return 1;
        applyOp(seed, op, layouts, store);
        const std::string done = "d " + std::to_string(op) + "\n";
        if (::write(1, done.data(), done.size()) < 0) return 1;
    }
}

int dump(const QString& folder, std::uint64_t upTo) {
    QSettingsStore store(folder, kName);
    const std::string text = describe(store, upTo);
    std::cout << text;
    // A backup means the file itself could not be read.
    if (QFile::exists(store.fileName() + ".unreadable")) return 3;
    return text.rfind("UNREADABLE", 0) == 0 ? 3 : 0;
}

struct Child {
    pid_t pid = -1;
    int out = -1;
};

Child spawn(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::close(fds[1]);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv("/proc/self/exe", argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

std::string readAll(int fd) {
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) text.append(buf, size_t(n));
    ::close(fd);
    return text;
}

// Reads until the first line arrives: the child has started its first operation.
std::string readFirstLine(int fd) {
    std::string text;
    char c;
    while (::read(fd, &c, 1) == 1) {
        text += c;
        if (c == '\n') break;
    }
    return text;
}

struct Figures {
    int kills = 0, midOperation = 0, loads = 0, losses = 0, unreadable = 0;
    std::uint64_t operations = 0;
};

int harness(int kills, std::uint64_t seed, const QString& folder) {
    MemoryStore model;
    auto modelLayouts = std::make_unique<LayoutStore>(model, [] { return Date{0}; });
    std::mt19937_64 rng(seed);
    Figures f;
    std::uint64_t next = 0;
    const std::string self = "settings_crash";
    for (int k = 0; k < kills; ++k) {
        Child child =
            spawn({self, "work", folder.toStdString(), std::to_string(next), std::to_string(seed)});
        std::string lines = readFirstLine(child.out);
        // From before the first write to a few operations in.
        ::usleep(useconds_t(rng() % 12000));
        ::kill(child.pid, SIGKILL);
        ::waitpid(child.pid, nullptr, 0);
        lines += readAll(child.out);
        ++f.kills;

        // The operations that returned, and the one under way.
        std::uint64_t begun = next;
        bool any = false, lastDone = false;
        std::istringstream in(lines);
        for (std::string kind; in >> kind;) {
            std::uint64_t op;
            in >> op;
            any = true;
            if (kind == "b") begun = op, lastDone = false;
            if (kind == "d") lastDone = true;
        }
        if (any && !lastDone) ++f.midOperation;
        for (std::uint64_t op = next; any && op < begun; ++op)
            applyOp(seed, op, *modelLayouts, model);
        const std::string before = describe(model, begun + 1);
        MemoryStore afterStore = model;
        LayoutStore afterLayouts(afterStore, [] { return Date{0}; });
        if (any) applyOp(seed, begun, afterLayouts, afterStore);
        const std::string after = describe(afterStore, begun + 1);

        Child loader = spawn({self, "dump", folder.toStdString(), std::to_string(begun + 1)});
        const std::string loaded = readAll(loader.out);
        int status = 0;
        ::waitpid(loader.pid, &status, 0);
        ++f.loads;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            ++f.unreadable;
            std::cerr << "kill " << k << ": load failed (status " << status << ")\n" << loaded;
            break;
        }
        const bool isAfter = any && loaded == after;
        // An operation that returned must have reached the file.
        if (!isAfter && (loaded != before || lastDone)) {
            ++f.losses;
            std::cerr << "kill " << k << " during operation " << begun
                      << (lastDone ? " (returned)" : "") << ": loaded\n"
                      << loaded << "expected\n"
                      << before << "or\n"
                      << after;
            break;
        }
        if (isAfter) {
            model = afterStore;
            modelLayouts = std::make_unique<LayoutStore>(model, [] { return Date{0}; });
            next = begun + 1;
        } else {
            next = any ? begun : next;
        }
    }
    f.operations = next;
    std::cout << "kills=" << f.kills << " (during an operation " << f.midOperation
              << ") loads=" << f.loads << " operations=" << f.operations << " losses=" << f.losses
              << " unreadable=" << f.unreadable << "\n";
    return f.losses == 0 && f.unreadable == 0 && f.kills == kills ? 0 : 1;
}

}  // namespace
}  // namespace seam

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "work")
        return seam::work(QString::fromStdString(args[1]), std::stoull(args[2]),
                          std::stoull(args[3]));
    if (args.size() == 3 && args[0] == "dump")
        return seam::dump(QString::fromStdString(args[1]), std::stoull(args[2]));
    int kills = 20;
    std::uint64_t seed = std::random_device{}();
    QString folder;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--kills") kills = std::stoi(args[i + 1]);
        if (args[i] == "--seed") seed = std::stoull(args[i + 1]);
        if (args[i] == "--dir") folder = QString::fromStdString(args[i + 1]);
    }
    QTemporaryDir temp;
    if (folder.isEmpty()) folder = temp.path() + "/Seamwright";
    std::cout << "seed=" << seed << " folder=" << folder.toStdString() << "\n";
    return seam::harness(kills, seed, folder);
}
