// DrawText: lines, word breaks, tabs, mnemonics, ellipses, alignment and the measuring form.
#include "platform/win/Gdi.h"
#include "platform/win/detail/Paint.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/TextOutput.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

const char kEllipsis[] = "...";

struct Layout {
    DeviceContext& dc;
    RealizedFont& font;
    UINT format;
    int tabWidth;
    int extra;

    // Width of a piece of one line, tabs expanded from the piece's start.
    int Width(std::string_view text) const
    {
        if (text.empty()) {
            return 0;
        }
        auto shaped = font.Shape(text);
        int x = 0;
        for (size_t i = 0; i < shaped->codePoints.size(); ++i) {
            x = Step(x, shaped->codePoints[i], shaped->advance[i]);
        }
        return x;
    }

    int Step(int x, uint32_t cp, int advance) const
    {
        if (cp == '\t' && (format & DT_EXPANDTABS)) {
            return tabWidth > 0 ? (x / tabWidth + 1) * tabWidth : x;
        }
        return x + advance + extra;
    }
};

struct Line {
    std::string text;
    int underline = -1; // character index of the mnemonic, or -1
    int width = 0;
};

// Removes mnemonic prefixes: "&x" underlines x, "&&" is a literal ampersand. Returns the byte
// offset of the underlined character in the result, or -1.
std::string StripPrefixes(std::string_view in, UINT format, int& underlineByte)
{
    underlineByte = -1;
    if (format & DT_NOPREFIX) {
        return std::string(in);
    }
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '&') {
            out += in[i];
            continue;
        }
        if (i + 1 >= in.size()) {
            break; // a trailing ampersand shows nothing
        }
        if (in[i + 1] == '&') {
            out += '&';
            ++i;
            continue;
        }
        // The last mnemonic of the text wins, as in menus.
        underlineByte = static_cast<int>(out.size());
    }
    return out;
}

// Character index of a byte offset inside a line's text.
int CharIndexOf(RealizedFont& font, std::string_view text, int byte)
{
    if (byte < 0) {
        return -1;
    }
    auto shaped = font.Shape(text);
    for (size_t i = 0; i + 1 < shaped->byteStart.size(); ++i) {
        if (shaped->byteStart[i] == byte) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Cuts a line with an ellipsis so that it fits in width.
std::string Ellipsize(const Layout& lay, const std::string& text, int width, UINT format)
{
    if (lay.Width(text) <= width) {
        return text;
    }
    auto shaped = lay.font.Shape(text);
    const auto& starts = shaped->byteStart;
    auto fitsWith = [&](size_t chars, const std::string& tail) {
        return lay.Width(text.substr(0, static_cast<size_t>(starts[chars])) + kEllipsis + tail) <= width;
    };
    if (format & DT_PATH_ELLIPSIS) {
        size_t sep = text.find_last_of("\\/");
        if (sep != std::string::npos && sep > 0) {
            std::string tail = text.substr(sep);
            std::string head = text.substr(0, sep);
            if (lay.Width(kEllipsis + tail) <= width) {
                auto hs = lay.font.Shape(head);
                size_t k = hs->codePoints.size();
                while (k > 0 && lay.Width(head.substr(0, static_cast<size_t>(hs->byteStart[k])) + kEllipsis + tail) > width) {
                    --k;
                }
                return head.substr(0, static_cast<size_t>(hs->byteStart[k])) + kEllipsis + tail;
            }
            return Ellipsize(lay, kEllipsis + tail, width, DT_END_ELLIPSIS);
        }
    }
    size_t k = shaped->codePoints.size();
    while (k > 0 && !fitsWith(k, std::string())) {
        --k;
    }
    if (format & DT_WORD_ELLIPSIS) {
        // Cut at the end of a word when there is one to cut at.
        size_t w = k;
        while (w > 0 && w < shaped->codePoints.size() && shaped->codePoints[w] != ' ') {
            --w;
        }
        if (w > 0) {
            k = w;
            while (k > 0 && shaped->codePoints[k - 1] == ' ') {
                --k;
            }
        }
    }
    return text.substr(0, static_cast<size_t>(starts[k])) + kEllipsis;
}

// Breaks one paragraph (no line breaks inside) into lines no wider than width.
void BreakParagraph(const Layout& lay, std::string_view para, int width, std::vector<std::string>& out)
{
    if (!(lay.format & DT_WORDBREAK) || para.empty()) {
        out.emplace_back(para);
        return;
    }
    auto shaped = lay.font.Shape(para);
    const auto& cps = shaped->codePoints;
    const auto& starts = shaped->byteStart;
    size_t n = cps.size();
    size_t a = 0;
    while (a < n) {
        // Walk forward, remembering the last word end that fits.
        int x = 0;
        size_t lastFit = 0;      // end (exclusive) of the text that fits, at a word end
        size_t resume = 0;       // where the next line starts after that break
        size_t i = a;
        bool all = true;
        while (i < n) {
            bool space = cps[i] == ' ' || cps[i] == '\t';
            if (space && i > a && !(cps[i - 1] == ' ' || cps[i - 1] == '\t')) {
                if (x <= width) {
                    lastFit = i;
                    size_t j = i;
                    while (j < n && (cps[j] == ' ' || cps[j] == '\t')) ++j;
                    resume = j;
                } else {
                    all = false;
                    break;
                }
            }
            x = lay.Step(x, cps[i], shaped->advance[i]);
            ++i;
        }
        if (all && x <= width) {
            out.emplace_back(para.substr(static_cast<size_t>(starts[a])));
            return;
        }
        if (lastFit > a) {
            out.emplace_back(para.substr(static_cast<size_t>(starts[a]), static_cast<size_t>(starts[lastFit] - starts[a])));
            a = resume;
            continue;
        }
        // A single word wider than the line.
        size_t end = a;
        while (end < n && cps[end] != ' ' && cps[end] != '\t') ++end;
        if (lay.format & DT_EDITCONTROL) {
            // Like an edit control: break inside the word, at least one character a line.
            int w = 0;
            size_t k = a;
            while (k < end) {
                int next = lay.Step(w, cps[k], shaped->advance[k]);
                if (next > width && k > a) break;
                w = next;
                ++k;
            }
            end = k;
        }
        out.emplace_back(para.substr(static_cast<size_t>(starts[a]), static_cast<size_t>(starts[end] - starts[a])));
        a = end;
        while (a < n && (cps[a] == ' ' || cps[a] == '\t')) ++a;
    }
}

// Draws a line's text from x, tabs expanded.
void DrawLine(DeviceContext& dc, const Layout& lay, const Line& line, int x, int top, const Region& clip)
{
    std::string_view text = line.text;
    if (!(lay.format & DT_EXPANDTABS) || text.find('\t') == std::string_view::npos) {
        DrawTextRun(dc, lay.font, text, x, top, clip, (lay.format & DT_HIDEPREFIX) ? -1 : line.underline);
        return;
    }
    int pos = 0;
    size_t start = 0;
    int charBase = 0;
    while (start <= text.size()) {
        size_t tab = text.find('\t', start);
        std::string_view part = text.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        int partChars = part.empty() ? 0 : static_cast<int>(lay.font.Shape(part)->codePoints.size());
        int u = line.underline >= charBase && line.underline < charBase + partChars ? line.underline - charBase : -1;
        pos += DrawTextRun(dc, lay.font, part, x + pos, top, clip, (lay.format & DT_HIDEPREFIX) ? -1 : u);
        if (tab == std::string_view::npos) {
            break;
        }
        pos = lay.tabWidth > 0 ? (pos / lay.tabWidth + 1) * lay.tabWidth : pos;
        charBase += partChars + 1;
        start = tab + 1;
    }
}

} // namespace

int DrawTextEx(HDC hdc, LPSTR text, int length, RECT* rect, UINT format, DRAWTEXTPARAMS* params)
{
    GDI_DC_OR(hdc, 0);
    if (!rect || (!text && length != 0)) {
        return 0;
    }
    if (length < 0) {
        length = static_cast<int>(std::strlen(text));
    }
    std::string_view input(text ? text : "", static_cast<size_t>(length));
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("DrawText", {rect->left, rect->top, rect->right, rect->bottom, static_cast<long long>(format)},
                   std::string(input));
    }
    auto font = DeviceFont(*dc);
    const TEXTMETRIC& tm = font->Metrics();
    int tabChars = 8;
    if (format & DT_TABSTOP) {
        // The tab stop shares the second byte with other flags, which it then replaces.
        tabChars = static_cast<int>((format >> 8) & 0xFF);
        format &= ~0xFF00u;
        format |= DT_TABSTOP;
    }
    if (params && params->iTabLength > 0) {
        tabChars = params->iTabLength;
    }
    int leftMargin = params ? dc->WidthToDevice(params->iLeftMargin) : 0;
    int rightMargin = params ? dc->WidthToDevice(params->iRightMargin) : 0;
    Layout lay{*dc, *font, format, tabChars * tm.tmAveCharWidth,
               dc->State().charExtra == 0 ? 0 : dc->WidthToDevice(dc->State().charExtra)};

    POINT tl = dc->ToDevice(rect->left, rect->top);
    POINT br = dc->ToDevice(rect->right, rect->bottom);
    RECT dev{std::min(tl.x, br.x), std::min(tl.y, br.y), std::max(tl.x, br.x), std::max(tl.y, br.y)};
    int left = dev.left + leftMargin;
    int right = dev.right - rightMargin;
    int avail = std::max(0, right - left);

    int underlineByte = -1;
    std::string stripped = StripPrefixes(input, format, underlineByte);

    // Split into lines, remembering where each starts in the stripped text for the mnemonic.
    std::vector<Line> lines;
    auto addLines = [&](std::string_view para, size_t paraStart) {
        std::vector<std::string> pieces;
        BreakParagraph(lay, para, avail, pieces);
        size_t offset = paraStart;
        for (std::string& p : pieces) {
            // Pieces come out of the paragraph in order; find this one from the last offset.
            size_t at = stripped.find(p, offset);
            if (at == std::string::npos) {
                at = offset;
            }
            Line line;
            line.text = std::move(p);
            if (underlineByte >= static_cast<int>(at) && underlineByte < static_cast<int>(at + line.text.size())) {
                line.underline = CharIndexOf(*font, line.text, underlineByte - static_cast<int>(at));
            }
            offset = at + line.text.size();
            lines.push_back(std::move(line));
        }
    };
    if (format & DT_SINGLELINE) {
        std::string one;
        int shift = 0;
        for (size_t i = 0; i < stripped.size(); ++i) {
            if (stripped[i] == '\r' || stripped[i] == '\n') {
                if (static_cast<int>(i) < underlineByte) ++shift;
                continue;
            }
            one += stripped[i];
        }
        if (underlineByte >= 0) {
            underlineByte -= shift;
        }
        stripped = one;
        format &= ~static_cast<UINT>(DT_WORDBREAK);
        lay.format = format;
        addLines(stripped, 0);
    } else {
        size_t start = 0;
        while (true) {
            size_t brk = stripped.find_first_of("\r\n", start);
            std::string_view para = std::string_view(stripped).substr(start, brk == std::string::npos ? std::string::npos : brk - start);
            addLines(para, start);
            if (brk == std::string::npos) {
                break;
            }
            start = brk + 1;
            if (stripped[brk] == '\r' && start < stripped.size() && stripped[start] == '\n') {
                ++start;
            }
            if (start >= stripped.size()) {
                // A break at the very end still starts one more (empty) line.
                lines.push_back(Line());
                break;
            }
        }
    }

    bool ellipsis = (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) != 0;
    int widest = 0;
    for (Line& line : lines) {
        if (ellipsis && !(format & DT_CALCRECT)) {
            std::string cut = Ellipsize(lay, line.text, avail, format);
            if (cut != line.text) {
                int keep = static_cast<int>(cut.size()) - 3;
                auto shaped = font->Shape(line.text);
                if (line.underline >= 0 && shaped->byteStart[static_cast<size_t>(line.underline)] >= keep) {
                    line.underline = -1;
                }
                line.text = std::move(cut);
            }
        }
        line.width = lay.Width(line.text);
        widest = std::max(widest, line.width);
    }
    // DT_MODIFYSTRING hands the shown, shortened text back in the caller's buffer, which has
    // room for four more bytes than the text it gave.
    if ((format & DT_MODIFYSTRING) && ellipsis && !(format & DT_CALCRECT) && text && lines.size() == 1 &&
        lines[0].text != input) {
        const std::string& shown = lines[0].text;
        const size_t n = std::min(shown.size(), static_cast<size_t>(length) + 3);
        std::memcpy(text, shown.data(), n);
        text[n] = '\0';
    }

    int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    int total = lineHeight * static_cast<int>(lines.size());
    int top = dev.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            top = dev.top + (dev.bottom - dev.top - lineHeight) / 2;
        } else if (format & DT_BOTTOM) {
            top = dev.bottom - lineHeight;
        }
    }
    if (params) {
        params->uiLengthDrawn = static_cast<UINT>(length);
    }

    if (format & DT_CALCRECT) {
        int w = widest + leftMargin + rightMargin;
        rect->right = rect->left + LogicalWidth(*dc, w);
        rect->bottom = rect->top + LogicalHeight(*dc, total);
        return LogicalHeight(*dc, total);
    }

    Region clip = dc->Clip();
    if (!(format & DT_NOCLIP)) {
        clip.IntersectRect(dev);
    }
    int y = top;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if ((format & DT_EDITCONTROL) && i > 0 && y + lineHeight > dev.bottom) {
            break; // an edit control shows no partly visible last line
        }
        int x = left;
        if (format & DT_CENTER) {
            x = left + (avail - line.width) / 2;
        } else if (format & DT_RIGHT) {
            x = right - line.width;
        }
        if (format & DT_PREFIXONLY) {
            // Only the mnemonic underline is drawn.
            if (line.underline >= 0) {
                auto shaped = font->Shape(line.text);
                int ux = x;
                for (int k = 0; k < line.underline; ++k) {
                    ux = lay.Step(ux - x, shaped->codePoints[static_cast<size_t>(k)], shaped->advance[static_cast<size_t>(k)]) + x;
                }
                int uy = y + tm.tmAscent + font->UnderlineOffset();
                FillPaint p = SolidPaint(*dc, dc->State().textColor);
                FillRectClipped(dc->Target(), clip,
                                RECT{ux, uy, ux + shaped->advance[static_cast<size_t>(line.underline)], uy + 1}, p, R2_COPYPEN);
            }
        } else {
            DrawLine(*dc, lay, line, x, y, clip);
        }
        y += lineHeight;
    }
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) {
        return LogicalHeight(*dc, top - dev.top + lineHeight);
    }
    return LogicalHeight(*dc, total);
}

int DrawText(HDC hdc, LPCSTR text, int length, RECT* rect, UINT format)
{
    return DrawTextEx(hdc, const_cast<LPSTR>(text), length, rect, format, nullptr);
}

BOOL GrayString(HDC hdc, HBRUSH brush, GRAYSTRINGPROC output, LPARAM data, int length, int x, int y, int, int)
{
    DeviceContext* dc = GdiDCs::Find(hdc);
    if (!dc) {
        return FALSE;
    }
    // The text is drawn in the grey text colour, or in the brush's colour when one is given.
    COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    if (auto b = GdiHandles::FindAs<BrushObject>(brush, OBJ_BRUSH)) {
        gray = b->m_color;
    }
    COLORREF old = SetTextColor(hdc, gray);
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    BOOL ok = TRUE;
    if (output) {
        int saved = SaveDC(hdc);
        SetViewportOrgEx(hdc, dc->State().viewportOrg.x + x, dc->State().viewportOrg.y + y, nullptr);
        ok = output(hdc, data, length);
        RestoreDC(hdc, saved);
    } else {
        const char* s = reinterpret_cast<const char*>(data);
        ok = s ? TextOut(hdc, x, y, s, length > 0 ? length : static_cast<int>(std::strlen(s))) : FALSE;
    }
    SetBkMode(hdc, oldMode);
    SetTextColor(hdc, old);
    return ok;
}
