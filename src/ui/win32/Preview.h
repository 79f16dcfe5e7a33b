// The editor's preview picture, decoded by the Windows Imaging Component.
#pragma once

#include <windows.h>

#include <string_view>

namespace dornava {

// The picture at the UTF-8 path, stretched to exactly width x height without keeping its
// proportions, as a top-down 32-bit DIB section (premultiplied BGRA) the caller deletes; null when
// the path is empty, the file is missing or is no picture the system decodes, or the picture is
// over layout::kPreviewPixelBudget. Any format WIC knows: BMP, JPEG, GIF, PNG, TIFF, ICO.
// It enters COM on the calling thread for the call itself, apartment-threaded as the UI thread
// that calls it is, so it needs nothing from its caller.
HBITMAP LoadPreviewBitmap(std::string_view path, int width, int height);

}  // namespace dornava
