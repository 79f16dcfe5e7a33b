#include "ui/qt/Look.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace dornava::look {

QString ToQ(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQ(const QString& text) {
  return text.toStdString();
}

QFont FormFont(layout::Font entry) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(entry.points);
  font.setBold(true);
  font.setUnderline(entry.underline);
  return font;
}

void SetUpForm(QWidget& form, const layout::Form& entry, std::string_view caption) {
  QPalette palette = form.palette();
  palette.setColor(QPalette::Window, Colour(layout::kDarkBlue));
  palette.setColor(QPalette::WindowText, Colour(layout::kWhite));
  form.setPalette(palette);
  form.setAutoFillBackground(true);
  form.setFont(FormFont(entry.font));
  form.setWindowTitle(ToQ(caption));
  const QSize client(Px(entry.clientWidth), Px(entry.clientHeight));
  form.setFixedSize(client);
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen) {
    form.setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, client, screen->geometry()));
  }
}

void PaintField(QWidget& field) {
  QPalette palette = field.palette();
  palette.setColor(QPalette::Base, Colour(layout::kDarkBlue));
  palette.setColor(QPalette::Text, Colour(layout::kWhite));
  field.setPalette(palette);
}

void PlaceLabel(QLabel& label, const layout::Label& entry) {
  label.setTextFormat(Qt::PlainText);
  const Qt::Alignment alignment = entry.align == layout::Align::kCenter  ? Qt::AlignHCenter
                                  : entry.align == layout::Align::kRight ? Qt::AlignRight
                                                                         : Qt::AlignLeft;
  label.setAlignment(alignment | Qt::AlignTop);
  label.setGeometry(Px(entry.rect));
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, Colour(entry.colour));
  label.setPalette(palette);
  label.setFont(FormFont(entry.font));
  FitWidth(label);
}

QLabel* AddLabel(QWidget* form, std::string_view text, const layout::Label& entry) {
  auto* label = new QLabel(ToQ(text), form);
  PlaceLabel(*label, entry);
  return label;
}

void FitWidth(QLabel& label) {
  const int missing = label.fontMetrics().horizontalAdvance(label.text()) + 1 - label.width();
  if (missing <= 0) return;
  const Qt::Alignment alignment = label.alignment();
  const int left = (alignment & Qt::AlignHCenter) ? missing / 2
                   : (alignment & Qt::AlignRight) ? missing
                                                  : 0;
  label.setGeometry(label.geometry().adjusted(-left, 0, missing - left, 0));
}

namespace {

class FrameLine final : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(QColor(Colour(layout::kLightBlue)));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
};

}  // namespace

void AddFramed(QWidget* form, const layout::Framed& entry, QWidget& field) {
  const QRect container = Px(entry.container);
  auto* frame = new FrameLine(form);
  frame->setGeometry(container.adjusted(-1, -1, 1, 1));
  auto* clip = new QWidget(frame);
  clip->setGeometry(1, 1, container.width(), container.height());
  field.setParent(clip);
  field.setGeometry(Px(entry.inner));
}

ClickLabel::ClickLabel(QWidget* parent, std::function<void()> onClick)
    : QLabel(parent), onClick_(std::move(onClick)) {
  setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    onClick_();
  }
}

FormDialog::FormDialog(QWidget* owner, std::function<bool()> refuse)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      refuse_(std::move(refuse)) {}

void FormDialog::Dismiss() {
  closedByUser = true;
  done(QDialog::Rejected);
}

void FormDialog::closeEvent(QCloseEvent* event) {
  // A hidden window has no close box: this is the application closing its windows as it quits.
  if (!isVisible()) return;
  if (refuse_ && refuse_()) {
    event->ignore();
    return;
  }
  Dismiss();
}

QPixmap Banner() {
  return QPixmap(QStringLiteral(":/dornava/banner.bmp"));
}

QIcon AppIcon() {
  return QIcon(QStringLiteral(":/dornava/dornava.ico"));
}

}  // namespace dornava::look
