// TextOut, ExtTextOut, tabbed text and the text measuring calls.
#include "platform/win/detail/TextOutput.h"

#include "platform/win/Gdi.h"
#include "platform/win/detail/Paint.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

std::shared_ptr<RealizedFont> DeviceFont(DeviceContext& dc)
{
    FontObject* f = dc.State().font.get();
    LOGFONT lf{};
    if (f) {
        lf = f->m_logFont;
    }
    if (dc.IsIdentityMapping()) {
        int mode = IsTestFontMode() ? 1 : 0;
        if (f && f->m_realized && f->m_realizedMode == mode) {
            return f->m_realized;
        }
        auto r = RealizedFont::Get(lf);
        if (f) {
            f->m_realized = r;
            f->m_realizedMode = mode;
        }
        return r;
    }
    // Font sizes are logical units: scale them to the device.
    if (lf.lfHeight != 0) {
        int h = std::max(1, dc.HeightToDevice(lf.lfHeight));
        lf.lfHeight = lf.lfHeight < 0 ? -h : h;
    }
    if (lf.lfWidth != 0) {
        lf.lfWidth = std::max(1, dc.WidthToDevice(lf.lfWidth));
    }
    return RealizedFont::Get(lf);
}

int LogicalWidth(DeviceContext& dc, int w)
{
    if (dc.IsIdentityMapping()) {
        return w;
    }
    const DcState& s = dc.State();
    return std::abs(GdiMulDiv(w, s.windowExt.cx, s.viewportExt.cx));
}

int LogicalHeight(DeviceContext& dc, int h)
{
    if (dc.IsIdentityMapping()) {
        return h;
    }
    const DcState& s = dc.State();
    return std::abs(GdiMulDiv(h, s.windowExt.cy, s.viewportExt.cy));
}

int DeviceTextWidth(DeviceContext& dc, RealizedFont& font, std::string_view text)
{
    if (text.empty()) {
        return 0;
    }
    auto shaped = font.Shape(text);
    int extra = dc.State().charExtra == 0 ? 0 : dc.WidthToDevice(dc.State().charExtra);
    return shaped->width + extra * static_cast<int>(shaped->codePoints.size());
}

namespace {

void FillBox(DeviceContext& dc, const Region& clip, const RECT& r, COLORREF color)
{
    FillPaint p = SolidPaint(dc, color);
    FillRectClipped(dc.Target(), clip, r, p, R2_COPYPEN);
}

void Decorate(DeviceContext& dc, RealizedFont& font, const Region& clip, int x0, int x1, int baseline)
{
    const TEXTMETRIC& tm = font.Metrics();
    COLORREF c = dc.State().textColor;
    if (tm.tmUnderlined) {
        int y = baseline + font.UnderlineOffset();
        FillBox(dc, clip, RECT{x0, y, x1, y + font.UnderlineThickness()}, c);
    }
    if (tm.tmStruckOut) {
        int y = baseline + font.StrikeOffset();
        FillBox(dc, clip, RECT{x0, y, x1, y + font.StrikeThickness()}, c);
    }
}

} // namespace

int DrawTextRun(DeviceContext& dc, RealizedFont& font, std::string_view text, int x, int top, const Region& clip,
                int underlineChar)
{
    const TEXTMETRIC& tm = font.Metrics();
    auto shaped = font.Shape(text);
    int extra = dc.State().charExtra == 0 ? 0 : dc.WidthToDevice(dc.State().charExtra);
    std::vector<int> charX(shaped->codePoints.size() + 1);
    int pos = x;
    for (size_t i = 0; i < shaped->codePoints.size(); ++i) {
        charX[i] = pos;
        pos += shaped->advance[i] + extra;
    }
    charX.back() = pos;
    int baseline = top + tm.tmAscent;
    if (dc.State().bkMode == OPAQUE) {
        FillBox(dc, clip, RECT{x, top, pos, top + tm.tmHeight}, dc.State().bkColor);
    }
    font.Draw(dc.Target(), clip, *shaped, charX, baseline, dc.DevicePixel(dc.State().textColor));
    Decorate(dc, font, clip, x, pos, baseline);
    if (underlineChar >= 0 && static_cast<size_t>(underlineChar) < shaped->codePoints.size()) {
        int y = baseline + font.UnderlineOffset();
        FillBox(dc, clip, RECT{charX[static_cast<size_t>(underlineChar)], y, charX[static_cast<size_t>(underlineChar) + 1] - extra, y + 1},
                dc.State().textColor);
    }
    return pos - x;
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length, const INT* dx)
{
    GDI_DC_OR(hdc, FALSE);
    if (!text && length > 0) {
        return FALSE;
    }
    std::string_view str(text ? text : "", text ? length : 0);
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("ExtTextOut", {x, y, static_cast<long long>(options)}, std::string(str));
    }
    DcState& s = dc->State();
    auto font = DeviceFont(*dc);
    const TEXTMETRIC& tm = font->Metrics();
    auto shaped = font->Shape(str);
    size_t chars = shaped->codePoints.size();
    // Each character advances by its lpDx entries (one per byte), or by its own width plus
    // the character extra.
    std::vector<int> adv(chars);
    int extra = s.charExtra == 0 ? 0 : dc->WidthToDevice(s.charExtra);
    for (size_t i = 0; i < chars; ++i) {
        if (dx) {
            int sum = 0;
            for (int b = shaped->byteStart[i]; b < shaped->byteStart[i + 1]; ++b) {
                sum += dx[b];
            }
            adv[i] = sum < 0 ? -dc->WidthToDevice(-sum) : dc->WidthToDevice(sum);
        } else {
            adv[i] = shaped->advance[i] + extra;
        }
    }
    int width = 0;
    for (int a : adv) {
        width += a;
    }
    bool updateCp = (s.textAlign & TA_UPDATECP) != 0;
    if (updateCp) {
        x = s.currentPos.x;
        y = s.currentPos.y;
    }
    POINT ref = dc->ToDevice(x, y);
    UINT align = s.textAlign;
    int hShift = (align & TA_CENTER) == TA_CENTER ? -width / 2 : (align & TA_RIGHT) ? -width : 0;
    int vShift = (align & TA_BASELINE) == TA_BASELINE ? 0 : (align & TA_BOTTOM) ? -tm.tmDescent : tm.tmAscent;
    Region clip = dc->Clip();
    RECT box{0, 0, 0, 0};
    bool haveRect = rect && (options & (ETO_OPAQUE | ETO_CLIPPED));
    if (haveRect) {
        RECT d = dc->ToDevice(*rect);
        box = RECT{std::min(d.left, d.right), std::min(d.top, d.bottom), std::max(d.left, d.right),
                   std::max(d.top, d.bottom)};
    }
    if (haveRect && (options & ETO_OPAQUE)) {
        // An opaque rectangle is filled with the background colour whatever the mode; with no
        // text, this is a plain solid fill.
        FillBox(*dc, clip, box, s.bkColor);
    }
    if (haveRect && (options & ETO_CLIPPED)) {
        clip.IntersectRect(box);
    }
    if (chars > 0) {
        int angle = font->LogFont().lfEscapement % 3600;
        if (angle != 0) {
            font->DrawRotated(dc->Target(), clip, *shaped, ref.x, ref.y, hShift, vShift, angle,
                              dc->DevicePixel(s.textColor));
        } else {
            int startX = ref.x + hShift;
            int baseline = ref.y + vShift;
            if (s.bkMode == OPAQUE) {
                FillBox(*dc, clip, RECT{startX, baseline - tm.tmAscent, startX + width, baseline + tm.tmDescent},
                        s.bkColor);
            }
            std::vector<int> charX(chars + 1);
            int pos = startX;
            for (size_t i = 0; i < chars; ++i) {
                charX[i] = pos;
                pos += adv[i];
            }
            charX[chars] = pos;
            font->Draw(dc->Target(), clip, *shaped, charX, baseline, dc->DevicePixel(s.textColor));
            Decorate(*dc, *font, clip, startX, startX + width, baseline);
        }
    }
    if (updateCp) {
        int logicalWidth = LogicalWidth(*dc, width);
        if ((align & TA_CENTER) == TA_CENTER) {
            // The current position stays where it was.
        } else if (align & TA_RIGHT) {
            s.currentPos.x -= logicalWidth;
        } else {
            s.currentPos.x += logicalWidth;
        }
    }
    return TRUE;
}

BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int length)
{
    if (length < 0 || (!text && length > 0)) {
        return FALSE;
    }
    return ExtTextOut(hdc, x, y, 0, nullptr, text, static_cast<UINT>(length), nullptr);
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int length, SIZE* size)
{
    GDI_DC_OR(hdc, FALSE);
    if (!size || length < 0 || (!text && length > 0)) {
        return FALSE;
    }
    auto font = DeviceFont(*dc);
    int w = DeviceTextWidth(*dc, *font, std::string_view(text ? text : "", static_cast<size_t>(length)));
    size->cx = LogicalWidth(*dc, w);
    size->cy = LogicalHeight(*dc, font->Metrics().tmHeight);
    return TRUE;
}

BOOL GetTextExtentPoint(HDC hdc, LPCSTR text, int length, SIZE* size)
{
    return GetTextExtentPoint32(hdc, text, length, size);
}

BOOL GetTextExtentExPoint(HDC hdc, LPCSTR text, int length, int maxExtent, INT* fit, INT* dx, SIZE* size)
{
    GDI_DC_OR(hdc, FALSE);
    if (length < 0 || (!text && length > 0)) {
        return FALSE;
    }
    auto font = DeviceFont(*dc);
    std::string_view str(text ? text : "", static_cast<size_t>(length));
    auto shaped = font->Shape(str);
    int extra = dc->State().charExtra == 0 ? 0 : dc->WidthToDevice(dc->State().charExtra);
    int pos = 0;
    int fitted = 0;
    bool stillFits = true;
    for (size_t i = 0; i < shaped->codePoints.size(); ++i) {
        pos += shaped->advance[i] + extra;
        int logical = LogicalWidth(*dc, pos);
        for (int b = shaped->byteStart[i]; b < shaped->byteStart[i + 1]; ++b) {
            if (dx) {
                dx[b] = logical;
            }
        }
        if (stillFits && logical <= maxExtent) {
            fitted = shaped->byteStart[i + 1];
        } else {
            stillFits = false;
        }
    }
    if (fit) {
        *fit = fitted;
    }
    if (size) {
        size->cx = LogicalWidth(*dc, pos);
        size->cy = LogicalHeight(*dc, font->Metrics().tmHeight);
    }
    return TRUE;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* metrics)
{
    GDI_DC_OR(hdc, FALSE);
    if (!metrics) {
        return FALSE;
    }
    auto font = DeviceFont(*dc);
    *metrics = font->Metrics();
    if (!dc->IsIdentityMapping()) {
        for (LONG* v : {&metrics->tmHeight, &metrics->tmAscent, &metrics->tmDescent, &metrics->tmInternalLeading,
                        &metrics->tmExternalLeading}) {
            *v = LogicalHeight(*dc, *v);
        }
        for (LONG* v : {&metrics->tmAveCharWidth, &metrics->tmMaxCharWidth, &metrics->tmOverhang}) {
            *v = LogicalWidth(*dc, *v);
        }
    }
    return TRUE;
}

namespace {

// Character codes below 256 are the Latin-1 and Windows-1252 characters of those bytes.
uint32_t CodePointOf(UINT c)
{
    if (c >= 0x100) {
        return c;
    }
    char byte = static_cast<char>(c);
    std::vector<uint32_t> cps;
    std::vector<int> starts;
    DecodeText(std::string_view(&byte, 1), cps, starts);
    return cps[0];
}

} // namespace

BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths)
{
    GDI_DC_OR(hdc, FALSE);
    if (!widths || last < first || last - first > 0x10FFFF) {
        return FALSE;
    }
    auto font = DeviceFont(*dc);
    for (UINT c = first; c <= last; ++c) {
        widths[c - first] = LogicalWidth(*dc, font->CharAdvance(CodePointOf(c)));
    }
    return TRUE;
}

BOOL GetCharWidth(HDC hdc, UINT first, UINT last, INT* widths)
{
    return GetCharWidth32(hdc, first, last, widths);
}

BOOL GetCharABCWidths(HDC hdc, UINT first, UINT last, ABC* widths)
{
    GDI_DC_OR(hdc, FALSE);
    if (!widths || last < first || last - first > 0x10FFFF) {
        return FALSE;
    }
    auto font = DeviceFont(*dc);
    for (UINT c = first; c <= last; ++c) {
        uint32_t cp = CodePointOf(c);
        int advance = font->CharAdvance(cp);
        int left = 0, ink = 0;
        font->CharInk(cp, left, ink);
        widths[c - first].abcA = LogicalWidth(*dc, left);
        widths[c - first].abcB = static_cast<UINT>(LogicalWidth(*dc, ink));
        widths[c - first].abcC = LogicalWidth(*dc, advance - left - ink);
    }
    return TRUE;
}

int GetTextFace(HDC hdc, int count, LPSTR name)
{
    GDI_DC_OR(hdc, 0);
    const FontObject* f = dc->State().font.get();
    std::string face = f && f->m_logFont.lfFaceName[0] ? std::string(f->m_logFont.lfFaceName) : DeviceFont(*dc)->Family();
    if (!name) {
        return static_cast<int>(face.size()) + 1;
    }
    if (count <= 0) {
        return 0;
    }
    size_t n = std::min(face.size(), static_cast<size_t>(count - 1));
    std::memcpy(name, face.data(), n);
    name[n] = '\0';
    return static_cast<int>(n) + 1;
}

// ---- Tabbed text ----

namespace {

// Width of the text with tabs expanded to the given stops; draws it when drawing.
LONG TabbedText(DeviceContext& dc, bool draw, int x, int y, std::string_view text, int tabCount, const INT* tabStops,
                int tabOrigin)
{
    auto font = DeviceFont(dc);
    const TEXTMETRIC& tm = font->Metrics();
    int defaultStep = 8 * tm.tmAveCharWidth;
    POINT ref = dc.ToDevice(x, y);
    int originDevice = dc.ToDevice(tabOrigin, 0).x;
    auto nextStop = [&](int pos) {
        // pos is a device x; stops count from the tab origin.
        int rel = pos - originDevice;
        if (tabCount <= 1 || !tabStops) {
            int step = tabCount == 1 && tabStops && tabStops[0] > 0 ? dc.WidthToDevice(tabStops[0]) : defaultStep;
            step = std::max(step, 1);
            return originDevice + (rel / step + 1) * step;
        }
        for (int i = 0; i < tabCount; ++i) {
            int stop = dc.WidthToDevice(std::abs(tabStops[i]));
            if (stop > rel) {
                return originDevice + stop;
            }
        }
        // Beyond the last stop a tab is as wide as a space.
        return pos + font->CharAdvance(' ');
    };
    int pos = ref.x;
    int top = ref.y;
    UINT align = dc.State().textAlign;
    if ((align & TA_BASELINE) == TA_BASELINE) {
        top -= tm.tmAscent;
    } else if (align & TA_BOTTOM) {
        top -= tm.tmHeight;
    }
    const Region& clip = dc.Clip();
    size_t start = 0;
    while (start <= text.size()) {
        size_t tab = text.find('\t', start);
        std::string_view part = text.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        int w = draw ? DrawTextRun(dc, *font, part, pos, top, clip, -1) : DeviceTextWidth(dc, *font, part);
        pos += w;
        if (tab == std::string_view::npos) {
            break;
        }
        int stop = nextStop(pos);
        if (draw && dc.State().bkMode == OPAQUE) {
            FillPaint p = SolidPaint(dc, dc.State().bkColor);
            FillRectClipped(dc.Target(), clip, RECT{pos, top, stop, top + tm.tmHeight}, p, R2_COPYPEN);
        }
        pos = stop;
        start = tab + 1;
    }
    int width = LogicalWidth(dc, pos - ref.x);
    return MAKELONG(width, LogicalHeight(dc, tm.tmHeight));
}

} // namespace

LONG TabbedTextOut(HDC hdc, int x, int y, LPCSTR text, int length, int tabCount, const INT* tabStops, int tabOrigin)
{
    GDI_DC_OR(hdc, 0);
    if (length < 0 || (!text && length > 0)) {
        return 0;
    }
    std::string_view str(text ? text : "", static_cast<size_t>(length));
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("TabbedTextOut", {x, y}, std::string(str));
    }
    bool updateCp = (dc->State().textAlign & TA_UPDATECP) != 0;
    if (updateCp) {
        x = dc->State().currentPos.x;
        y = dc->State().currentPos.y;
    }
    LONG result = TabbedText(*dc, true, x, y, str, tabCount, tabStops, tabOrigin);
    if (updateCp) {
        dc->State().currentPos.x += LOWORD(result);
    }
    return result;
}

DWORD GetTabbedTextExtent(HDC hdc, LPCSTR text, int length, int tabCount, const INT* tabStops)
{
    GDI_DC_OR(hdc, 0);
    if (length < 0 || (!text && length > 0)) {
        return 0;
    }
    return static_cast<DWORD>(
        TabbedText(*dc, false, 0, 0, std::string_view(text ? text : "", static_cast<size_t>(length)), tabCount, tabStops, 0));
}
