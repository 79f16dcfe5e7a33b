#include "platform/linux/wallpaper/PictureReader.h"

#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace dornava {

PictureRead ReadPicture(QIODevice& device, std::int64_t maxPixels, QImage& picture) {
  // Bytes of the largest picture the budget lets through, decoded at four bytes a pixel. The
  // limit is process-wide and other readers set their own, so it is set before each read.
  const std::int64_t limitMb = (maxPixels * 4 + (1 << 20) - 1) >> 20;
  QImageReader::setAllocationLimit(static_cast<int>(std::clamp<std::int64_t>(limitMb, 1, 1 << 30)));
  QImageReader reader(&device);
  reader.setAutoTransform(true);
  const QSize declared = reader.size();
  if (declared.isValid() && std::int64_t{declared.width()} * declared.height() > maxPixels) {
    return PictureRead::kTooLarge;
  }
  picture = reader.read();
  if (picture.isNull()) {
    const auto error = reader.error();
    return error == QImageReader::FileNotFoundError || error == QImageReader::DeviceError
               ? PictureRead::kCannotRead
               : PictureRead::kNotAnImage;
  }
  // Formats that cannot tell their size up front are held to the same budget afterwards.
  if (std::int64_t{picture.width()} * picture.height() > maxPixels) {
    picture = QImage();
    return PictureRead::kTooLarge;
  }
  return PictureRead::kRead;
}

bool OpenPictureFile(std::string_view path, QFile& file) {
  const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat status {};
  if (fd < 0) return false;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
      file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    return true;
  }
  ::close(fd);
  return false;
}

}  // namespace dornava
