#include "ui/qt/QtModules.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QImageReader>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QUrl>

#include "platform/linux/wallpaper/PictureReader.h"
#include "ui/Layout.h"
#include "ui/qt/Look.h"

namespace dornava {

using look::FromQ;
using look::ToQ;

namespace {

// What the open-file record calls OFN_FILEMUSTEXIST.
constexpr std::uint32_t kFileMustExist = 0x1000;

}  // namespace

QStringList NameFilters(std::string_view filter) {
  QStringList parts;
  while (!filter.empty()) {
    const std::size_t end = filter.find('\0');
    parts.append(ToQ(filter.substr(0, end)));
    filter.remove_prefix(end == std::string_view::npos ? filter.size() : end + 1);
  }
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      if (pattern == u"*.*") pattern = QStringLiteral("*");
    }
    // The dialog hides the last parenthesis, which holds Qt's own patterns.
    filters.append(parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')');
  }
  return filters;
}

std::string QtCommonDialogy::ShowOpenDialog(WindowHandle owner, std::string_view title,
                                            std::string_view filter, std::string_view initialDir,
                                            std::uint32_t flags) {
  QFileDialog dialog(QWidget::find(static_cast<WId>(owner)), ToQ(title));
  dialog.setOptions(options_ | QFileDialog::HideNameFilterDetails);
  dialog.setFileMode((flags & kFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  const QStringList filters = NameFilters(filter);
  dialog.setNameFilters(filters);
  if (lastFilter_ < filters.size()) dialog.selectNameFilter(filters[lastFilter_]);
  if (!initialDir.empty()) dialog.setDirectory(ToQ(initialDir));
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return {};
  // Some dialogs report the filter as the user saw it, without Qt's own patterns.
  const QString chosenFilter = dialog.selectedNameFilter();
  for (int i = 0; i < filters.size(); ++i) {
    const QString& candidate = filters[i];
    if (chosenFilter == candidate || chosenFilter == candidate.left(candidate.lastIndexOf(u" ("))) {
      lastFilter_ = i;
      break;
    }
  }
  return FromQ(chosen.front());
}

bool QtFileSystem::FileExists(std::string_view path) {
  path = look::UpToNul(path);
  return !path.empty() && QFileInfo(ToQ(path)).isFile();
}

void QtHyperLink::OpenHyperLink(std::string_view link) {
  QDesktopServices::openUrl(QUrl(ToQ(link)));
}

namespace {

bool AllDigits(const QString& text) {
  for (const QChar c : text) {
    if (c.isPrint() && (c < u'0' || c > u'9')) return false;
  }
  return true;
}

class DigitsOnly final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      // Shortcuts such as Ctrl+V pass: pasted text is the focus-out rule's business.
      if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
      }
      return !AllDigits(key->text());
    }
    if (event->type() == QEvent::InputMethod) {
      return !AllDigits(static_cast<QInputMethodEvent*>(event)->commitString());
    }
    return false;
  }
};

}  // namespace

void SetNumOnly(QLineEdit& box, bool on) {
  const QString name = QStringLiteral("DigitsOnly");
  QObject* filter = box.findChild<QObject*>(name, Qt::FindDirectChildrenOnly);
  if (on && !filter) {
    filter = new DigitsOnly(&box);
    filter->setObjectName(name);
    box.installEventFilter(filter);
  } else if (!on) {
    delete filter;
  }
  box.setInputMethodHints(on ? Qt::ImhDigitsOnly : Qt::ImhNone);
}

QPixmap LoadPreview(std::string_view path, QSize size) {
  // A second net, in megabytes, for a picture whose header gives no size.
  QImageReader::setAllocationLimit(256);
  QFile file;
  if (path.empty() || !OpenPictureFile(path, file)) return {};
  QImageReader reader(&file);
  const QSize declared = reader.size();
  if (declared.isValid() && static_cast<std::int64_t>(declared.width()) * declared.height() >
                                layout::kPreviewPixelBudget) {
    return {};
  }
  reader.setScaledSize(size);
  const QImage image = reader.read();
  if (image.isNull()) return {};
  return QPixmap::fromImage(
      image.size() == size ? image
                           : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace dornava
