#include "platform/linux/wallpaper/X11RootWallpaper.h"

#include "platform/linux/wallpaper/PictureReader.h"

#include <QFile>
#include <QImage>
#include <QRect>

// Xlib's macros (None, Bool, Status, ...) clash with Qt's names, so it comes after Qt.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace dornava {
namespace {

using Result = X11WallpaperResult;

// The root window's properties that name the wallpaper's pixmap, by the convention setters and
// pseudo-transparent clients share.
constexpr const char* kPixmapProperties[] = {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"};

Result Decode(std::string_view path, QImage& picture) {
  path = StoredPath(path);
  if (path.empty()) return Result::kCannotRead;
  QFile file;
  if (!OpenPictureFile(path, file)) return Result::kCannotRead;
  constexpr Result kResults[] = {Result::kSet, Result::kCannotRead, Result::kNotAnImage,
                                 Result::kTooLarge};
  return kResults[static_cast<int>(ReadPicture(file, X11RootWallpaper::kMaxPixels, picture))];
}

// Fills width x height keeping the aspect ratio: the excess is cut off evenly on both sides.
// Cropping before scaling keeps a thin strip from growing into a huge intermediate image.
QImage Cover(const QImage& picture, int width, int height) {
  const std::int64_t w = picture.width();
  const std::int64_t h = picture.height();
  QRect source = picture.rect();
  if (w * height > width * h) {
    const auto keep = std::clamp<std::int64_t>((h * width + height / 2) / height, 1, w);
    source =
        QRect(static_cast<int>((w - keep) / 2), 0, static_cast<int>(keep), static_cast<int>(h));
  } else if (w * height < width * h) {
    const auto keep = std::clamp<std::int64_t>((w * height + width / 2) / width, 1, h);
    source =
        QRect(0, static_cast<int>((h - keep) / 2), static_cast<int>(w), static_cast<int>(keep));
  }
  return picture.copy(source)
      .convertToFormat(QImage::Format_RGB32)
      .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Pixel values of the visual for each 8-bit level of one channel.
std::array<unsigned long, 256> ChannelTable(unsigned long mask) {
  const int shift = mask ? std::countr_zero(mask) : 0;
  const unsigned long top = (mask >> shift);
  std::array<unsigned long, 256> table{};
  for (unsigned long level = 0; level < 256; ++level) {
    table[level] = ((level * top + 127) / 255) << shift;
  }
  return table;
}

// Draws `image` into `target` with its top left corner at `area`'s.
void Fill(XImage& target, const QImage& image, const QRect& area, const Visual& visual) {
  const auto red = ChannelTable(visual.red_mask);
  const auto green = ChannelTable(visual.green_mask);
  const auto blue = ChannelTable(visual.blue_mask);
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb rgb = line[x];
      XPutPixel(&target, area.x() + x, area.y() + y,
                red[static_cast<unsigned>(qRed(rgb))] | green[static_cast<unsigned>(qGreen(rgb))] |
                    blue[static_cast<unsigned>(qBlue(rgb))]);
    }
  }
}

// Catches the X errors of one connection for as long as it lives; any other connection's errors
// go on to the handler that was there before.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display)
      : display_(display), previous_(XSetErrorHandler(&ErrorTrap::Handle)), outer_(active_) {
    active_ = this;
  }
  ~ErrorTrap() {
    XSetErrorHandler(previous_);
    active_ = outer_;
  }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // Waits until the server has dealt with everything sent; true when none of it failed since
  // the last call.
  bool Sync() {
    XSync(display_, False);
    return !std::exchange(failed_, false);
  }

 private:
  static int Handle(Display* display, XErrorEvent* event) {
    if (active_ && display == active_->display_) {
      active_->failed_ = true;
      return 0;
    }
    return active_ && active_->previous_ ? active_->previous_(display, event) : 0;
  }

  static inline ErrorTrap* active_ = nullptr;
  Display* display_;
  XErrorHandler previous_;
  ErrorTrap* outer_;
  bool failed_ = false;
};

std::optional<Pixmap> ReadPixmapProperty(Display* display, Window root, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, root, property, 0, 1, False, XA_PIXMAP, &type, &format, &count,
                         &after, &data) != Success) {
    return std::nullopt;
  }
  std::optional<Pixmap> pixmap;
  if (data && type == XA_PIXMAP && format == 32 && count == 1) {
    // Format-32 data arrives as an array of long, whatever the size of long.
    unsigned long value = 0;
    std::memcpy(&value, data, sizeof value);
    pixmap = value;
  }
  if (data) XFree(data);
  return pixmap;
}

// Frees what the previous wallpaper setter left on the server. By convention it is released
// only when both properties name the same pixmap, by killing the client that owns it.
void ReleasePrevious(Display* display, Window root, Pixmap ours, ErrorTrap& trap) {
  const Atom rootPixmap = XInternAtom(display, kPixmapProperties[0], True);
  const Atom esetroot = XInternAtom(display, kPixmapProperties[1], True);
  if (rootPixmap == None || esetroot == None) return;
  const auto previous = ReadPixmapProperty(display, root, rootPixmap);
  if (!previous || previous != ReadPixmapProperty(display, root, esetroot)) return;
  if (*previous == ours) return;
  // A stale id may by now name nothing, or someone's window: only a live pixmap is released.
  Window geometryRoot = 0;
  int x = 0;
  int y = 0;
  unsigned width = 0;
  unsigned height = 0;
  unsigned border = 0;
  unsigned depth = 0;
  const bool drawable = XGetGeometry(display, *previous, &geometryRoot, &x, &y, &width, &height,
                                     &border, &depth) != 0;
  XWindowAttributes attributes{};
  const bool window = drawable && XGetWindowAttributes(display, *previous, &attributes) != 0;
  trap.Sync();  // the probes' own errors are expected
  if (drawable && !window) XKillClient(display, *previous);
}

// The screen's monitors as RandR sees them, cut to the screen; the whole screen as one when
// RandR is absent, too old to know monitors, or reports none.
std::vector<QRect> Monitors(Display* display, Window root, const QRect& screen) {
  std::vector<QRect> areas;
  int opcode = 0;
  int event = 0;
  int error = 0;
  int major = 0;
  int minor = 0;
  // Asked of Xlib itself: libXrandr leaks a little on each connection to a server without RandR.
  if (XQueryExtension(display, "RANDR", &opcode, &event, &error) &&
      XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 5))) {
    int count = 0;
    if (XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count)) {
      for (int i = 0; i < count; ++i) {
        const QRect area =
            QRect(monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height)
                .intersected(screen);
        if (!area.isEmpty()) areas.push_back(area);
      }
      XRRFreeMonitors(monitors);
    }
  }
  if (areas.empty()) areas.push_back(screen);
  return areas;
}

Result Publish(Display* display, const QImage& picture, ErrorTrap& trap) {
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  Visual* visual = DefaultVisual(display, screen);
  const int depth = DefaultDepth(display, screen);
  if (visual->c_class != TrueColor) return Result::kUnsupportedVisual;
  const int width = DisplayWidth(display, screen);
  const int height = DisplayHeight(display, screen);

  // Each monitor shows the whole picture, filled as a screen of its own; what no monitor covers
  // stays black.
  std::vector<std::pair<QRect, QImage>> images;
  for (const QRect& area : Monitors(display, root, QRect(0, 0, width, height))) {
    images.emplace_back(area, Cover(picture, area.width(), area.height()));
    if (images.back().second.isNull()) return Result::kTooLarge;
  }
  XImage* ximage = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (!ximage) return Result::kServerRefused;
  std::vector<char> pixels(static_cast<std::size_t>(ximage->bytes_per_line) *
                           static_cast<std::size_t>(height));
  ximage->data = pixels.data();
  for (const auto& [area, image] : images)
    Fill(*ximage, image, area, *visual);

  Pixmap pixmap = XCreatePixmap(display, root, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), static_cast<unsigned>(depth));
  GC gc = XCreateGC(display, pixmap, 0, nullptr);
  XPutImage(display, pixmap, gc, ximage, 0, 0, 0, 0, static_cast<unsigned>(width),
            static_cast<unsigned>(height));
  XFreeGC(display, gc);
  ximage->data = nullptr;  // the vector owns the pixels
  XDestroyImage(ximage);
  if (!trap.Sync()) {
    XFreePixmap(display, pixmap);
    trap.Sync();
    return Result::kServerRefused;
  }

  ReleasePrevious(display, root, pixmap, trap);
  auto* value = reinterpret_cast<unsigned char*>(&pixmap);
  for (const char* name : kPixmapProperties) {
    XChangeProperty(display, root, XInternAtom(display, name, False), XA_PIXMAP, 32,
                    PropModeReplace, value, 1);
  }
  XSetWindowBackgroundPixmap(display, root, pixmap);
  XClearWindow(display, root);
  // The properties name the pixmap now, so it has to outlive this connection.
  XSetCloseDownMode(display, RetainPermanent);
  return trap.Sync() ? Result::kSet : Result::kServerRefused;
}

}  // namespace

X11RootWallpaper::X11RootWallpaper(std::string displayName)
    : displayName_(std::move(displayName)) {}

X11WallpaperResult X11RootWallpaper::Install(std::string_view path) {
  QImage picture;
  if (const Result decoded = Decode(path, picture); decoded != Result::kSet) return decoded;
  // A connection of its own: the program may be a Wayland client, and the pixmap must be
  // retained when the connection closes, which would take every other resource with it.
  Display* display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
  if (!display) return Result::kNoDisplay;
  ErrorTrap trap(display);
  const Result result = Publish(display, picture, trap);
  XCloseDisplay(display);
  return result;
}

}  // namespace dornava
