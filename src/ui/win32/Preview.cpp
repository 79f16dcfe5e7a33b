#include "ui/win32/Preview.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "ui/Layout.h"

namespace dornava {

namespace {

// Releases a COM interface at the end of its scope.
template <typename Interface>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (pointer_) pointer_->Release();
  }
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  Interface** out() { return &pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  // A thread already in the multithreaded apartment (RPC_E_CHANGED_MODE) can use WIC as well.
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
};

std::wstring Widen(std::string_view text) {
  const int size = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
  return wide;
}

// Reads exactly `size` bytes.
bool Read(IStream* stream, unsigned char* out, ULONG size) {
  ULONG got = 0;
  return SUCCEEDED(stream->Read(out, size, &got)) && got == size;
}

std::uint32_t Big16(const unsigned char* p) {
  return std::uint32_t{p[0]} << 8 | p[1];
}
std::uint32_t Big32(const unsigned char* p) {
  return Big16(p) << 16 | Big16(p + 2);
}

bool SeekTo(IStream* stream, LONGLONG offset, DWORD origin) {
  LARGE_INTEGER at;
  at.QuadPart = offset;
  return SUCCEEDED(stream->Seek(at, origin, nullptr));
}

// The pixels a PNG or JPEG header declares; 0 for other files and when it does not say. Wine's
// decoders of these two decode the whole picture as soon as they are opened, before the frame
// can be asked its size (and its JPEG decoder overflows on a huge one), so the header is read
// first.
std::uint64_t HeaderPixels(IStream* stream) {
  unsigned char b[24];
  if (!Read(stream, b, 4)) return 0;
  if (std::memcmp(b, "\x89PNG", 4) == 0) {
    if (!Read(stream, b + 4, 20) || std::memcmp(b + 12, "IHDR", 4) != 0) return 0;
    return std::uint64_t{Big32(b + 16)} * Big32(b + 20);
  }
  if (b[0] != 0xff || b[1] != 0xd8 || !SeekTo(stream, 2, STREAM_SEEK_SET)) return 0;
  // The JPEG segments before the frame header: a marker, and a length that counts itself.
  while (Read(stream, b, 4) && b[0] == 0xff) {
    const unsigned marker = b[1];
    if (marker == 0xd9 || marker == 0xda) return 0;  // the end, or a scan: no frame header
    if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc)
      return Read(stream, b, 5) ? std::uint64_t{Big16(b + 1)} * Big16(b + 3) : 0;
    const std::uint32_t length = Big16(b + 2);
    if (length < 2 || !SeekTo(stream, LONGLONG{length} - 2, STREAM_SEEK_CUR)) return 0;
  }
  return 0;
}

bool Decode(const std::wstring& path, UINT width, UINT height, void* pixels) {
  Com<IWICImagingFactory> factory;
  Com<IWICStream> stream;
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
  UINT sourceWidth = 0;
  UINT sourceHeight = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()))) ||
      FAILED(factory->CreateStream(stream.out())) ||
      FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_READ)) ||
      HeaderPixels(stream.get()) > layout::kPreviewPixelBudget ||
      !SeekTo(stream.get(), 0, STREAM_SEEK_SET) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out())) ||
      FAILED(frame->GetSize(&sourceWidth, &sourceHeight)))
    return false;
  // Windows has read no more than the header so far.
  const std::uint64_t declared = std::uint64_t{sourceWidth} * sourceHeight;
  if (declared == 0 || declared > layout::kPreviewPixelBudget) return false;

  Com<IWICFormatConverter> converter;
  Com<IWICBitmapScaler> scaler;
  const UINT stride = width * 4;
  return SUCCEEDED(factory->CreateFormatConverter(converter.out())) &&
         SUCCEEDED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
                                         WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom)) &&
         SUCCEEDED(factory->CreateBitmapScaler(scaler.out())) &&
         SUCCEEDED(
             scaler->Initialize(converter.get(), width, height, WICBitmapInterpolationModeFant)) &&
         SUCCEEDED(
             scaler->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)));
}

}  // namespace

HBITMAP LoadPreviewBitmap(std::string_view path, int width, int height) {
  if (path.empty() || path.find('\0') != std::string_view::npos || width <= 0 || height <= 0 ||
      std::uint64_t(width) * std::uint64_t(height) > layout::kPreviewPixelBudget)
    return nullptr;
  const std::wstring widePath = Widen(path);
  if (widePath.empty()) return nullptr;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as WIC writes its rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!bitmap) return nullptr;

  const ComScope com;
  if (Decode(widePath, static_cast<UINT>(width), static_cast<UINT>(height), pixels)) return bitmap;
  DeleteObject(bitmap);
  return nullptr;
}

}  // namespace dornava
