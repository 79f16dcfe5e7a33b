// The plain-X11 wallpaper on X servers of the test's own, its pixmap kept after the setter has
// gone. No other client sees the monitors change or covers the root window.
#include <gtest/gtest.h>

#include <QColor>

#include "platform/linux/wallpaper/X11RootWallpaper.h"
#include "support/PrivateBus.h"
#include "support/TempDir.h"

// After Qt: Xlib's macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>

namespace dornava {
namespace {

using namespace std::string_literals;

using Result = X11WallpaperResult;

// Twenty bands, side by side in a 2:1 picture or stacked in a 1:2 one; the shift tells them apart.
struct Bands {
  bool wide;
  int shift;
  QColor Colour(int band) const { return QColor::fromHsv((band + shift) * 18 % 360, 255, 255); }
};

// The parameter: whether the 800x600 screen is two RandR monitors side by side, or has no RandR
// (XTEST, unused, is left out instead) and so is one.
class X11Root : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (server_.line.empty()) GTEST_SKIP() << "needs Xvfb";
    ::setenv("DISPLAY", (":" + server_.line).c_str(), 1);
    ASSERT_NE(display_ = XOpenDisplay(nullptr), nullptr);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // probes of freed pixmaps fail
    root_ = DefaultRootWindow(display_);
    XRRScreenResources* resources = GetParam() ? XRRGetScreenResources(display_, root_) : nullptr;
    for (int half = 0; resources && half < 2; ++half) {
      // One takes the screen's output, or RandR would add the whole screen as a third.
      XRRMonitorInfo monitor(XInternAtom(display_, half ? "RIGHT" : "LEFT", False), False, False,
                             1 - half, half * 400, 0, 400, 600, 0, 0, resources->outputs);
      XRRSetMonitor(display_, root_, &monitor);
    }
    if (resources) XRRFreeScreenResources(resources);
    XSync(display_, False);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);  // before its server goes
  }

  // Saves the picture under a name of any bytes, UTF-8 or not.
  std::string Save(Bands bands, const std::string& name) {
    std::string ppm = bands.wide ? "P6 1000 500 255\n" : "P6 500 1000 255\n";
    for (int i = 0; i < 500000; ++i) {
      const QColor colour = bands.Colour((bands.wide ? i % 1000 : i / 500) / 50);
      for (const int level : {colour.red(), colour.green(), colour.blue()})
        ppm += static_cast<char>(level);
    }
    return dir_.Write(name, ppm);
  }

  Pixmap Property(const char* name) {
    int format = 0;
    unsigned long type = 0, count = 0, after = 0;  // type: an Atom
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, root_, XInternAtom(display_, name, False), 0, 1, False, XA_PIXMAP,
                       &type, &format, &count, &after, &data);
    const Pixmap pixmap = data && count == 1 ? *reinterpret_cast<unsigned long*>(data) : 0;
    if (data) XFree(data);
    return pixmap;
  }
  // Whether `drawable` is alive and shows `colour`, if given, at x, y, give or take smoothing.
  bool Shows(Drawable drawable, int x = 0, int y = 0, QColor colour = {}) {
    XImage* image = XGetImage(display_, drawable, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    const QColor got = QRgb(XGetPixel(image, 0, 0));  // 0xRRGGBB at the server's depth 24
    XDestroyImage(image);
    return !colour.isValid() ||
           std::max({std::abs(got.red() - colour.red()), std::abs(got.green() - colour.green()),
                     std::abs(got.blue() - colour.blue())}) <= 4;
  }

  // _XROOTPMAP_ID and ESETROOT_PMAP_ID name a pixmap, returned, and it and the root window show
  // the picture on each monitor scaled to cover it, the excess cut off evenly on both sides.
  Pixmap ExpectWallpaper(Bands bands) {
    const Pixmap pixmap = Property("_XROOTPMAP_ID");
    EXPECT_EQ(Property("ESETROOT_PMAP_ID"), pixmap);
    const int width = GetParam() ? 400 : 800;
    const int along = bands.wide ? width : 600, across = bands.wide ? 600 : width;
    const double scale = across / 500.0, offset = (1000 * scale - along) / 2;
    for (int left = 0; left < 800; left += width) {
      for (int band = 0; band < 20; ++band) {
        const int middle = static_cast<int>((band + 0.5) * 50 * scale - offset);
        if (middle < 8 || middle > along - 8) continue;  // cut off
        for (const int at : {0, across / 2, across - 1}) {
          const int x = left + (bands.wide ? middle : at), y = bands.wide ? at : middle;
          EXPECT_TRUE(Shows(pixmap, x, y, bands.Colour(band))) << "band " << band << " at " << x;
          EXPECT_TRUE(Shows(root_, x, y, bands.Colour(band))) << "on the root window at " << x;
        }
      }
    }
    return pixmap;
  }

  const test::PrivateServer server_{{"Xvfb", "-screen", "0", "800x600x24", "-nolisten", "tcp",
                                     "-extension", GetParam() ? "XTEST" : "RANDR", "-displayfd",
                                     ""}};
  test::TempDir dir_;
  Display* display_ = nullptr;
  Window root_ = 0;
};

INSTANTIATE_TEST_SUITE_P(Screens, X11Root, ::testing::Values(false, true), [](const auto& row) {
  return std::string(row.param ? "TwoMonitors" : "NoRandR");
});

// Each picture set replaces the last and releases its pixmap, which outlives Install's connection;
// each failure leaves all as it was.
TEST_P(X11Root, SetsTheWallpaperOrLeavesItAsItWas) {
  const Bands wide{true, 0}, tall{false, 1}, cut{true, 2};
  const std::string fifo = dir_ / "fifo.ppm", loop = dir_ / "loop.ppm";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600) | ::symlink(loop.c_str(), loop.c_str()), 0);
  // The path, the display, what Install says and the picture shown afterwards.
  const std::tuple<std::string, std::string, Result, Bands> rows[] = {
      {Save(wide, "wide.ppm"), "", Result::kSet, wide},
      {Save(tall, "\xe9t\xe9.ppm"), "", Result::kSet, tall},  // not UTF-8: opened as it is
      {Save(cut, "cut.ppm") + std::string("\0.png", 5), "", Result::kSet, cut},
      {dir_ / "missing.ppm", "", Result::kCannotRead, cut},
      {dir_.path(), "", Result::kCannotRead, cut},
      {fifo, "", Result::kCannotRead, cut},  // which blocks a reader
      {loop, "", Result::kCannotRead, cut},
      {dir_.Write("notes.png", "Notes, not a picture.\n"), "", Result::kNotAnImage, cut},
      {dir_.Write("empty.png", ""), "", Result::kNotAnImage, cut},
      {dir_.Write("cut.png", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0"s), "", Result::kNotAnImage, cut},
      {dir_.Write("cut.jpg", "\xff\xd8\xff\xe0\0\x10JF"s), "", Result::kNotAnImage, cut},
      {dir_.Write("cut.gif", "GIF89a\x10\0"s), "", Result::kNotAnImage, cut},
      {dir_.Write("cut.bmp", "BM\x46\0\0\0"s), "", Result::kNotAnImage, cut},
      {dir_.Write("big.ppm", "P6 12000 12000 255\n"), "", Result::kTooLarge, cut},  // the budget
      {Save(wide, "again.ppm"), ":987", Result::kNoDisplay, cut},
  };
  Pixmap previous = 0;
  for (const auto& [path, display, result, shown] : rows) {
    SCOPED_TRACE(path);
    EXPECT_EQ(X11RootWallpaper(display).Install(path), result);
    const Pixmap pixmap = ExpectWallpaper(shown);
    EXPECT_EQ(Shows(previous), result != Result::kSet) << "the previous pixmap";
    previous = pixmap;
  }
}

// Only a pixmap both properties name is handed over: another setter's pixmap, or a stale id that
// now names someone's window, is left alone; an id that is gone is skipped; the picture goes up.
TEST_P(X11Root, ReleasesNothingTheConventionDoesNotHandOver) {
  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  const Pixmap theirs = XCreatePixmap(other, root_, 8, 8, 24);
  const Window window = XCreateSimpleWindow(other, root_, 0, 0, 8, 8, 0, 0, 0);
  const std::pair<XID, XID> named[] = {{theirs, theirs + 1}, {window, window}, {0, 0}};
  for (auto [first, second] : named) {
    if (first == 0) XFreePixmap(other, first = second = theirs);
    for (const auto& [name, id] : {std::pair{"_XROOTPMAP_ID", first}, {"ESETROOT_PMAP_ID", second}})
      XChangeProperty(other, root_, XInternAtom(other, name, False), XA_PIXMAP, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&id), 1);
    XSync(other, False);
    EXPECT_EQ(X11RootWallpaper("").Install(Save({true, 3}, "x.ppm")), Result::kSet);
    XWindowAttributes attributes{};
    EXPECT_NE(XGetWindowAttributes(display_, window, &attributes), 0) << "its client was killed";
    EXPECT_EQ(Shows(theirs), first != theirs || second != theirs);
  }
  XCloseDisplay(other);
}

}  // namespace
}  // namespace dornava
