// CGXGridCutPasteImp: the Edit menu's Cut, Copy and Paste for a grid: which clipboard formats a
// copy writes and a paste prefers, a cut done at once or held until the next paste, and a paste
// inside the grid's own parameter object that copies or moves the cells directly. The active
// cell editor is asked first and acts on its own text.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXGridCutPasteImp : public CGXAbstractGridCutPasteImp {
public:
    static void Install(CGXGridCore* pGrid);

    BOOL CanCopy(CGXGridCore* pGrid) override;
    BOOL Copy(CGXGridCore* pGrid) override;
    BOOL CopyRangeList(CGXGridCore* pGrid, CGXRangeList& selList) override;
    virtual BOOL CopyTextToClipboard(CGXGridCore* pGrid, const CGXRangeList& selList);
    virtual BOOL CopyStylesToClipboard(CGXGridCore* pGrid, const CGXRangeList& selList, BOOL bLoadBaseStyles);
    BOOL CanCut(CGXGridCore* pGrid) override;
    BOOL Cut(CGXGridCore* pGrid) override;
    BOOL CutRangeList(CGXGridCore* pGrid, CGXRangeList& selList, BOOL bStyleOnly) override;
    BOOL CanPaste(CGXGridCore* pGrid) override;
    virtual BOOL CanPasteFromClipboard(CGXGridCore* pGrid);
    BOOL Paste(CGXGridCore* pGrid) override;
    // Copies (or, for a pending cut, moves) the copied ranges to the target's top-left cell in
    // one undo step. Every source block is read before anything is written, so a destination
    // that overlaps a later source gets that source's old cells.
    virtual BOOL PasteCellsDirect(CGXGridCore* pGrid, const CGXRange& target);
    // With the clipboard open: the styles format when the flags take it and it is there, else
    // the text.
    virtual BOOL PasteFromClipboard(CGXGridCore* pGrid, CGXRange& target);
    virtual BOOL AskClipboardSizeDifferent(CGXGridCore* pGrid);

    // The engine's names for the operations above.
    BOOL IsTextOnClipboard(CGXGridCore* pGrid) final { return CanPasteFromClipboard(pGrid); }
    // One format each, the clipboard open.
    BOOL PasteTextPart(CGXGridCore* pGrid, CGXRange& target) final;
    BOOL PasteStylesPart(CGXGridCore* pGrid, CGXRange& target) final;
    BOOL ConfirmPasteSizeMismatch(CGXGridCore* pGrid) final { return AskClipboardSizeDifferent(pGrid); }
};

// The clipboard formats of the grid library: the styles block and the direct-copy mark. Both
// stay in this process; other programs get text only.
UINT GXGetStylesClipboardFormat();
UINT GXGetDirectCopyClipboardFormat();
