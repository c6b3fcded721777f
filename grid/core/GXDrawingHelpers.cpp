#include "grid/core/GXDrawingHelpers.h"

#include "grid/core/CGXGridAppData.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/core/CodePage.h"
#include "platform/core/GlobalMemory.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <vector>

void FillRectSolid(CDC* pDC, int x, int y, int cx, int cy, COLORREF rgb)
{
    FillRectSolid(pDC, CRect(x, y, x + cx, y + cy), rgb);
}

void FillRectSolid(CDC* pDC, const RECT& rect, COLORREF rgb)
{
    if (pDC == nullptr)
        return;
    const COLORREF old = pDC->SetBkColor(GXGetSysData()->Resolve(rgb));
    pDC->ExtTextOut(0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
    pDC->SetBkColor(old);
}

void InvertRectClipped(CDC* pDC, const CRect& rect, const CRect& rectClip)
{
    if (pDC == nullptr)
        return;
    CRect r = rect;
    if (!rectClip.IsRectEmpty() && !r.IntersectRect(rect, rectClip))
        return;
    pDC->InvertRect(&r);
}

void DrawEdgeRect(CDC* pDC, int left, int top, int right, int bottom, UINT nEdge, BOOL bAdjust)
{
    if (pDC == nullptr)
        return;
    CRect r(left, top, right, bottom);
    pDC->DrawEdge(&r, nEdge, bAdjust ? BF_ADJUST : BF_RECT);
}

HGLOBAL CopyBitmapResourceFromModule(HINSTANCE hModule, UINT nIDResource)
{
    LPCSTR name = MAKEINTRESOURCE(nIDResource);
    HRSRC hRes = FindResource(hModule, name, RT_BITMAP);
    if (hRes == nullptr)
        return nullptr;
    const auto* pData = static_cast<const BYTE*>(LockResource(LoadResource(hModule, hRes)));
    const DWORD nSize = SizeofResource(hModule, hRes);
    if (pData == nullptr || nSize == 0)
        return nullptr;
    HGLOBAL hCopy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nSize);
    if (hCopy == nullptr)
        return nullptr;
    void* pCopy = GlobalLock(hCopy);
    if (pCopy == nullptr) {
        GlobalFree(hCopy);
        return nullptr;
    }
    std::memcpy(pCopy, pData, nSize);
    GlobalUnlock(hCopy);
    return hCopy;
}

HGLOBAL CopyBitmapResource(UINT nIDResource)
{
    HINSTANCE hModule = AfxFindResourceHandle(MAKEINTRESOURCE(nIDResource), RT_BITMAP);
    if (hModule != nullptr) {
        if (HGLOBAL hCopy = CopyBitmapResourceFromModule(hModule, nIDResource))
            return hCopy;
    }
    return CopyBitmapResourceFromModule(AfxGetInstanceHandle(), nIDResource);
}

int GetDIBColorCount(const BITMAPINFOHEADER* pHeader)
{
    if (pHeader == nullptr)
        return 0;
    if (pHeader->biClrUsed != 0)
        return static_cast<int>(pHeader->biClrUsed);
    switch (pHeader->biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

BOOL LoadSysColorBitmapFromDib(CBitmap* pBitmap, const BYTE* pDib, size_t nSize)
{
    if (pBitmap == nullptr || pDib == nullptr || nSize < sizeof(BITMAPINFOHEADER))
        return FALSE;
    BITMAPINFOHEADER header;
    std::memcpy(&header, pDib, sizeof(header));
    // The table starts after the header as long as the header says it is, and holds as many
    // entries as are used, never more than the depth allows: a DIB that says otherwise is not
    // read past its end.
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > nSize)
        return FALSE;
    if (header.biBitCount != 1 && header.biBitCount != 4 && header.biBitCount != 8)
        return FALSE;
    const int nMax = 1 << header.biBitCount;
    const int nColors = GetDIBColorCount(&header);
    if (nColors <= 0 || nColors > nMax)
        return FALSE;
    const size_t nTable = static_cast<size_t>(nColors) * sizeof(RGBQUAD);
    if (header.biSize + nTable > nSize || header.biWidth <= 0 || header.biHeight == 0)
        return FALSE;
    const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const size_t nStride = ((static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
    const BYTE* pBits = pDib + header.biSize + nTable;
    if (nStride * static_cast<size_t>(height) > nSize - header.biSize - nTable)
        return FALSE;

    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(nMax) * sizeof(RGBQUAD), 0);
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biClrUsed = static_cast<DWORD>(nColors);
    std::memcpy(info.data(), &header, sizeof(header));
    auto* pTable = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    std::memcpy(pTable, pDib + reinterpret_cast<const BITMAPINFOHEADER*>(pDib)->biSize, nTable);
    const struct {
        COLORREF rgb;
        int nSysColor;
    } map[] = {{0x000000, COLOR_BTNTEXT}, {0x808080, COLOR_BTNSHADOW}, {0xC0C0C0, COLOR_BTNFACE}, {0xFFFFFF, COLOR_BTNHIGHLIGHT}};
    for (int i = 0; i < nColors; ++i) {
        const COLORREF rgb = RGB(pTable[i].rgbRed, pTable[i].rgbGreen, pTable[i].rgbBlue);
        for (const auto& m : map) {
            if (rgb == m.rgb) {
                const COLORREF sys = GetSysColor(m.nSysColor);
                pTable[i].rgbRed = GetRValue(sys);
                pTable[i].rgbGreen = GetGValue(sys);
                pTable[i].rgbBlue = GetBValue(sys);
                break;
            }
        }
    }
    CWindowDC screen(nullptr);
    if (!pBitmap->CreateCompatibleBitmap(&screen, header.biWidth, height))
        return FALSE;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&screen))
        return FALSE;
    CBitmap* pOld = memDC.SelectObject(pBitmap);
    StretchDIBits(memDC.GetSafeHdc(), 0, 0, header.biWidth, height, 0, 0, header.biWidth, height, pBits,
                  reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
    memDC.SelectObject(pOld);
    return TRUE;
}

// ---- Choice lists ----

int TakeFirstLine(CString& sText, CString& sLine)
{
    const int n = sText.GetLength();
    const char* p = sText.GetString();
    int i = 0;
    while (i < n && p[i] != '\r' && p[i] != '\n')
        ++i;
    if (i >= n) {
        sLine = sText;
        sText.Empty();
        return -1;
    }
    sLine = sText.Left(i);
    const int nSkip = (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
    sText = sText.Mid(i + nSkip);
    return i;
}

void GetTabField(LPCTSTR pszLine, int nField, LPTSTR pszBuffer, int nMax)
{
    if (pszBuffer == nullptr || nMax < 0)
        return;
    pszBuffer[0] = '\0';
    if (pszLine == nullptr)
        return;
    const char* p = pszLine;
    for (int i = 0; i < nField; ++i) {
        p = std::strchr(p, '\t');
        if (p == nullptr)
            return;
        ++p;
    }
    int n = 0;
    while (p[n] != '\0' && p[n] != '\t' && n < nMax)
        ++n;
    std::memcpy(pszBuffer, p, static_cast<size_t>(n));
    pszBuffer[n] = '\0';
}

int FindChoiceListEntry(LPCTSTR pszText, int nField, const CString& sChoiceList, BOOL bSkipFirst, CString& sFound, BOOL bExact)
{
    CString sList = sChoiceList;
    CString sLine;
    if (bSkipFirst)
        TakeFirstLine(sList, sLine);
    const CString sText = pszText != nullptr ? CString(pszText) : CString();
    int nIndex = 0;
    while (!sList.IsEmpty()) {
        TakeFirstLine(sList, sLine);
        char field[128];
        GetTabField(sLine, nField, field, 127);
        const BOOL bMatch = bExact ? std::strcmp(field, sText) == 0 : strncasecmp(field, sText, static_cast<size_t>(sText.GetLength())) == 0;
        if (bMatch) {
            sFound = sLine;
            return nIndex;
        }
        ++nIndex;
    }
    sFound.Empty();
    return -1;
}

void SortChoiceList(CString& sChoiceList, int nField, BOOL bKeepFirst)
{
    CString sList = sChoiceList;
    CString sFirst;
    if (bKeepFirst)
        TakeFirstLine(sList, sFirst);
    std::vector<CString> lines;
    CString sLine;
    while (!sList.IsEmpty()) {
        TakeFirstLine(sList, sLine);
        lines.push_back(sLine);
    }
    const auto key = [nField](const CString& s) {
        if (nField <= 0)
            return s;
        char field[128];
        GetTabField(s, nField, field, 127);
        return CString(field);
    };
    std::stable_sort(lines.begin(), lines.end(), [&](const CString& a, const CString& b) { return strcasecmp(key(a), key(b)) < 0; });
    CString sResult;
    if (bKeepFirst)
        sResult = sFirst + "\r\n";
    for (const CString& s : lines)
        sResult += s + "\r\n";
    sChoiceList = sResult;
}
