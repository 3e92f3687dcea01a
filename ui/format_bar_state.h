// What the formatting bar shows for a selection, apart from any window: the
// selection's format as the editor reports it, and the state of every bar
// control derived from it. The bar reads the format once, derives the state,
// then sets its controls.
#pragma once

#include <cstdint>
#include <string>

namespace velmar {

// Colours as COLORREF values (0x00BBGGRR).
inline constexpr uint32_t kRed = 0x000000FF;
inline constexpr uint32_t kYellow = 0x0000FFFF;
inline constexpr uint32_t kBlack = 0x00000000;
inline constexpr uint32_t kWhite = 0x00FFFFFF;

}  // namespace velmar

namespace velmar::ui {

// The editor's values, with its own numbering (checked against the editor's
// constants where the bar is built).
inline constexpr uint32_t kEffectBold = 0x1;
inline constexpr uint32_t kEffectItalic = 0x2;
inline constexpr uint32_t kEffectUnderline = 0x4;
inline constexpr uint32_t kEffectStrikeOut = 0x8;
inline constexpr uint16_t kAlignRight = 2;
inline constexpr uint16_t kAlignCentre = 3;
inline constexpr uint16_t kNumberingBullet = 1;

// The selection's format, read with one request for each member in this order.
struct SelectionFormat {
    std::string face;
    int32_t heightTwips = 0;
    uint32_t effects = 0;  // the four effect bits
    uint16_t alignment = 0;
    uint16_t numbering = 0;
    uint32_t textColour = 0;  // 0x00BBGGRR
    uint32_t backColour = 0;  // as reported: 0 for the default background
};

// Every bar control, in the order the bar sets them.
struct BarState {
    std::string fontPrefix;  // the font list selects its first item beginning with this
    std::string sizePrefix;  // the size list likewise
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool centre = false;
    bool right = false;
    bool bullets = false;
    uint32_t textSwatch = 0;
    bool textBox = false;
    uint32_t highlightSwatch = 0;
    bool highlightBox = false;
};

// Twips to whole points: to the nearest integer, halves to the even neighbour.
int PointsFromTwips(int32_t twips);

// The colour boxes are on when the selection shows the colour they apply; the
// default background (reported as 0) shows as white.
BarState DeriveBarState(const SelectionFormat& format, uint32_t chosenText, uint32_t chosenHighlight);

}  // namespace velmar::ui
