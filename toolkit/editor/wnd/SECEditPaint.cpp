// Painting the editor window: the margin, each row's text with tabs expanded and keywords,
// comments and quoted strings in their colours, and the selection inverted over it. Every
// character is drawn at its own cells, so glyphs, caret and selection line up.
#include "toolkit/editor/wnd/SECEditCtrl.h"

#include "platform/afx/gdi/CDC.h"
#include "toolkit/editor/Utf8Cells.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Attribute bits of an expanded byte.
constexpr unsigned char kPlain = 2;
constexpr unsigned char kKeyword = 4;
constexpr unsigned char kQuote = 8;
constexpr unsigned char kComment = 16;

// One row's expanded text: bytes as drawn (tabs as spaces), the column of every byte, the
// advance of every byte (a cluster's cells on its first byte, 0 on the others) and the
// attribute of every byte. Sized by bytes, so no line can write past them.
struct ExpandedLine {
    std::string text;
    std::vector<int> column;
    std::vector<int> cells;
    std::vector<unsigned char> attr;
    std::vector<std::pair<int, COLORREF>> keywordColors;   // first byte of a keyword, its colour
    int width = 0;

    void Clear()
    {
        text.clear();
        column.clear();
        cells.clear();
        attr.clear();
        keywordColors.clear();
        width = 0;
    }
    void Push(char c, int col, int w)
    {
        text.push_back(c);
        column.push_back(col);
        cells.push_back(w);
    }
};

void Expand(const SECEditDoc& doc, const SECEditLine* pLine, int nTextLength, ExpandedLine& out)
{
    out.Clear();
    const int tab = doc.GetTabSize();
    const bool showTabs = doc.GetShowTabs() != FALSE;
    const char* p = pLine->pText;
    const char* end = p + nTextLength;
    int col = 0;
    out.text.reserve(static_cast<size_t>(nTextLength) + 16);
    while (p < end) {
        if (*p == '\t') {
            const int n = tab - col % tab;
            for (int i = 0; i < n; ++i) {
                if (i == 0 && showTabs) {
                    // "»" takes the first cell of the tab.
                    out.Push('\xC2', col, 1);
                    out.Push('\xBB', col, 0);
                } else {
                    out.Push(' ', col + i, 1);
                }
            }
            col += n;
            ++p;
            continue;
        }
        // A character and the marks drawn on it advance together, from the character's cell:
        // the text layer places the marks on it, as it does in any other window.
        int cells = 1;
        const int bytes = editor::ClusterAt(p, end, &cells);
        for (int i = 0; i < bytes; ++i)
            out.Push(p[i], col, i == 0 ? cells : 0);
        col += cells;
        p += bytes;
    }
    out.width = col;
    out.column.push_back(col);
    out.attr.assign(out.text.size(), kPlain);
}

void ColourKeywords(SECEditDoc& doc, ExpandedLine& line)
{
    const char* origin = line.text.c_str();
    const char* p = origin;
    int start = 0;
    int end = 0;
    while (*p != '\0' && doc.FindKeyword(&p, &start, &end)) {
        const int at = static_cast<int>(p - origin);
        const int length = end - start;
        if (length <= 0)
            break;
        for (int i = at; i < at + length && i < static_cast<int>(line.attr.size()); ++i)
            line.attr[static_cast<size_t>(i)] |= kKeyword;
        line.keywordColors.emplace_back(at, doc.GetCurrentKeywordColor());
        p += length;
    }
}

void ColourComments(SECEditDoc& doc, const SECEditLine* pLine, ExpandedLine& line)
{
    const int length = static_cast<int>(line.text.size());
    const char* text = line.text.data();
    int cls = 0;
    int pos = 0;
    bool inside = doc.GetLineBlockClass(pLine, &cls) != FALSE;
    while (pos < length) {
        int start;
        if (inside) {
            start = pos;
            inside = false;
        } else {
            const int at = doc.FindBlockStart(text + pos, length - pos, &cls);
            if (at < 0)
                break;
            start = pos + at;
        }
        const int blockLength = doc.FindBlockEnd(text + start, length - start, cls);
        const int stop = std::min(length, start + std::max(blockLength, 1));
        for (int i = start; i < stop; ++i)
            line.attr[static_cast<size_t>(i)] |= kComment;
        pos = stop;
    }
}

void ColourQuotes(ExpandedLine& line)
{
    const int length = static_cast<int>(line.text.size());
    auto free = [&](int i) { return (line.attr[static_cast<size_t>(i)] & kComment) == 0; };
    for (int i = 0; i < length; ++i) {
        const char q = line.text[static_cast<size_t>(i)];
        if ((q != '"' && q != '\'') || !free(i))
            continue;
        int j = i + 1;
        for (; j < length; ++j) {
            const char c = line.text[static_cast<size_t>(j)];
            if (c == '\\' && free(j)) {
                ++j;
                continue;
            }
            if (c == q && free(j))
                break;
        }
        if (j >= length)
            continue;   // an open quote colours nothing
        for (int k = i + 1; k < j; ++k)
            line.attr[static_cast<size_t>(k)] |= kQuote;
        i = j;
    }
}

COLORREF RunColour(const SECEditDoc& doc, const ExpandedLine& line, int at)
{
    const unsigned char a = line.attr[static_cast<size_t>(at)];
    if (a & kComment)
        return doc.m_crComment;
    if (a & kQuote)
        return doc.m_crQuote;
    if (a & kKeyword) {
        COLORREF colour = doc.m_crKeyword;
        for (const auto& [start, c] : line.keywordColors) {
            if (start > at)
                break;
            colour = c;
        }
        return colour;
    }
    return doc.m_crText;
}

} // namespace

void SECEditCtrl::DrawMargin(CDC* pDC, const CRect& rect, SECEditLine* pLine)
{
    if (pLine == nullptr || (pLine->dwFlags & SECEDIT_LINE_BOOKMARK) == 0)
        return;
    const int d = (m_nMarginWidth / 2) * 2 - 2;
    CBrush blue(RGB(0, 0, 255));
    CBrush* oldBrush = pDC->SelectObject(&blue);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* oldPen = pDC->SelectObject(&pen);
    const int top = rect.top + rect.Height() / 2 - (d - 2) / 2;
    pDC->Ellipse(2, top, d, top + d - 2);
    pDC->SelectObject(oldPen);
    pDC->SelectObject(oldBrush);
    pDC->SetBkColor(GetDocument()->m_crBackground);
}

BOOL SECEditCtrl::GetLineSelection(const SECEditLine* pLine, int nEndColumn, int* pStart, int* pEnd) const
{
    if (!m_bSelection || m_selStart.pLine == nullptr || m_selEnd.pLine == nullptr || pLine == nullptr)
        return FALSE;
    const int no = m_pDoc->LineNo(pLine);
    int start = 0;
    int end = 0;
    if (m_nSelMode == SECEDIT_SEL_COLUMN) {
        const int a = m_pDoc->LineNo(m_selStart.pLine);
        const int b = m_pDoc->LineNo(m_selEnd.pLine);
        if (no < std::min(a, b) || no > std::max(a, b))
            return FALSE;
        start = std::min(m_selStart.nColumn, m_selEnd.nColumn);
        end = std::max(m_selStart.nColumn, m_selEnd.nColumn);
    } else if (pLine == m_selStart.pLine) {
        start = std::min(m_selStart.nColumn, nEndColumn);
        end = pLine == m_selEnd.pLine ? std::min(m_selEnd.nColumn, nEndColumn) : nEndColumn;
    } else if (pLine == m_selEnd.pLine) {
        start = 0;
        end = std::min(m_selEnd.nColumn, nEndColumn);
    } else if (no > m_pDoc->LineNo(m_selStart.pLine) && no < m_pDoc->LineNo(m_selEnd.pLine)) {
        start = 0;
        end = nEndColumn;
    } else {
        return FALSE;
    }
    *pStart = start;
    *pEnd = end;
    return end > start;
}

void SECEditCtrl::PaintLine(CDC* pDC, SECEditLine* pLine, const CRect& rectRow, void* pToken)
{
    SECEditDoc* pDoc = GetDocument();
    const COLORREF bk = pDoc->m_crBackground;

    // The margin: its pattern in the margin colour over the background.
    CRect margin(0, rectRow.top, m_nMarginWidth, rectRow.bottom);
    const COLORREF oldText = pDC->SetTextColor(GetMarginColor(bk));
    pDC->SetBkColor(bk);
    if (m_brushMargin.GetSafeHandle() != nullptr)
        pDC->FillRect(&margin, const_cast<CBrush*>(&m_brushMargin));
    pDC->SetTextColor(oldText);
    if (pLine != nullptr) {
        // A margin that shows line numbers reads the line's own number: make it right first.
        pDoc->LineNo(pLine);
        DrawMargin(pDC, margin, pLine);
    }

    CRect text(m_nMarginWidth, rectRow.top, std::max<int>(rectRow.right, m_nMarginWidth), rectRow.bottom);
    pDC->FillSolidRect(&text, bk);
    if (pLine == nullptr || m_nCharWidth <= 0)
        return;

    static thread_local ExpandedLine line;
    Expand(*pDoc, pLine, pDoc->TextLength(pLine), line);
    const int visible = line.width - m_nLeftColumn;
    if (visible > 0) {
        const bool chroma = pDoc->GetChroma() != FALSE;
        if (chroma) {
            ColourKeywords(*pDoc, line);
            ColourComments(*pDoc, pLine, line);
            ColourQuotes(line);
        }
        // The first byte drawn: the character holding the left column (a wide one may start
        // left of it and is clipped at the margin).
        const int visibleColumns = text.Width() / m_nCharWidth + 2;
        const int lastColumn = m_nLeftColumn + visibleColumns;
        auto first = std::upper_bound(line.column.begin(), line.column.end() - 1, m_nLeftColumn);
        int at = static_cast<int>(first - line.column.begin());
        if (at > 0)
            --at;
        while (at > 0 && line.cells[static_cast<size_t>(at)] == 0)
            --at;
        const int size = static_cast<int>(line.text.size());
        std::vector<int> dx;
        pDC->SetBkMode(TRANSPARENT);
        while (at < size && line.column[static_cast<size_t>(at)] < lastColumn) {
            int stop = at + 1;
            const unsigned char a = line.attr[static_cast<size_t>(at)];
            const COLORREF colour = chroma ? RunColour(*pDoc, line, at) : pDoc->m_crText;
            while (stop < size && line.column[static_cast<size_t>(stop)] < lastColumn
                   && (line.attr[static_cast<size_t>(stop)] == a
                       || line.cells[static_cast<size_t>(stop)] == 0)
                   && (!chroma || (a & kKeyword) == 0 || RunColour(*pDoc, line, stop) == colour))
                ++stop;
            dx.resize(static_cast<size_t>(stop - at));
            for (int i = at; i < stop; ++i)
                dx[static_cast<size_t>(i - at)] = line.cells[static_cast<size_t>(i)] * m_nCharWidth;
            pDC->SetTextColor(colour);
            const int x = m_nMarginWidth + (line.column[static_cast<size_t>(at)] - m_nLeftColumn) * m_nCharWidth;
            pDC->ExtTextOut(x, rectRow.top, ETO_CLIPPED, &text, line.text.data() + at,
                            static_cast<UINT>(stop - at), dx.data());
            at = stop;
        }
        pDC->SetBkMode(OPAQUE);
        pDC->SetTextColor(pDoc->m_crText);
    }

    // The selection, inverted, only in the window whose selection the document shows.
    int selStart = 0;
    int selEnd = 0;
    if (m_bSelection && pToken == GetPaintToken() && pDoc->m_pActiveWnd == this
        && GetLineSelection(pLine, line.width, &selStart, &selEnd)) {
        int start = selStart - m_nLeftColumn;
        int count = selEnd - selStart;
        if (start < 0) {
            count += start;
            start = 0;
        }
        if (count > 0)
            pDC->PatBlt(m_nMarginWidth + m_nCharWidth * start, rectRow.top, m_nCharWidth * count,
                        rectRow.Height(), DSTINVERT);
    }
}

void SECEditCtrl::OnPaint()
{
    CPaintDC dc(this);
    SECEditDoc* pDoc = GetDocument();
    CFont* oldFont = dc.SelectObject(&m_font);
    dc.SetBkColor(pDoc->m_crBackground);
    dc.SetTextColor(pDoc->m_crText);
    void* token = GetPaintToken();
    const CRect update(dc.m_ps.rcPaint);
    CRect client;
    GetClientRect(&client);
    SECEditLine* line = m_pTopLine != nullptr ? m_pTopLine : pDoc->GetFirstLine();
    const int height = std::max(1, m_nLineHeight);
    for (int y = m_rectText.top; y < update.bottom; y += height) {
        if (y + height > update.top)
            PaintLine(&dc, line, CRect(0, y, client.right, y + height), token);
        if (line != nullptr)
            line = line->pNext;
    }
    dc.SelectObject(oldFont);
}
