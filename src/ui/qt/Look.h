// What the three windows share: positions in twips, the colours, the fonts, the framed fields
// and the pictures built into the program.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

namespace dornava::look {

// The layout is kept in twips, 15 to a pixel at 96 dpi. The pixels are Qt's logical ones, so
// high-DPI scaling enlarges the windows as a whole.
constexpr int Px(int twips) {
  return twips / 15;
}
inline QRect Twips(int left, int top, int width, int height) {
  return {Px(left), Px(top), Px(width), Px(height)};
}

inline constexpr QRgb kDarkBlue = qRgb(32, 64, 128);
inline constexpr QRgb kLightBlue = qRgb(64, 128, 255);
inline constexpr QRgb kWhite = qRgb(255, 255, 255);
inline constexpr QRgb kCyan = qRgb(0, 255, 255);

// The program's texts are UTF-8 throughout.
QString ToQ(std::string_view text);
// What a control made for C strings keeps of a text: all before its first zero character. A
// line read from the registry can end in its stored terminator.
inline std::string_view UpToNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}
std::string FromQ(const QString& text);

// Arial bold; fontconfig gives a metric twin such as Liberation Sans where Arial is missing.
QFont FormFont(qreal points, bool underline = false);

// A window of fixed client size with the dark blue background, white text and `font`,
// centred on the screen.
void SetUpForm(QWidget& form, QSize client, qreal fontPoints, std::string_view caption);

// Dark blue behind white text, for the list and the text boxes.
void PaintField(QWidget& field);

// A label with no background of its own, text at its top as the old labels drew it.
QLabel* AddLabel(QWidget* form, std::string_view text, QRect geometry, Qt::Alignment alignment,
                 QRgb color, const QFont* font = nullptr);

// A text wider than its label (other fonts' metrics, longer names) widens the label about its
// alignment instead of being cut.
void FitWidth(QLabel& label);

// Makes the container of a framed field and returns it: borderless, at `container`, with a
// one-pixel light-blue line drawn one pixel outside it. A control placed at a negative offset
// inside and made larger than the container loses its own border to the clipping.
QWidget* AddFramedContainer(QWidget* form, QRect container);

// A label that reports a left click released over it, as a link does.
class ClickLabel final : public QLabel {
 public:
  ClickLabel(QWidget* parent, std::function<void()> onClick);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::function<void()> onClick_;
};

// A dialog of the old kind: Escape does nothing and the close box closes it unless `refuse`
// says no. `closedByUser` tells the owner to destroy it.
class FormDialog : public QDialog {
 public:
  FormDialog(QWidget* owner, std::function<bool()> refuse = nullptr);
  void reject() override {}
  // Closes it as the close box would, without asking.
  void Dismiss();
  bool closedByUser = false;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<bool()> refuse_;
};

// The banner (426 x 59) and the program's icon, built into the executable.
QPixmap Banner();
QIcon AppIcon();

}  // namespace dornava::look
