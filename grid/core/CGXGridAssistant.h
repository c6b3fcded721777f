// CGXGridAssistant: an optional helper that rides along with one grid. The grid tells it when
// it is initialised and sized and after rows or columns moved, and lets it see the pointer's
// moves while the grid does not hold the mouse and the messages before they are translated.
// What it does with them is its own; the grid owns it and deletes it with itself.
#pragma once

#include "platform/core/CRect.h"

class CGXGridCore;
struct MSG;

using ROWCOL = DWORD;

class CGXGridAssistant {
public:
    CGXGridAssistant() = default;
    virtual ~CGXGridAssistant() = default;
    CGXGridAssistant(const CGXGridAssistant&) = delete;
    CGXGridAssistant& operator=(const CGXGridAssistant&) = delete;

    virtual void OnInitialize(CGXGridCore* /*pGrid*/) {}
    // The grid window took a new size (the WM_SIZE type and client size).
    virtual void OnGridSize(CGXGridCore* /*pGrid*/, UINT /*nType*/, int /*cx*/, int /*cy*/) {}
    virtual void OnGridMouseMove(CGXGridCore* /*pGrid*/, UINT /*nFlags*/, CPoint /*point*/) {}
    // Sees a message before the current cell's control translates it; it cannot keep it.
    virtual void OnGridPreTranslateMessage(CGXGridCore* /*pGrid*/, const MSG& /*msg*/) {}
    // Rows (columns) nFrom..nTo now stand at nDest.
    virtual void OnMovedRows(CGXGridCore* /*pGrid*/, ROWCOL /*nFrom*/, ROWCOL /*nTo*/, ROWCOL /*nDest*/) {}
    virtual void OnMovedCols(CGXGridCore* /*pGrid*/, ROWCOL /*nFrom*/, ROWCOL /*nTo*/, ROWCOL /*nDest*/) {}
};
