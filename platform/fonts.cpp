#include "platform/fonts.h"

namespace velmar::platform {

int ScreenFontHeight(int points) {
    WindowDC screen(nullptr);
    return -MulDiv(points, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
}

UniqueFont CreateScreenFont(const FontSpec& request) {
    LOGFONTW font{};
    font.lfHeight = ScreenFontHeight(request.points);
    font.lfWeight = request.weight;
    font.lfItalic = request.italic ? TRUE : FALSE;
    font.lfUnderline = request.underline ? TRUE : FALSE;
    font.lfStrikeOut = request.strikeOut ? TRUE : FALSE;
    font.lfCharSet = request.charset;
    lstrcpynW(font.lfFaceName, request.face.c_str(), LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace velmar::platform
