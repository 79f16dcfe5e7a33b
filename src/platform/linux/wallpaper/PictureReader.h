// Decoding a picture held to a pixel budget. Qt Gui only: it needs no display, so the backends
// that draw the picture themselves and the fuzzers share it.
#pragma once

#include <QIODevice>
#include <QImage>

#include <cstdint>

namespace dornava {

enum class PictureRead { kRead, kCannotRead, kNotAnImage, kTooLarge };

// A picture that declares more than `maxPixels` is refused before it is decoded; one whose
// header gives no size is held to the same budget once decoded.
PictureRead ReadPicture(QIODevice& device, std::int64_t maxPixels, QImage& picture);

}  // namespace dornava
