#include "platform/fonts.h"

namespace velmar::platform {

int FontHeightForDpi(int points, UINT dpi) {
    return -MulDiv(points, static_cast<int>(dpi), 72);
}

UniqueFont CreateFontForDpi(const FontSpec& request, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = FontHeightForDpi(request.points, dpi);
    font.lfWeight = request.weight;
    font.lfItalic = request.italic ? TRUE : FALSE;
    font.lfUnderline = request.underline ? TRUE : FALSE;
    font.lfStrikeOut = request.strikeOut ? TRUE : FALSE;
    font.lfCharSet = request.charset;
    lstrcpynW(font.lfFaceName, request.face.c_str(), LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace velmar::platform
