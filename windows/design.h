#pragma once
// The windows' design: colours, fonts and the design bounds of the controls, in pixels at
// 96 dpi, as the window tables give them. Layouts derive their distances from these.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>
#include <QWidget>

namespace windows::design {

// Colours.
inline const QColor kMainWindowColour(192, 220, 192);
inline const QColor kPanelColour(215, 215, 199);
inline const QColor kFieldColour(255, 251, 240);  // inputs, lists, the viewer's tool panel
inline const QColor kSplitterColour(10, 90, 90);
inline const QColor kAboutColour(248, 231, 229);
inline const QColor kAboutMemoColour(237, 237, 237);
inline const QColor kMaroon(128, 0, 0);
inline const QColor kTeal(0, 128, 128);
// An article page that names no colours of its own, as browsers show one: dark text and
// blue links on white, whatever the desktop's colour scheme.
inline const QColor kPageBackground(255, 255, 255);
inline const QColor kPageText(0, 0, 0);
inline const QColor kPageLink(0, 0, 238);
inline const QColor kPageLinkVisited(85, 26, 139);

// A font by family name and character height in pixels.
inline QFont Font(const QString& family, int pixels, bool bold = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

inline void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// The main window: its client area and the controls' bounds in their parents.
namespace main {
inline constexpr QSize kClient(641, 376);
inline constexpr QRect kPanel1(0, 0, 641, 37);
inline constexpr QRect kPanel2(0, 326, 641, 50);
inline constexpr QRect kPanel3(455, 37, 186, 289);
inline constexpr QRect kPanel4(0, 37, 453, 289);
inline constexpr int kSplitterWidth = 2;
inline constexpr QRect kButton1(8, 5, 121, 27);    // in Panel1
inline constexpr QRect kEdit1(16, 8, 439, 29);     // in Panel2, anchored left, top, right
inline constexpr QRect kInBtn(465, 8, 81, 28);     // in Panel2, anchored top, right
inline constexpr QRect kViewBtn(6, 6, 169, 25);    // in Panel3, anchored left, top, right
inline constexpr QRect kDictBox(5, 36, 169, 237);  // in Panel3, anchored on all sides
inline constexpr QRect kMemo1(5, 5, 442, 279);     // in Panel4, anchored on all sides

// An anchored control's distance from its parent's right and bottom edges.
constexpr int RightGap(const QRect& control, const QRect& parent) {
    return parent.width() - control.x() - control.width();
}
constexpr int BottomGap(const QRect& control, const QRect& parent) {
    return parent.height() - control.y() - control.height();
}
}  // namespace main

// The article viewer: its outer size and its tool panel.
namespace viewer {
inline constexpr QSize kOuter(800, 600);
inline constexpr int kPanel1Height = 41;
inline constexpr QSize kButton1(131, 25);
}  // namespace viewer

// The About window.
namespace about {
inline constexpr QSize kClient(569, 279);
inline constexpr QRect kLabel1(0, 0, 569, 26);
inline constexpr QRect kLabel2(0, 260, 569, 19);
inline constexpr QRect kMemo1(21, 48, 524, 161);
inline constexpr QRect kButton1(21, 215, 111, 35);
inline constexpr QRect kButton2(173, 215, 372, 35);
}  // namespace about

}  // namespace windows::design
