// The plain-X11 wallpaper on a real X server: the root window's background, the
// _XROOTPMAP_ID / ESETROOT_PMAP_ID convention and the pixmap kept after the setter has gone.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QRect>
#include <QTemporaryDir>

#include "platform/linux/wallpaper/X11RootWallpaper.h"

// After Qt: Xlib's macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace dornava {

void PrintTo(X11WallpaperResult result, std::ostream* out) {
  static constexpr const char* kNames[] = {"kSet",          "kCannotRead", "kNotAnImage",
                                           "kTooLarge",     "kNoDisplay",  "kUnsupportedVisual",
                                           "kServerRefused"};
  *out << kNames[static_cast<int>(result)];
}

namespace {

using Result = X11WallpaperResult;

int errors = 0;
int CountError(Display*, XErrorEvent*) {
  ++errors;
  return 0;
}

QImage Solid(QColor colour, int width = 64, int height = 48) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

void PutLittleEndian(QByteArray& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    bytes.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

// A bitmap header claiming width x height pixels, followed by almost nothing.
QByteArray BmpHeader(std::uint32_t width, std::uint32_t height) {
  QByteArray bmp("BM");
  PutLittleEndian(bmp, 54 + 16, 4);  // file size
  PutLittleEndian(bmp, 0, 4);        // reserved
  PutLittleEndian(bmp, 54, 4);       // offset of the pixels
  PutLittleEndian(bmp, 40, 4);       // BITMAPINFOHEADER
  PutLittleEndian(bmp, width, 4);
  PutLittleEndian(bmp, height, 4);
  PutLittleEndian(bmp, 1, 2);   // planes
  PutLittleEndian(bmp, 24, 2);  // bits per pixel
  for (int i = 0; i < 6; ++i)
    PutLittleEndian(bmp, 0, 4);
  bmp.append(16, '\0');
  return bmp;
}

// Everything of a GIF up to its LZW data: one image of the given size, four colours, the first
// one `colour`.
QByteArray GifStart(int width, int height, QColor colour) {
  QByteArray gif("GIF89a");
  PutLittleEndian(gif, static_cast<std::uint32_t>(width), 2);
  PutLittleEndian(gif, static_cast<std::uint32_t>(height), 2);
  gif.append(static_cast<char>(0x91));  // global colour table of four entries
  gif.append(2, '\0');                  // background, aspect
  for (int channel : {colour.red(), colour.green(), colour.blue()}) {
    gif.append(static_cast<char>(channel));
  }
  gif.append(9, '\0');
  gif.append(static_cast<char>(0x2c));
  PutLittleEndian(gif, 0, 4);  // left, top
  PutLittleEndian(gif, static_cast<std::uint32_t>(width), 2);
  PutLittleEndian(gif, static_cast<std::uint32_t>(height), 2);
  gif.append('\0');
  gif.append(static_cast<char>(2));  // LZW minimum code size
  return gif;
}

// A GIF of one colour, written here because Qt reads GIF but does not write it. The LZW stream
// sends a clear code before every two pixels, so no code ever grows past three bits.
QByteArray SolidGif(QColor colour, int width, int height) {
  QByteArray gif = GifStart(width, height, colour);
  QByteArray data;
  std::uint32_t bits = 0;
  int count = 0;
  const auto put = [&](std::uint32_t code) {
    bits |= code << count;
    count += 3;
    for (; count >= 8; count -= 8, bits >>= 8)
      data.append(static_cast<char>(bits & 0xff));
  };
  for (int pixel = 0; pixel < width * height; ++pixel) {
    if (pixel % 2 == 0) put(4);  // clear
    put(0);
  }
  put(5);  // end of information
  if (count > 0) data.append(static_cast<char>(bits & 0xff));
  for (qsizetype at = 0; at < data.size(); at += 255) {
    const qsizetype size = std::min<qsizetype>(255, data.size() - at);
    gif.append(static_cast<char>(size));
    gif.append(data.mid(at, size));
  }
  gif.append('\0');
  gif.append(static_cast<char>(0x3b));
  return gif;
}

QColor BandColour(int band) {
  return QColor::fromHsv(band * 18 % 360, 255, 255);
}

// Twenty bands of distinct colours, side by side (across) or one above the other.
QImage Bands(int width, int height, bool across) {
  QImage image(width, height, QImage::Format_RGB32);
  const int length = across ? width : height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y, BandColour((across ? x : y) * 20 / length).rgb());
    }
  }
  return image;
}

::testing::AssertionResult Near(QRgb actual, QColor expected, int tolerance) {
  const int difference = std::max({std::abs(qRed(actual) - expected.red()),
                                   std::abs(qGreen(actual) - expected.green()),
                                   std::abs(qBlue(actual) - expected.blue())});
  if (difference <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << QColor(actual).name().toStdString() << " instead of " << expected.name().toStdString();
}

struct RemoveAtExit {
  std::string path;
  ~RemoveAtExit() { std::remove(path.c_str()); }
};

struct ImageDeleter {
  void operator()(XImage* image) const { XDestroyImage(image); }
};

// What a drawable shows, read back from the server.
class Shot {
 public:
  Shot(Display* display, Drawable drawable, int width, int height, const Visual& visual)
      : image_(XGetImage(display, drawable, 0, 0, static_cast<unsigned>(width),
                         static_cast<unsigned>(height), AllPlanes, ZPixmap)),
        visual_(visual) {}
  bool Valid() const { return image_ != nullptr; }
  QRgb At(int x, int y) const {
    const unsigned long pixel = XGetPixel(image_.get(), x, y);
    return qRgb(Channel(pixel, visual_.red_mask), Channel(pixel, visual_.green_mask),
                Channel(pixel, visual_.blue_mask));
  }

 private:
  static int Channel(unsigned long pixel, unsigned long mask) {
    const int shift = std::countr_zero(mask);
    return static_cast<int>(((pixel & mask) >> shift) * 255 / (mask >> shift));
  }
  std::unique_ptr<XImage, ImageDeleter> image_;
  const Visual& visual_;
};

class X11Root : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) GTEST_SKIP() << "needs an X display (DISPLAY is unset)";
    ASSERT_TRUE(dir_.isValid());
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
    previousHandler_ = XSetErrorHandler(&CountError);
    const int screen = DefaultScreen(display_);
    root_ = RootWindow(display_, screen);
    visual_ = DefaultVisual(display_, screen);
    depth_ = DefaultDepth(display_, screen);
    width_ = DisplayWidth(display_, screen);
    height_ = DisplayHeight(display_, screen);
  }

  void TearDown() override {
    if (!display_) return;
    XCloseDisplay(display_);
    XSetErrorHandler(previousHandler_);
  }

  // The name's bytes as they stand, UTF-8 or not.
  std::string Path(const char* name) const {
    return QFile::encodeName(dir_.path()).toStdString() + "/" + name;
  }

  std::string Save(const QImage& image, const char* name, const char* format = nullptr) {
    const std::string path = Path(name);
    EXPECT_TRUE(image.save(QFile::decodeName(path.c_str()), format)) << path;
    return path;
  }

  std::string Write(const char* name, const QByteArray& bytes) {
    const std::string path = Path(name);
    QFile file(QFile::decodeName(path.c_str()));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(file.write(bytes), bytes.size());
    return path;
  }

  std::optional<Pixmap> Property(const char* name) {
    const Atom atom = XInternAtom(display_, name, True);
    if (atom == None) return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::optional<Pixmap> pixmap;
    if (XGetWindowProperty(display_, root_, atom, 0, 1, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data && type == XA_PIXMAP && format == 32 && count == 1) {
      unsigned long value = 0;
      std::memcpy(&value, data, sizeof value);
      pixmap = value;
    }
    if (data) XFree(data);
    return pixmap;
  }

  void SetProperty(Display* display, const char* name, unsigned long value) {
    XChangeProperty(display, root_, XInternAtom(display, name, False), XA_PIXMAP, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&value), 1);
  }

  // The size of a live pixmap, or nothing when the id names none.
  std::optional<QSize> PixmapSize(Pixmap pixmap, int* depth = nullptr) {
    errors = 0;
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned pixmapDepth = 0;
    const Status status =
        XGetGeometry(display_, pixmap, &root, &x, &y, &width, &height, &border, &pixmapDepth);
    XSync(display_, False);
    if (!status || errors) return std::nullopt;
    if (depth) *depth = static_cast<int>(pixmapDepth);
    return QSize(static_cast<int>(width), static_cast<int>(height));
  }

  // Where top-level windows hide the root window.
  std::vector<QRect> Covered() {
    std::vector<QRect> covered;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, root_, &root, &parent, &children, &count)) return covered;
    for (unsigned i = 0; i < count; ++i) {
      XWindowAttributes attributes{};
      if (XGetWindowAttributes(display_, children[i], &attributes) &&
          attributes.map_state == IsViewable) {
        covered.emplace_back(attributes.x, attributes.y,
                             attributes.width + 2 * attributes.border_width,
                             attributes.height + 2 * attributes.border_width);
      }
    }
    if (children) XFree(children);
    return covered;
  }

  // Checks `colour` at a grid of points of the pixmap and, where no window is in the way, of
  // what the root window shows.
  void ExpectEverywhere(Pixmap pixmap, QColor colour, int tolerance) {
    const Shot published(display_, pixmap, width_, height_, *visual_);
    const Shot visible(display_, root_, width_, height_, *visual_);
    ASSERT_TRUE(published.Valid());
    ASSERT_TRUE(visible.Valid());
    const std::vector<QRect> covered = Covered();
    int seen = 0;
    for (int i = 0; i <= 8; ++i) {
      for (int j = 0; j <= 8; ++j) {
        const int x = (width_ - 1) * i / 8;
        const int y = (height_ - 1) * j / 8;
        EXPECT_TRUE(Near(published.At(x, y), colour, tolerance)) << "pixmap at " << x << "," << y;
        if (std::any_of(covered.begin(), covered.end(),
                        [&](const QRect& r) { return r.contains(x, y); })) {
          continue;
        }
        ++seen;
        EXPECT_TRUE(Near(visible.At(x, y), colour, tolerance)) << "root at " << x << "," << y;
      }
    }
    EXPECT_GT(seen, 40) << "windows hide most of the root window";
  }

  // Installs the picture and checks it is what the root shows and what the properties name;
  // returns the published pixmap.
  Pixmap InstallAndCheck(const std::string& path, QColor colour, int tolerance = 2) {
    EXPECT_EQ(X11RootWallpaper().Install(path), Result::kSet) << path;
    const auto pixmap = Property("_XROOTPMAP_ID");
    EXPECT_TRUE(pixmap.has_value());
    if (!pixmap) return 0;
    EXPECT_EQ(Property("ESETROOT_PMAP_ID"), pixmap);
    // The setter's connection is closed by now: the pixmap lives on without it.
    int depth = 0;
    EXPECT_EQ(PixmapSize(*pixmap, &depth), QSize(width_, height_));
    EXPECT_EQ(depth, depth_);
    ExpectEverywhere(*pixmap, colour, tolerance);
    return *pixmap;
  }

  QTemporaryDir dir_;
  Display* display_ = nullptr;
  XErrorHandler previousHandler_ = nullptr;
  Window root_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  int width_ = 0;
  int height_ = 0;
};

TEST_F(X11Root, BitmapBecomesTheRootBackgroundAndStaysAfterTheSetterLeaves) {
  InstallAndCheck(Save(Solid(QColor(200, 30, 60)), "red.bmp"), QColor(200, 30, 60));
}

TEST_F(X11Root, SecondPictureReplacesTheFirstAndReleasesItsPixmap) {
  const Pixmap first = InstallAndCheck(Save(Solid(Qt::red), "red.bmp"), Qt::red);
  const Pixmap second = InstallAndCheck(Save(Solid(Qt::blue), "blue.bmp"), Qt::blue);
  EXPECT_NE(second, first);
  EXPECT_EQ(PixmapSize(first), std::nullopt) << "the first setter's pixmap is still there";
  // And again, from the second setter to a third.
  InstallAndCheck(Save(Solid(Qt::yellow), "yellow.bmp"), Qt::yellow);
  EXPECT_EQ(PixmapSize(second), std::nullopt);
}

TEST_F(X11Root, ReleasesNothingTheConventionDoesNotHandOver) {
  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  // Another setter's pixmap that only one of the properties names is not ours to free.
  const Pixmap theirs = XCreatePixmap(other, root_, 8, 8, static_cast<unsigned>(depth_));
  SetProperty(other, "_XROOTPMAP_ID", theirs);
  SetProperty(other, "ESETROOT_PMAP_ID", theirs + 1);
  XSync(other, False);
  InstallAndCheck(Save(Solid(Qt::green), "green.bmp"), Qt::green);
  EXPECT_EQ(PixmapSize(theirs), QSize(8, 8));

  // Both naming a window, not a pixmap: a stale id that now belongs to someone else.
  const Window window = XCreateSimpleWindow(other, root_, 0, 0, 8, 8, 0, 0, 0);
  SetProperty(other, "_XROOTPMAP_ID", window);
  SetProperty(other, "ESETROOT_PMAP_ID", window);
  XSync(other, False);
  InstallAndCheck(Save(Solid(Qt::cyan), "cyan.bmp"), Qt::cyan);
  XWindowAttributes attributes{};
  errors = 0;
  EXPECT_NE(XGetWindowAttributes(display_, window, &attributes), 0);
  EXPECT_EQ(errors, 0) << "the window's client was killed";

  // Both naming an id that is gone: nothing to free, and the picture still goes up.
  XFreePixmap(other, theirs);
  SetProperty(other, "_XROOTPMAP_ID", theirs);
  SetProperty(other, "ESETROOT_PMAP_ID", theirs);
  XSync(other, False);
  InstallAndCheck(Save(Solid(Qt::magenta), "magenta.bmp"), Qt::magenta);
  XCloseDisplay(other);
}

TEST_F(X11Root, DecodesPngJpegAndGif) {
  InstallAndCheck(Save(Solid(QColor(20, 180, 90)), "picture.png", "PNG"), QColor(20, 180, 90));
  // Lossy: near the colour is enough.
  InstallAndCheck(Save(Solid(QColor(240, 120, 10)), "picture.jpg", "JPEG"), QColor(240, 120, 10),
                  12);
  InstallAndCheck(Write("picture.gif", SolidGif(QColor(90, 40, 220), 40, 30)), QColor(90, 40, 220));
  // The format comes from the content, not the name.
  InstallAndCheck(Save(Solid(QColor(10, 10, 250)), "really-a-png.bmp", "PNG"), QColor(10, 10, 250));
}

TEST_F(X11Root, PathIsTakenAsBytesUpToTheFirstNul) {
  // A name that is not UTF-8 is opened as it stands: Qt would turn its bytes into U+FFFD.
  const std::string latin1 = Path("\xe9t\xe9.bmp");
  ASSERT_EQ(std::rename(Save(Solid(Qt::darkGreen), "ascii.bmp").c_str(), latin1.c_str()), 0);
  const RemoveAtExit removeLatin1{latin1};  // QTemporaryDir cannot name it to remove it
  ASSERT_FALSE(QFile::exists(QFile::decodeName(latin1.c_str())));
  InstallAndCheck(latin1, Qt::darkGreen);

  const std::string cut = Save(Solid(Qt::darkBlue), "cut.bmp");
  InstallAndCheck(cut + std::string("\0.png", 5), Qt::darkBlue);
}

TEST_F(X11Root, FailuresLeaveTheWallpaperAsItWas) {
  const QColor colour(30, 160, 160);
  const std::string good = Save(Solid(colour), "before.bmp");
  const Pixmap before = InstallAndCheck(good, colour);

  struct Case {
    const char* what;
    std::string path;
    Result result;
    std::string display;
  };
  const Case cases[] = {
      {"missing file", Path("missing.bmp"), Result::kCannotRead, ""},
      {"empty path", "", Result::kCannotRead, ""},
      {"not a picture", Write("notes.png", "These are notes, not a picture.\n"),
       Result::kNotAnImage, ""},
      {"truncated picture", Write("short.png", Encoded(Solid(Qt::red, 640, 480), "PNG").left(200)),
       Result::kNotAnImage, ""},
      // Qt's bitmap reader itself turns down headers past 16384 x 16384.
      {"bitmap claiming 100000 x 100000", Write("huge.bmp", BmpHeader(100000, 100000)),
       Result::kNotAnImage, ""},
      {"bitmap claiming 12000 x 12000", Write("big.bmp", BmpHeader(12000, 12000)),
       Result::kTooLarge, ""},
      {"GIF claiming 65535 x 65535", Write("huge.gif", GifStart(65535, 65535, Qt::red)),
       Result::kTooLarge, ""},
      {"no X server", Save(Solid(Qt::red), "red.bmp"), Result::kNoDisplay, ":987"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(X11RootWallpaper(c.display).Install(c.path), c.result);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(Property("_XROOTPMAP_ID"), before);
    EXPECT_EQ(Property("ESETROOT_PMAP_ID"), before);
    ExpectEverywhere(before, colour, 2);
  }
  // Through the interface, which reports nothing, likewise.
  X11RootWallpaper().SetWallpaper(Path("missing.bmp"));
  EXPECT_EQ(Property("_XROOTPMAP_ID"), before);
}

// A picture of another shape fills the screen: scaled until it covers it, the excess cut off
// evenly on both sides. Band i's middle must land where that scaling puts it.
TEST_F(X11Root, FillsTheScreenCroppingTheExcessEvenly) {
  for (const bool wide : {true, false}) {
    SCOPED_TRACE(wide ? "2:1 picture" : "1:2 picture");
    const int w = wide ? 1000 : 500;
    const int h = wide ? 500 : 1000;
    ASSERT_EQ(X11RootWallpaper().Install(Save(Bands(w, h, wide), wide ? "wide.png" : "tall.png")),
              Result::kSet);
    const auto pixmap = Property("_XROOTPMAP_ID");
    ASSERT_TRUE(pixmap.has_value());
    const Shot shot(display_, *pixmap, width_, height_, *visual_);
    ASSERT_TRUE(shot.Valid());

    // On any screen between 1:2 and 2:1 a 2:1 picture is cut at the sides, a 1:2 one at top
    // and bottom.
    const double scale = wide ? double(height_) / h : double(width_) / w;
    const int along = wide ? width_ : height_;
    const int across = wide ? height_ : width_;
    const double offset = ((wide ? w : h) * scale - along) / 2;
    ASSERT_GT(offset, 0);
    int checked = 0;
    for (int band = 0; band < 20; ++band) {
      const double middle = ((wide ? w : h) * (band + 0.5) / 20) * scale - offset;
      if (middle < 8 || middle > along - 8) continue;  // cut off
      for (const int at : {1, across / 2, across - 2}) {
        const int x = wide ? static_cast<int>(middle) : at;
        const int y = wide ? at : static_cast<int>(middle);
        EXPECT_TRUE(Near(shot.At(x, y), BandColour(band), 4))
            << "band " << band << " at " << x << "," << y;
      }
      ++checked;
    }
    // Only the middle bands are on the screen.
    EXPECT_GE(checked, 6);
    EXPECT_LE(checked, 16);
  }
}

}  // namespace
}  // namespace dornava
