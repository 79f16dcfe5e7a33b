// The preview through Wine's imaging component: formats, stretching and the pixel budget.
#include "ui/win32/Preview.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "TempFolder.h"

namespace dornava {
namespace {

using test::TempFolder;

struct Rgb {
  int r, g, b;
};

void Put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xff);
  out += static_cast<char>((value >> 8) & 0xff);
}
void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xffff);
  Put16(out, value >> 16);
}

// A 24-bit bottom-up BMP whose header declares width x height. `pixel(x, y)` gives the colours,
// y counted from the top; with `pixelData` false the file ends after its headers.
template <typename Pixel>
std::string Bmp(std::uint32_t width, std::uint32_t height, Pixel pixel, bool pixelData = true) {
  const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
  std::string file = "BM";
  Put32(file, 54 + stride * height);
  Put32(file, 0);
  Put32(file, 54);
  Put32(file, 40);
  Put32(file, width);
  Put32(file, height);
  Put16(file, 1);
  Put16(file, 24);
  for (int i = 0; i < 6; ++i)
    Put32(file, 0);
  if (!pixelData) return file;
  for (std::uint32_t row = height; row-- > 0;) {
    std::string line;
    for (std::uint32_t x = 0; x < width; ++x) {
      const Rgb c = pixel(x, row);
      line += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
    }
    line.resize(stride, '\0');
    file += line;
  }
  return file;
}

// 8 x 8 pictures in rgb(200, 30, 100), made with ImageMagick:
// convert -size 8x8 'xc:rgb(200,30,100)' -strip -quality 95 -sampling-factor 1x1 c.jpg
constexpr unsigned char kJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01, 0x01, 0x02,
    0x01, 0x01, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02, 0x02, 0x05, 0x04,
    0x04, 0x03, 0x04, 0x06, 0x05, 0x06, 0x06, 0x06, 0x05, 0x06, 0x06, 0x06, 0x07, 0x09, 0x08, 0x06,
    0x07, 0x09, 0x07, 0x06, 0x06, 0x08, 0x0b, 0x08, 0x09, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x06, 0x08,
    0x0b, 0x0c, 0x0b, 0x0a, 0x0c, 0x09, 0x0a, 0x0a, 0x0a, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x02, 0x02,
    0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03, 0x05, 0x0a, 0x07, 0x06, 0x07, 0x0a, 0x0a, 0x0a, 0x0a,
    0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
    0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
    0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0xff, 0xc0,
    0x00, 0x11, 0x08, 0x00, 0x08, 0x00, 0x08, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xff, 0xc4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00,
    0x15, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x05, 0x09, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01,
    0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3f, 0x00, 0x31, 0x98, 0x53, 0xc7, 0xff, 0xd9,
};
// convert -size 8x8 'xc:rgb(200,30,100)' -strip c.gif
constexpr unsigned char kGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x08, 0x00, 0x08, 0x00, 0xf0, 0x00, 0x00, 0xc8, 0x1e, 0x64,
    0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00,
    0x08, 0x00, 0x08, 0x00, 0x00, 0x02, 0x07, 0x84, 0x8f, 0xa9, 0xcb, 0xed, 0x5d, 0x00, 0x00, 0x3b,
};
// convert -size 8x8 'xc:rgb(200,30,100)' -strip PNG24:c.png
constexpr unsigned char kPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x08, 0x08, 0x02, 0x00, 0x00, 0x00, 0x4b, 0x6d, 0x29,
    0xdc, 0x00, 0x00, 0x00, 0x15, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0x3c, 0x21, 0x97, 0xc2,
    0x80, 0x0d, 0x30, 0x31, 0xe0, 0x00, 0x83, 0x53, 0x02, 0x00, 0x06, 0xb7, 0x01, 0x5a, 0xd1, 0x94,
    0xb8, 0x34, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
constexpr Rgb kMagenta{200, 30, 100};

// The checksum of PNG chunks.
std::uint32_t Crc32(std::string_view data) {
  std::uint32_t crc = 0xffffffff;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
      crc = crc >> 1 ^ (0xedb88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

std::string BigEndian(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}

template <std::size_t N>
std::string Bytes(const unsigned char (&data)[N]) {
  return std::string(reinterpret_cast<const char*>(data), N);
}

// What a loaded preview holds.
struct Loaded {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<std::uint32_t> pixels;  // top row first, 0x00RRGGBB
};

Loaded Inspect(HBITMAP bitmap) {
  Loaded loaded;
  DIBSECTION section{};
  if (GetObjectA(bitmap, sizeof section, &section) != sizeof section) return loaded;
  loaded.width = section.dsBm.bmWidth;
  loaded.height = section.dsBm.bmHeight;
  loaded.bitsPerPixel = section.dsBm.bmBitsPixel;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = loaded.width;
  info.bmiHeader.biHeight = -loaded.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  loaded.pixels.resize(static_cast<std::size_t>(loaded.width) * loaded.height);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(loaded.height), loaded.pixels.data(), &info,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return loaded;
}

::testing::AssertionResult Near(const Loaded& loaded, int x, int y, Rgb want, int tolerance = 0) {
  const std::uint32_t p = loaded.pixels[static_cast<std::size_t>(y) * loaded.width + x];
  const Rgb got{static_cast<int>(p >> 16 & 0xff), static_cast<int>(p >> 8 & 0xff),
                static_cast<int>(p & 0xff)};
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "(" << x << ", " << y << ") is rgb(" << got.r << ", " << got.g << ", " << got.b << ")";
}

class PreviewTest : public testing::Test {
 protected:
  // Loads and frees the preview; width 0 in the result when there was none.
  Loaded Load(const std::string& path, int width, int height) {
    HBITMAP bitmap = LoadPreviewBitmap(path, width, height);
    if (!bitmap) return {};
    Loaded loaded = Inspect(bitmap);
    DeleteObject(bitmap);
    return loaded;
  }

  TempFolder folder_;
};

TEST_F(PreviewTest, StretchesToTheAreaWithoutKeepingProportions) {
  // 16 x 8 in four quadrants, shown 30 x 60.
  const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
  const std::string path =
      folder_.Write("quadrants.bmp", Bmp(16, 8, [&](auto x, auto y) {
                      return y < 4 ? (x < 8 ? red : green) : (x < 8 ? blue : white);
                    }));
  const Loaded loaded = Load(path, 30, 60);
  ASSERT_EQ(loaded.width, 30);
  ASSERT_EQ(loaded.height, 60);
  EXPECT_EQ(loaded.bitsPerPixel, 32);
  EXPECT_TRUE(Near(loaded, 7, 15, red, 8));
  EXPECT_TRUE(Near(loaded, 22, 15, green, 8));
  EXPECT_TRUE(Near(loaded, 7, 45, blue, 8));
  EXPECT_TRUE(Near(loaded, 22, 45, white, 8));
  // The corners too: nothing is letterboxed.
  EXPECT_TRUE(Near(loaded, 0, 0, red, 8));
  EXPECT_TRUE(Near(loaded, 29, 59, white, 8));
}

TEST_F(PreviewTest, DecodesTheCommonFormats) {
  struct Case {
    const char* name;
    std::string content;
    int tolerance;
  };
  for (const Case& c : {
           Case{"c.bmp", Bmp(8, 8, [](auto, auto) { return kMagenta; }), 0},
           Case{"c.jpg", Bytes(kJpeg), 6},
           Case{"c.gif", Bytes(kGif), 0},
           Case{"c.png", Bytes(kPng), 0},
       }) {
    const Loaded loaded = Load(folder_.Write(c.name, c.content), 20, 10);
    ASSERT_EQ(loaded.width, 20) << c.name;
    ASSERT_EQ(loaded.height, 10) << c.name;
    EXPECT_TRUE(Near(loaded, 10, 5, kMagenta, c.tolerance)) << c.name;
  }
}

TEST_F(PreviewTest, Utf8Path) {
  ASSERT_EQ(GetACP(), UINT{CP_UTF8});
  const std::string path =
      folder_.Write("Tapety, léto – č.bmp", Bmp(4, 4, [](auto, auto) { return kMagenta; }));
  const Loaded loaded = Load(path, 5, 5);
  ASSERT_EQ(loaded.width, 5);
  EXPECT_TRUE(Near(loaded, 2, 2, kMagenta));
}

TEST_F(PreviewTest, LeavesTheCallersComAsItFoundIt) {
  const std::string path = folder_.Write("c.bmp", Bmp(8, 8, [](auto, auto) { return kMagenta; }));
  // Not entered, or entered in either apartment by the caller.
  struct Caller {
    bool entered;
    DWORD apartment;
  };
  for (const Caller caller :
       {Caller{false, COINIT_APARTMENTTHREADED}, Caller{true, COINIT_APARTMENTTHREADED},
        Caller{true, COINIT_MULTITHREADED}}) {
    bool loaded = false;
    HRESULT after = E_FAIL;
    std::thread([&] {
      if (caller.entered) CoInitializeEx(nullptr, caller.apartment);
      HBITMAP bitmap = LoadPreviewBitmap(path, 4, 4);
      loaded = bitmap != nullptr;
      DeleteObject(bitmap);
      // S_OK: not entered any more; S_FALSE: still in the apartment the caller entered.
      after = CoInitializeEx(nullptr, caller.apartment);
      CoUninitialize();
      if (caller.entered) CoUninitialize();
    }).join();
    EXPECT_TRUE(loaded) << caller.apartment;
    EXPECT_EQ(after, caller.entered ? S_FALSE : S_OK) << caller.apartment;
  }
}

TEST_F(PreviewTest, NothingWhenThereIsNoPicture) {
  const std::string bmp = folder_.Write("c.bmp", Bmp(8, 8, [](auto, auto) { return kMagenta; }));
  EXPECT_EQ(LoadPreviewBitmap("", 20, 10), nullptr);
  EXPECT_EQ(LoadPreviewBitmap(folder_ / "missing.bmp", 20, 10), nullptr);
  EXPECT_EQ(LoadPreviewBitmap(folder_.Write("notes.bmp", "not a picture\r\n"), 20, 10), nullptr);
  EXPECT_EQ(LoadPreviewBitmap(folder_.Write("empty.bmp", ""), 20, 10), nullptr);
  EXPECT_EQ(LoadPreviewBitmap(folder_.path(), 20, 10), nullptr);
  EXPECT_EQ(LoadPreviewBitmap(bmp, 0, 10), nullptr);
  EXPECT_EQ(LoadPreviewBitmap(bmp, 20, -1), nullptr);
}

TEST_F(PreviewTest, RefusesPicturesOverThePixelBudgetAtOnce) {
  // Headers that declare 60000 x 60000 pixels, with little or nothing behind them.
  const std::string bmp = Bmp(
      60000, 60000, [](auto, auto) { return kMagenta; }, false);
  std::string jpeg = Bytes(kJpeg);
  jpeg.replace(jpeg.find("\xff\xc0") + 5, 4, "\xea\x60\xea\x60");
  std::string png = Bytes(kPng);
  png.replace(16, 8, std::string("\0\0\xea\x60\0\0\xea\x60", 8));
  png.replace(29, 4, BigEndian(Crc32(png.substr(12, 17))));
  for (const auto& [name, content] :
       {std::pair{"huge.bmp", bmp}, {"huge.jpg", jpeg}, {"huge.png", png}}) {
    const std::string path = folder_.Write(name, content);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(LoadPreviewBitmap(path, 180, 135), nullptr) << name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << name;
  }
}

}  // namespace
}  // namespace dornava
