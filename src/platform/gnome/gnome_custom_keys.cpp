#include "platform/gnome/gnome_custom_keys.h"

#include <algorithm>

#include "base/log.h"

namespace seam {

namespace {
const std::string kOurPrefix = std::string(kCustomKeyFolder) + "seamwright-";
}

bool isOurCustomKeyPath(const std::string& path) {
    return path.starts_with(kOurPrefix);
}

std::vector<GnomeCustomKey> gnomeCustomKeys(const std::string& program,
                                            const std::vector<CommandKey>& keys) {
    std::vector<GnomeCustomKey> out;
    for (const CommandKey& k : keys) {
        const auto binding = gnomeAccelerator(k.key);
        if (!binding) {
            log("hot keys: " + k.key.display() + " left unbound: GNOME has no name for it");
            continue;
        }
        out.push_back({kOurPrefix + k.name + "/", commandKeyDescription(k), *binding,
                       shellCommand(program, k.args)});
    }
    return out;
}

std::vector<std::string> mergedCustomKeyPaths(const std::vector<std::string>& current,
                                              const std::vector<GnomeCustomKey>& ours) {
    std::vector<std::string> paths;
    std::copy_if(current.begin(), current.end(), std::back_inserter(paths),
                 [](const std::string& p) { return !isOurCustomKeyPath(p); });
    for (const GnomeCustomKey& k : ours) paths.push_back(k.path);
    return paths;
}

}  // namespace seam
