#include "platform/linux/wallpaper/XfceWallpaper.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "platform/linux/wallpaper/SessionBus.h"

// Xlib's macros (None, Bool, Status, ...) clash with Qt's names, so it comes after Qt.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <optional>

namespace dornava {
namespace {

const QString kService = QStringLiteral("org.xfce.Xfconf");
const QString kObject = QStringLiteral("/org/xfce/Xfconf");
const QString kInterface = QStringLiteral("org.xfce.Xfconf");
const QString kDesktopChannel = QStringLiteral("xfce4-desktop");

// The style that scales the picture to fill the monitor, for backdrops we create.
constexpr int kZoomedStyle = 5;
// Far more than anyone uses; keeps a damaged count from making thousands of backdrops.
constexpr int kMaxWorkspaces = 32;

int IgnoreError(Display*, XErrorEvent*) {
  return 0;
}

std::vector<std::string> ConnectedOutputs() {
  std::vector<std::string> names;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return names;
  // An output unplugged between two requests must not end the program in Xlib's default handler.
  const XErrorHandler previous = XSetErrorHandler(&IgnoreError);
  int eventBase = 0, errorBase = 0;
  XRRScreenResources* resources = nullptr;
  if (XRRQueryExtension(display, &eventBase, &errorBase)) {
    resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
  }
  for (int i = 0; resources && i < resources->noutput; ++i) {
    XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
    if (!output) continue;
    if (output->connection == RR_Connected && output->crtc != 0) {
      names.emplace_back(output->name, static_cast<size_t>(output->nameLen));
    }
    XRRFreeOutputInfo(output);
  }
  if (resources) XRRFreeScreenResources(resources);
  XSync(display, False);
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return names;
}

// Property names and their values in one channel; nullopt when the store did not answer.
std::optional<QVariantMap> AllProperties(SessionBus& bus, const QString& channel) {
  const QDBusMessage reply =
      bus.Call(kService, kObject, kInterface, QStringLiteral("GetAllProperties"),
               {channel, QStringLiteral("/")});
  if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1) {
    return qdbus_cast<QVariantMap>(reply.arguments().front());
  }
  // The store answers a channel it has never held with an error of its own.
  if (reply.errorName().startsWith(kInterface + QStringLiteral(".Error."))) return QVariantMap();
  return std::nullopt;
}

int WorkspaceCount(SessionBus& bus) {
  const QDBusMessage reply =
      bus.Call(kService, kObject, kInterface, QStringLiteral("GetProperty"),
               {QStringLiteral("xfwm4"), QStringLiteral("/general/workspace_count")});
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) return 1;
  const QVariant value = qvariant_cast<QDBusVariant>(reply.arguments().front()).variant();
  bool isNumber = false;
  const int count = value.toInt(&isNumber);
  return isNumber ? std::clamp(count, 1, kMaxWorkspaces) : 1;
}

bool SetProperty(SessionBus& bus, const QString& property, const QVariant& value) {
  const QDBusMessage reply =
      bus.Call(kService, kObject, kInterface, QStringLiteral("SetProperty"),
               {kDesktopChannel, property, QVariant::fromValue(QDBusVariant(value))});
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace

bool XfceWallpaper::Apply(std::string_view path) {
  path = StoredPath(path);
  const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
  const QString picture = QString::fromUtf8(bytes);
  // D-Bus strings are UTF-8; a path that is not would name another file once decoded.
  if (path.empty() || picture.toUtf8() != bytes) return false;

  SessionBus bus;
  const std::optional<QVariantMap> existing = AllProperties(bus, kDesktopChannel);
  if (!existing) return false;

  QSet<QString> images;
  QStringList newStyles;
  const int workspaces = WorkspaceCount(bus);
  for (const std::string& monitor : monitors_ ? *monitors_ : ConnectedOutputs()) {
    for (int n = 0; n < workspaces; ++n) {
      const QString base = QStringLiteral("/backdrop/screen0/monitor%1/workspace%2/")
                               .arg(QString::fromStdString(monitor), QString::number(n));
      images.insert(base + QStringLiteral("last-image"));
      const QString style = base + QStringLiteral("image-style");
      if (!existing->contains(style)) newStyles << style;
    }
  }

  bool ok = true;
  for (auto it = existing->begin(); it != existing->end(); ++it) {
    if (it.key().endsWith(u"/last-image")) images.insert(it.key());
    // Left on, the desktop's own cycling would replace our picture at its next turn.
    if (it.key().endsWith(u"backdrop-cycle-enable") &&
        it->metaType() == QMetaType::fromType<bool>() && it->toBool()) {
      ok = SetProperty(bus, it.key(), false) && ok;
    }
  }
  // The style goes first so the desktop draws the new picture only once.
  for (const QString& style : newStyles)
    ok = SetProperty(bus, style, kZoomedStyle) && ok;
  for (const QString& image : images)
    ok = SetProperty(bus, image, picture) && ok;
  return ok && !images.isEmpty();
}

}  // namespace dornava
