// GNOME's custom shortcuts written through GSettings, so the settings daemon
// sees each change at once, whichever backend (dconf, a key file) holds them.
#include <gio/gio.h>

#include "base/log.h"
#include "platform/gnome/gnome_custom_keys.h"

namespace seam {

namespace {

std::vector<std::string> strings(GSettings* settings, const char* key) {
    std::vector<std::string> out;
    gchar** values = g_settings_get_strv(settings, key);
    for (gchar** v = values; v && *v; ++v) out.emplace_back(*v);
    g_strfreev(values);
    return out;
}

void setStrings(GSettings* settings, const char* key, const std::vector<std::string>& values) {
    std::vector<const gchar*> raw;
    for (const std::string& v : values) raw.push_back(v.c_str());
    raw.push_back(nullptr);
    g_settings_set_strv(settings, key, raw.data());
}

class GnomeCustomKeys : public CommandKeys {
  public:
    GnomeCustomKeys(GSettings* mediaKeys, std::string program)
        : mediaKeys_(mediaKeys), program_(std::move(program)) {}
    ~GnomeCustomKeys() override {
        unbindAll();
        g_object_unref(mediaKeys_);
    }
    GnomeCustomKeys(const GnomeCustomKeys&) = delete;
    GnomeCustomKeys& operator=(const GnomeCustomKeys&) = delete;

    void bind(const std::vector<CommandKey>& keys) override {
        write(gnomeCustomKeys(program_, keys));
    }
    void unbindAll() override { write({}); }

  private:
    void write(const std::vector<GnomeCustomKey>& ours) {
        const std::vector<std::string> current = strings(mediaKeys_, "custom-keybindings");
        // Entries of ours that go away are reset, so nothing of them stays stored.
        for (const std::string& path : current)
            if (isOurCustomKeyPath(path))
                entry(path, [](GSettings* s) {
                    for (const char* key : {"name", "binding", "command"}) g_settings_reset(s, key);
                });
        for (const GnomeCustomKey& k : ours)
            entry(k.path, [&k](GSettings* s) {
                g_settings_set_string(s, "name", k.name.c_str());
                g_settings_set_string(s, "command", k.command.c_str());
                g_settings_set_string(s, "binding", k.binding.c_str());
            });
        const std::vector<std::string> merged = mergedCustomKeyPaths(current, ours);
        if (merged != current) setStrings(mediaKeys_, "custom-keybindings", merged);
        // Written out before the program may quit.
        g_settings_sync();
    }

    template <class F>
    void entry(const std::string& path, F change) {
        GSettings* s = g_settings_new_with_path(kCustomKeySchema, path.c_str());
        change(s);
        g_object_unref(s);
    }

    GSettings* mediaKeys_;
    std::string program_;
};

bool installed(const char* schema) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) return false;
    GSettingsSchema* found = g_settings_schema_source_lookup(source, schema, TRUE);
    if (!found) return false;
    g_settings_schema_unref(found);
    return true;
}

}  // namespace

std::unique_ptr<CommandKeys> openGnomeCustomKeys(const std::string& program) {
    // GSettings aborts the process on a schema it does not know.
    if (!installed(kMediaKeysSchema) || !installed(kCustomKeySchema)) return nullptr;
    return std::make_unique<GnomeCustomKeys>(g_settings_new(kMediaKeysSchema), program);
}

}  // namespace seam
