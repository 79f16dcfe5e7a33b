// The plain-X11 wallpaper on a real X server, its pixmap kept after the setter has gone.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>

#include "platform/linux/wallpaper/DesktopWallpaper.h"
#include "platform/linux/wallpaper/X11RootWallpaper.h"
#include "support/TempDir.h"

// After Qt: Xlib's macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

namespace dornava {
namespace {

using Result = X11WallpaperResult;

// Twenty bands, side by side in a 2:1 picture or stacked in a 1:2 one; the shift tells them apart.
struct Bands {
  bool wide;
  int shift;
  QColor Colour(int band) const { return QColor::fromHsv((band + shift) * 18 % 360, 255, 255); }
};

class X11Root : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    ASSERT_NE(display_ = XOpenDisplay(nullptr), nullptr);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // probes of freed pixmaps fail
    root_ = DefaultRootWindow(display_);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
  }

  // Saves the bitmap under a name of any bytes, UTF-8 or not.
  std::string Save(Bands bands, const std::string& name) {
    QImage image(bands.wide ? 1000 : 500, bands.wide ? 500 : 1000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, y, bands.Colour((bands.wide ? x : y) / 50).rgb());
    EXPECT_TRUE(image.save(QString::fromStdString(dir_ / "saved.bmp"), "BMP"));
    EXPECT_EQ(std::rename((dir_ / "saved.bmp").c_str(), (dir_ / name).c_str()), 0);
    return dir_ / name;
  }

  // The pixmap a property of the root window names, or 0.
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
    XColor got{};
    got.pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    if (!colour.isValid()) return true;
    XQueryColor(display_, DefaultColormap(display_, 0), &got);
    return std::max({std::abs(got.red / 257 - colour.red()),
                     std::abs(got.green / 257 - colour.green()),
                     std::abs(got.blue / 257 - colour.blue())}) <= 4;
  }

  // _XROOTPMAP_ID and ESETROOT_PMAP_ID name a pixmap, returned, and it and the uncovered root
  // window show the picture scaled to cover the screen, the excess cut off evenly on both sides.
  Pixmap ExpectWallpaper(Bands bands) {
    const Pixmap pixmap = Property("_XROOTPMAP_ID");
    EXPECT_EQ(Property("ESETROOT_PMAP_ID"), pixmap);
    const int along = bands.wide ? DisplayWidth(display_, 0) : DisplayHeight(display_, 0);
    const int across = bands.wide ? DisplayHeight(display_, 0) : DisplayWidth(display_, 0);
    const double scale = across / 500.0, offset = (1000 * scale - along) / 2;
    for (int band = 0; band < 20; ++band) {
      const int middle = static_cast<int>((band + 0.5) * 50 * scale - offset);
      if (middle < 8 || middle > along - 8) continue;  // cut off
      for (const int at : {0, across / 2, across - 1}) {
        const int x = bands.wide ? middle : at, y = bands.wide ? at : middle;
        EXPECT_TRUE(Shows(pixmap, x, y, bands.Colour(band))) << "band " << band << " at " << at;
        Window covering = 0;
        int i = 0;
        XTranslateCoordinates(display_, root_, root_, x, y, &i, &i, &covering);
        EXPECT_TRUE(covering || Shows(root_, x, y, bands.Colour(band))) << "on the root window";
      }
    }
    return pixmap;
  }

  test::TempDir dir_;
  Display* display_ = nullptr;
  Window root_ = 0;
};

// Each picture set replaces the last and releases its pixmap, which outlives Install's connection;
// each failure leaves all as it was.
TEST_F(X11Root, SetsTheWallpaperOrLeavesItAsItWas) {
  const Bands wide{true, 0}, tall{false, 1}, cut{true, 2};
  // The path, the display, what Install says and the picture shown afterwards.
  const std::tuple<std::string, std::string, Result, Bands> rows[] = {
      {Save(wide, "wide.bmp"), "", Result::kSet, wide},
      {Save(tall, "\xe9t\xe9.bmp"), "", Result::kSet, tall},  // not UTF-8: opened as it is
      {Save(cut, "cut.bmp") + std::string("\0.png", 5), "", Result::kSet, cut},
      {dir_ / "missing.bmp", "", Result::kCannotRead, cut},
      {dir_.Write("notes.png", "Notes, not a picture.\n"), "", Result::kNotAnImage, cut},
      {dir_.Write("big.ppm", "P6 12000 12000 255\n"), "", Result::kTooLarge, cut},  // the budget
      {Save(wide, "again.bmp"), ":987", Result::kNoDisplay, cut},
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
TEST_F(X11Root, ReleasesNothingTheConventionDoesNotHandOver) {
  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  const Pixmap theirs =
      XCreatePixmap(other, root_, 8, 8, static_cast<unsigned>(DefaultDepth(other, 0)));
  const Window window = XCreateSimpleWindow(other, root_, 0, 0, 8, 8, 0, 0, 0);
  const std::pair<XID, XID> named[] = {{theirs, theirs + 1}, {window, window}, {0, 0}};
  for (auto [first, second] : named) {
    if (first == 0) XFreePixmap(other, first = second = theirs);
    for (const auto& [name, id] : {std::pair{"_XROOTPMAP_ID", first}, {"ESETROOT_PMAP_ID", second}})
      XChangeProperty(other, root_, XInternAtom(other, name, False), XA_PIXMAP, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&id), 1);
    XSync(other, False);
    EXPECT_EQ(X11RootWallpaper("").Install(Save({true, 3}, "x.bmp")), Result::kSet);
    XWindowAttributes attributes{};
    EXPECT_NE(XGetWindowAttributes(display_, window, &attributes), 0) << "its client was killed";
    EXPECT_EQ(Shows(theirs), first != theirs || second != theirs);
  }
  XCloseDisplay(other);
}

// Each monitor shows the whole picture, filled as a screen of its own; without RandR the screen
// is one. Each case has a server of its own, so that no other client sees the monitors change.
TEST_F(X11Root, FillsEachMonitor) {
  QImage halves(20, 30, QImage::Format_RGB32);  // shaped as one monitor, red left and blue right
  halves.fill(Qt::blue);
  QPainter(&halves).fillRect(0, 0, 10, 30, Qt::red);
  ASSERT_TRUE(halves.save(QString::fromStdString(dir_ / "halves.bmp"), "BMP"));
  XCloseDisplay(std::exchange(display_, nullptr));
  // Whether the server has RandR (XTEST, unused, is left out instead), to split its 800x600 screen
  // in two; how wide each red stretch of the screen is.
  for (const auto& [randr, red] : {std::pair{true, 200}, {false, 400}}) {
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    pid_t server =
        StartProgram({"Xvfb", "-displayfd", std::to_string(out[1]), "-screen", "0", "800x600x24",
                      "-nolisten", "tcp", "-extension", randr ? "XTEST" : "RANDR"});
    const std::unique_ptr<pid_t, void (*)(pid_t*)> ends(&server, [](pid_t* pid) {
      ::kill(*pid, SIGTERM);
      ::waitpid(*pid, nullptr, 0);
    });
    ::close(out[1]);
    std::string name = ":";
    for (char c; ::read(out[0], &c, 1) == 1 && c != '\n';)
      name += c;
    ::close(out[0]);
    ASSERT_NE(display_ = XOpenDisplay(name.c_str()), nullptr);
    root_ = DefaultRootWindow(display_);
    XRRScreenResources* resources = randr ? XRRGetScreenResources(display_, root_) : nullptr;
    for (int half = 0; resources && half < 2; ++half) {
      XRRMonitorInfo* monitor = XRRAllocateMonitor(display_, 1);
      // One takes the screen's output, or RandR would add the whole screen as a third.
      monitor->outputs[0] = resources->outputs[0];
      monitor->noutput = 1 - half;
      monitor->name = XInternAtom(display_, half ? "RIGHT" : "LEFT", False);
      monitor->x = half * 400;
      monitor->width = 400;
      monitor->height = 600;
      XRRSetMonitor(display_, root_, monitor);
      XRRFreeMonitors(monitor);
    }
    if (resources) XRRFreeScreenResources(resources);
    XSync(display_, False);
    EXPECT_EQ(X11RootWallpaper(name).Install(dir_ / "halves.bmp"), Result::kSet);
    for (const int x : {100, 300, 500, 700}) {
      EXPECT_TRUE(
          Shows(Property("_XROOTPMAP_ID"), x, 300, x % (2 * red) < red ? Qt::red : Qt::blue))
          << x << (randr ? " on two monitors" : " without RandR");
    }
    XCloseDisplay(std::exchange(display_, nullptr));  // before its server goes
  }
}

}  // namespace
}  // namespace dornava
