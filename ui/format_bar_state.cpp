#include "ui/format_bar_state.h"

namespace velmar::ui {

int PointsFromTwips(int32_t twips) {
    int32_t points = twips / 20;
    int32_t rest = twips % 20;
    if (rest > 10 || (rest == 10 && points % 2 != 0)) ++points;
    return static_cast<int>(points);
}

BarState DeriveBarState(const SelectionFormat& format, uint32_t chosenText, uint32_t chosenHighlight) {
    BarState bar;
    bar.fontPrefix = format.face;
    bar.sizePrefix = std::to_string(PointsFromTwips(format.heightTwips));
    bar.bold = (format.effects & kEffectBold) != 0;
    bar.italic = (format.effects & kEffectItalic) != 0;
    bar.underline = (format.effects & kEffectUnderline) != 0;
    bar.strikeOut = (format.effects & kEffectStrikeOut) != 0;
    bar.centre = format.alignment == kAlignCentre;
    bar.right = format.alignment == kAlignRight;
    bar.bullets = format.numbering == kNumberingBullet;
    bar.textSwatch = format.textColour;
    bar.textBox = format.textColour == chosenText;
    bar.highlightSwatch = format.backColour == 0 ? kWhite : format.backColour;
    bar.highlightBox = bar.highlightSwatch == chosenHighlight;
    return bar;
}

}  // namespace velmar::ui
