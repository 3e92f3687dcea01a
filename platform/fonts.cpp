#include "platform/fonts.h"

namespace velmar::platform {

int ScreenFontHeight(int points) {
    WindowDC screen(nullptr);
    return -MulDiv(points, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
}

UniqueFont CreateScreenFont(const FontSpec& spec) {
    LOGFONTW font{};
    font.lfHeight = ScreenFontHeight(spec.points);
    font.lfWeight = spec.weight;
    font.lfItalic = spec.italic ? TRUE : FALSE;
    font.lfUnderline = spec.underline ? TRUE : FALSE;
    font.lfStrikeOut = spec.strikeOut ? TRUE : FALSE;
    font.lfCharSet = spec.charset;
    lstrcpynW(font.lfFaceName, spec.face.c_str(), LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace velmar::platform
