// SECListPaintContext: one cell's drawing state, handed from step to step while the list measures
// and paints a row. The tree's paint context derives from it.
#pragma once

#include "platform/core/Types.h"
#include "toolkit/controls/ListDefs.h"
#include "toolkit/controls/SECListItem.h"

class CDC;
class CFont;

// Asks for the grey text colour (set per cell by derived classes).
#define SECLIST_PC_GRAYTEXT 0x100

struct SECListPaintContext {
    explicit SECListPaintContext(CDC* pDC) : m_pDC(pDC) {}
    virtual ~SECListPaintContext() = default;

    LV_ITEM lvi{};         // the cell being painted: row, sub-item slot and what was read
    UINT m_nFlags = 0;
    UINT m_nReserved1 = 0;
    UINT m_nReserved2 = 0;
    CDC* m_pDC = nullptr;
    RECT m_rect{};         // the cell in client coordinates
    int m_nCol = 0;
    int m_nView = 0;
    UINT m_nPaintWord = 0;
    CFont* m_pFont = nullptr;
    SECListItem* m_pItem = nullptr;
    SECListSubItem* m_pSubItem = nullptr;   // null for the label column
    SECListColumn* m_pColumn = nullptr;
    COLORREF m_rgbText = 0;
    COLORREF m_rgbTextBk = 0;
    COLORREF m_rgbBk = 0;
    COLORREF m_rgbCellBk = 0;
    BOOL m_bDiSetItem = FALSE;   // the parent asked to keep what it supplied
};
