// Where the three windows put their controls and how they look, written once for both editions.
// Positions and sizes are twips in client coordinates, 15 to a pixel at 96 dpi; a control inside
// a container is placed relative to the container.
#pragma once

#include <cstdint>

namespace dornava::layout {

inline constexpr int kTwipsPerPixel = 15;

struct Rect {
  int left;
  int top;
  int width;
  int height;
};

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

inline constexpr Rgb kDarkBlue{32, 64, 128};    // backgrounds: windows, list, fields, options
inline constexpr Rgb kLightBlue{64, 128, 255};  // field frames, the version tag
inline constexpr Rgb kWhite{255, 255, 255};     // texts
inline constexpr Rgb kCyan{0, 255, 255};        // the about window's links

// Every font is Arial bold in the Central European character set; only size and underline vary.
struct Font {
  double points;
  bool underline;
};

enum class Align { kLeft, kCenter, kRight };

// Text the window draws without a background of its own, so what lies below shows through.
struct Label {
  Rect rect;
  Font font;
  Rgb colour;
  Align align;
};

// A field in a borderless container. The field sits at `inner` inside it and is larger than it,
// so the container's clipping cuts the field's own border away; a one-pixel light-blue line is
// drawn one pixel outside the container instead.
struct Framed {
  Rect container;
  Rect inner;
};

// A window's client area and the font of every control without one of its own.
struct Form {
  int clientWidth;
  int clientHeight;
  Font font;
};

// The preview never decodes a picture declaring more pixels than this: a huge or hostile file
// must not stall the editor or exhaust its memory. Signed, so either sign of product compares.
inline constexpr std::int64_t kPreviewPixelBudget = 40'000'000;

// The main window. Its controls take the focus in this order: Command1, Command2, Command3,
// Command4, Check1, Command5, List1.
namespace frmList {
inline constexpr Form kForm{6690, 4275, {9, false}};
inline constexpr Font kSmallFont{8.25, false};
inline constexpr Rect Image1{150, 225, 6390, 885};  // the banner, 426 x 59 pixels
inline constexpr Label Label3{{4560, 75, 1995, 210}, kSmallFont, kWhite, Align::kCenter};
inline constexpr Label Label1{{6210, 285, 315, 210}, kSmallFont, kLightBlue, Align::kRight};
inline constexpr Label Label2{{180, 1305, 1590, 225}, kForm.font, kWhite, Align::kLeft};
inline constexpr Framed List1{{165, 1635, 6360, 1800}, {-15, -15, 6395, 1830}};  // in Picture1
inline constexpr Rect Command1{150, 3585, 1155, 510};
inline constexpr Rect Command2{2700, 3585, 1155, 510};
inline constexpr Rect Command3{1425, 3585, 1155, 510};
inline constexpr Rect Command4{5505, 3585, 1035, 510};
inline constexpr Rect Check1{4350, 3585, 1125, 270};
inline constexpr Rect Command5{4995, 1215, 1545, 345};
}  // namespace frmList

// The entry editor. Focus order: Option1, Option2, Command1, Command2, Text1, Text2, Text3.
namespace frmAdd {
inline constexpr Form kForm{4320, 3435, {9, false}};
inline constexpr Font kTimeFont{20.25, false};  // the two time fields and the colon between them
inline constexpr Rect Option1{1710, 105, 2460, 285};
inline constexpr Rect Option2{1710, 390, 2460, 285};
inline constexpr Label Label1{{765, 120, 150, 480}, kTimeFont, kWhite, Align::kLeft};  // ":"
inline constexpr Rect Command1{3810, 810, 360, 255};
inline constexpr Rect Command2{3015, 1230, 1155, 375};
inline constexpr Framed Text1{{150, 150, 570, 480}, {-30, -30, 645, 600}};        // in Picture1
inline constexpr Framed Text2{{960, 150, 570, 480}, {-30, -30, 645, 600}};        // in Picture2
inline constexpr Framed Text3{{150, 825, 3510, 225}, {-30, -30, 3570, 330}};      // in Picture3
inline constexpr Framed imgPreview{{150, 1245, 2700, 2025}, {0, 0, 2700, 2025}};  // in Picture4
}  // namespace frmAdd

// The about window. Label1, Label2 and Label7 are links.
namespace frmAbout {
inline constexpr Form kForm{4680, 1830, {8.25, false}};
inline constexpr Font kNameFont{9.75, true};
inline constexpr Font kHostFont{12, true};
inline constexpr Rect Image1{105, 150, 4455, 617};  // the main window's banner, scaled
inline constexpr Label Label5{{3795, 135, 765, 210}, kForm.font, kWhite, Align::kRight};
inline constexpr Label Label3{{105, 855, 1215, 210}, kForm.font, kWhite, Align::kCenter};
inline constexpr Label Label1{{1350, 840, 1665, 240}, kNameFont, kCyan, Align::kCenter};
inline constexpr Label Label4{{105, 1095, 2055, 210}, kForm.font, kWhite, Align::kLeft};
inline constexpr Label Label2{{2145, 1080, 1260, 240}, kNameFont, kCyan, Align::kLeft};
inline constexpr Label Label6{{3750, 1095, 810, 210}, kForm.font, kWhite, Align::kRight};
inline constexpr Label Label7{{1140, 1380, 2415, 285}, kHostFont, kCyan, Align::kCenter};
}  // namespace frmAbout

}  // namespace dornava::layout
