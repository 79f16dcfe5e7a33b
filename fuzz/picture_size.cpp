// Any bytes as a picture file: whatever its header claims, no picture over the budget comes out.
#include <QBuffer>
#include <QByteArray>

#include "FuzzBodies.h"
#include "platform/linux/wallpaper/PictureReader.h"

namespace dornava::fuzz {

void FuzzPictureSize(const std::uint8_t* data, std::size_t size) {
  // Small, so a header that lies about its size cannot make the runs crawl.
  constexpr std::int64_t kBudget = 256 * 256;
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImage picture;
  const PictureRead result = ReadPicture(buffer, kBudget, picture);
  Expect((result == PictureRead::kRead) == !picture.isNull(), "a picture exactly when read");
  Expect(std::int64_t{picture.width()} * picture.height() <= kBudget, "nothing over the budget");
}

}  // namespace dornava::fuzz
