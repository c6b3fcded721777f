// Free drawing and choice-list helpers of the grid library: solid fills, clipped inversion,
// edges, bitmaps in the system's colours, and the lines and tab fields of choice lists.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/CRect.h"
#include "platform/win/GdiTypes.h"

class CBitmap;
class CDC;

// Fills with a colour (a system colour is resolved) and leaves the DC's background colour as it was.
void FillRectSolid(CDC* pDC, int x, int y, int cx, int cy, COLORREF rgb);
void FillRectSolid(CDC* pDC, const RECT& rect, COLORREF rgb);
// Inverts the rectangle, or only its part inside a non-empty clip rectangle.
void InvertRectClipped(CDC* pDC, const CRect& rect, const CRect& rectClip);
void DrawEdgeRect(CDC* pDC, int left, int top, int right, int bottom, UINT nEdge, BOOL bAdjust);
// A copy of a bitmap resource of a module (null: the program) in a new moveable, zeroed global
// block the caller frees; null when the module has no such bitmap.
HGLOBAL CopyBitmapResourceFromModule(HINSTANCE hModule, UINT nIDResource);
// The same from the module the resource search names for the id, else from the program's.
HGLOBAL CopyBitmapResource(UINT nIDResource);
// Colours a DIB's table says for black, greys and white become those of the system's buttons.
// A packed DIB (BITMAPINFOHEADER, colour table, pixels) with its table mapped to system colours,
// drawn into a new screen-compatible bitmap; FALSE for a damaged DIB.
BOOL LoadSysColorBitmapFromDib(CBitmap* pBitmap, const BYTE* pDib, size_t nSize);
// The colour-table entries of a DIB header: biClrUsed, else by depth (0 for 16 bits and more).
int GetDIBColorCount(const BITMAPINFOHEADER* pHeader);

int TakeFirstLine(CString& sText, CString& sLine);
void GetTabField(LPCTSTR pszLine, int nField, LPTSTR pszBuffer, int nMax);
int FindChoiceListEntry(LPCTSTR pszText, int nField, const CString& sChoiceList, BOOL bSkipFirst, CString& sFound, BOOL bExact);
void SortChoiceList(CString& sChoiceList, int nField, BOOL bKeepFirst);
