#include "grid/core/GXGdiRecords.h"

#include <algorithm>
#include <cmath>
#include <cstring>

LOGFONT GXGetLogFont(const CGXFont& font, int nZoomPercent, int nLogPixelsY)
{
    LOGFONT lf{};
    if (font.GetInclude(GX_FONT_SIZE)) {
        const double pixels = font.GetSize() * nLogPixelsY / 72.0 * std::max(nZoomPercent, 1) / 100.0;
        lf.lfHeight = -static_cast<LONG>(std::lround(pixels));
    }
    if (font.GetInclude(GX_FONT_WEIGHT))
        lf.lfWeight = font.GetWeight();
    lf.lfItalic = font.GetInclude(GX_FONT_ITALIC) && font.GetItalic() ? 1 : 0;
    lf.lfUnderline = font.GetInclude(GX_FONT_UNDERLINE) && font.GetUnderline() ? 1 : 0;
    lf.lfStrikeOut = font.GetInclude(GX_FONT_STRIKEOUT) && font.GetStrikeOut() ? 1 : 0;
    if (font.GetInclude(GX_FONT_CHARSET))
        lf.lfCharSet = font.GetCharSet();
    if (font.GetInclude(GX_FONT_ORIENTATION))
        lf.lfEscapement = lf.lfOrientation = font.GetOrientation();
    if (font.GetInclude(GX_FONT_FACENAME)) {
        const CString face = font.GetFaceName();
        const size_t n = std::min(static_cast<size_t>(face.GetLength()), sizeof(lf.lfFaceName) - 1);
        std::memcpy(lf.lfFaceName, face.GetString(), n);
        lf.lfFaceName[n] = '\0';
    }
    return lf;
}

LOGPEN GXGetLogPen(const CGXPen& pen, const CGXSysColorCache& colors)
{
    LOGPEN lp{};
    lp.lopnStyle = pen.GetStyle() == GX_PS_NONE ? GX_PS_NULL : pen.GetStyle();
    lp.lopnWidth.x = static_cast<LONG>(pen.GetWidth());
    lp.lopnColor = colors.Resolve(pen.GetColor());
    return lp;
}

LOGBRUSH GXGetLogBrush(const CGXBrush& brush, const CGXSysColorCache& colors)
{
    LOGBRUSH lb{};
    lb.lbStyle = brush.GetStyle();
    lb.lbColor = colors.Resolve(brush.GetForeColor());
    lb.lbHatch = brush.GetHatch();
    return lb;
}
