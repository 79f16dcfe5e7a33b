// Decoding a picture held to a pixel budget. Qt Gui only: it needs no display, so the backends
// that draw the picture themselves and the fuzzers share it.
#pragma once

#include <QFile>
#include <QIODevice>
#include <QImage>

#include <cstdint>
#include <string_view>

namespace dornava {

enum class PictureRead { kRead, kCannotRead, kNotAnImage, kTooLarge };

// A picture that declares more than `maxPixels` is refused before it is decoded; one whose
// header gives no size is held to the same budget once decoded.
PictureRead ReadPicture(QIODevice& device, std::int64_t maxPixels, QImage& picture);

// Opens a regular file named by any bytes (Qt would replace those that are not UTF-8) without
// waiting: a FIFO, device or folder in a picture's place is refused, not read.
bool OpenPictureFile(std::string_view path, QFile& file);

}  // namespace dornava
