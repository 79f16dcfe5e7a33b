#include "platform/linux/wallpaper/GSettingsWallpaper.h"

#include <gio/gio.h>

#include <utility>
#include <vector>

namespace dornava {
namespace {

struct Layout {
  const char *schema, *pictureKey;
};

constexpr Layout kLayouts[] = {
    {"org.gnome.desktop.background", "picture-uri"},
    {"org.cinnamon.desktop.background", "picture-uri"},
    {"org.mate.background", "picture-filename"},
};

constexpr char kCinnamonSlideshow[] = "org.cinnamon.desktop.background.slideshow";

// The keys of one schema, written together on Apply() and checked against the store after.
class Batch {
 public:
  // GIO aborts the process on a schema or key it does not know, so both are looked up first.
  explicit Batch(const char* schemaId) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source && schemaId) schema_ = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (!schema_) return;
    settings_ = g_settings_new_full(schema_, nullptr, nullptr);
    g_settings_delay(settings_);
  }
  ~Batch() {
    for (auto& [key, value] : written_)
      g_variant_unref(value);
    if (settings_) g_object_unref(settings_);
    if (schema_) g_settings_schema_unref(schema_);
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  bool Has(const char* key) const { return schema_ && g_settings_schema_has_key(schema_, key); }

  // Whether the key exists and holds `value`, which is sunk if floating and borrowed if not.
  bool Is(const char* key, GVariant* value) const {
    g_variant_ref_sink(value);
    GVariant* held = Has(key) ? g_settings_get_value(settings_, key) : nullptr;
    const bool same = held && g_variant_equal(held, value);
    if (held) g_variant_unref(held);
    g_variant_unref(value);
    return same;
  }

  // Values are always of the key's type and range, so the write is only refused by the store.
  void Set(const char* key, GVariant* value) {
    written_.emplace_back(key, g_variant_ref_sink(value));
    g_settings_set_value(settings_, key, value);
  }

  void Apply() {
    if (!written_.empty()) g_settings_apply(settings_);
  }

  // After g_settings_sync(): false when the store refused a write (a locked key, no dconf).
  bool Holds() const {
    for (const auto& [key, value] : written_)
      if (!Is(key, value)) return false;
    return true;
  }

 private:
  GSettingsSchema* schema_ = nullptr;
  GSettings* settings_ = nullptr;
  std::vector<std::pair<const char*, GVariant*>> written_;
};

}  // namespace

GSettingsWallpaper::GSettingsWallpaper(GSettingsDesktop desktop, std::string schemaId)
    : desktop_(desktop), schemaId_(std::move(schemaId)) {}

bool GSettingsWallpaper::Apply(std::string_view path) {
  const std::string stored(StoredPath(path));
  const Layout& layout = kLayouts[static_cast<int>(desktop_)];
  const bool uri = desktop_ != GSettingsDesktop::kMate;
  if (stored.empty()) return false;
  // A GSettings string is UTF-8; any other name would be stored as a different file.
  if (!uri && !g_utf8_validate(stored.data(), static_cast<gssize>(stored.size()), nullptr))
    return false;
  Batch background(schemaId_.empty() ? layout.schema : schemaId_.c_str());
  if (!background.Has(layout.pictureKey)) return false;

  const std::string value = uri ? FileUri(stored) : stored;
  background.Set(layout.pictureKey, g_variant_new_string(value.c_str()));
  // Dark mode shows its own key; left alone it would keep the old picture.
  if (background.Has("picture-uri-dark"))
    background.Set("picture-uri-dark", g_variant_new_string(value.c_str()));
  // 'none' draws no picture at all.
  if (background.Is("picture-options", g_variant_new_string("none")))
    background.Set("picture-options", g_variant_new_string("zoom"));
  // Cinnamon's own slideshow would replace the picture within minutes; choosing one picture in
  // its settings turns it off the same way.
  Batch slideshow(desktop_ == GSettingsDesktop::kCinnamon ? kCinnamonSlideshow : nullptr);
  if (slideshow.Is("slideshow-enabled", g_variant_new_boolean(TRUE)))
    slideshow.Set("slideshow-enabled", g_variant_new_boolean(FALSE));

  background.Apply();
  slideshow.Apply();
  g_settings_sync();
  // The store keeps GIO's shared session connection, which would end the whole program with
  // SIGTERM once the bus goes away; ending is the program's own call.
  if (GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
    g_dbus_connection_set_exit_on_close(bus, FALSE);
    g_object_unref(bus);
  }
  return background.Holds() && slideshow.Holds();
}

}  // namespace dornava
