// Writes the icon theme's sizes of an icon file: for each size, the picture of that size in the
// file, or else the nearest larger one scaled down (the largest scaled up when none is larger).
//   dornava-icons ICON.ico OUTDIR SIZE...   writes OUTDIR/<size>x<size>/apps/dornava.png
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() < 4) {
    std::fputs("usage: dornava-icons ICON OUTDIR SIZE...\n", stderr);
    return 2;
  }
  QImageReader reader(arguments[1]);
  std::vector<QImage> pictures;
  do {
    QImage picture = reader.read();
    if (!picture.isNull()) pictures.push_back(std::move(picture));
  } while (reader.jumpToNextImage());
  if (pictures.empty()) {
    std::fprintf(stderr, "dornava-icons: cannot read %s: %s\n", argv[1],
                 qPrintable(reader.errorString()));
    return 1;
  }
  for (qsizetype i = 3; i < arguments.size(); ++i) {
    const int size = arguments[i].toInt();
    const QImage* best = nullptr;
    for (const QImage& picture : pictures) {
      const bool larger = picture.width() >= size;
      if (!best || (larger && (best->width() < size || picture.width() < best->width())) ||
          (!larger && best->width() < size && picture.width() > best->width())) {
        best = &picture;
      }
    }
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[2]).arg(size);
    const QString file = folder + QStringLiteral("/dornava.png");
    const QImage scaled = best->width() == size ? *best
                                                : best->scaled(size, size, Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation);
    if (!QDir().mkpath(folder) || !scaled.save(file, "PNG")) {
      std::fprintf(stderr, "dornava-icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
