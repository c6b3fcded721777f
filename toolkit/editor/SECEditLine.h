// One line of the editor's text, a link of the document's line list, and a position in it.
#pragma once

#include "platform/core/Types.h"

// Bit of SECEditLine::dwFlags: the line carries a bookmark.
constexpr DWORD SECEDIT_LINE_BOOKMARK = 4;

struct SECEditLine {
    SECEditLine* pNext = nullptr;   // null for the last line
    SECEditLine* pPrev = nullptr;   // null for the first line
    char* pText = nullptr;          // owned (C heap), NUL-terminated, the line end included
    int nLength = 0;                // bytes of text, the line end included
    int nCapacity = 0;              // bytes of the text block
    int nLineNo = 1;                // 1-based; read through SECEditDoc::LineNo, which keeps it right
    DWORD dwColorState = 0;         // kept for the window's colouring; the document only carries it
    DWORD dwFlags = 0;
    // The block classes open where the line starts (bit c - 1 for class c), worked out by the
    // document; trusted only while nBlockStamp is the document's and the line lies within the
    // part above every edit since.
    DWORD dwBlockState = 0;
    int nBlockStamp = 0;
};

struct SECEditPos {
    SECEditLine* pLine = nullptr;
    int nOffset = 0;
};
