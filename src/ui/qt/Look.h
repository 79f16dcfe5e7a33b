// What the three windows share: the layout table turned into Qt's pixels, colours, fonts and
// framed fields, and the pictures built into the program.
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

#include "ui/Layout.h"

namespace dornava::look {

// The layout table's twips as Qt's logical pixels, so high-DPI scaling enlarges the windows as a
// whole.
constexpr int Px(int twips) {
  return twips / layout::kTwipsPerPixel;
}
inline QRect Px(const layout::Rect& twips) {
  return {Px(twips.left), Px(twips.top), Px(twips.width), Px(twips.height)};
}
constexpr QRgb Colour(layout::Rgb colour) {
  return qRgb(colour.red, colour.green, colour.blue);
}

// The program's texts are UTF-8 throughout.
QString ToQ(std::string_view text);
// What a control made for C strings keeps of a text: all before its first zero character. A
// line read from the registry can end in its stored terminator.
inline std::string_view UpToNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}
std::string FromQ(const QString& text);

// Arial bold; fontconfig gives a metric twin such as Liberation Sans where Arial is missing.
QFont FormFont(layout::Font font);

// A window of fixed client size with the dark blue background, white text and the form's font,
// centred on the screen.
void SetUpForm(QWidget& form, const layout::Form& entry, std::string_view caption);

// Dark blue behind white text, for the list and the text boxes.
void PaintField(QWidget& field);

// Places a label as the table says: no background of its own, text at its top as the old labels
// drew it.
void PlaceLabel(QLabel& label, const layout::Label& entry);
QLabel* AddLabel(QWidget* form, std::string_view text, const layout::Label& entry);

// A text wider than its label (other fonts' metrics, longer names) widens the label about its
// alignment instead of being cut.
void FitWidth(QLabel& label);

// Puts `field` into a borderless container with a one-pixel light-blue line drawn one pixel
// outside it. Placed at a negative offset and larger than the container, the field loses its own
// border to the clipping.
void AddFramed(QWidget* form, const layout::Framed& entry, QWidget& field);

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

// The banner and the program's icon, built into the executable.
QPixmap Banner();
QIcon AppIcon();

}  // namespace dornava::look
