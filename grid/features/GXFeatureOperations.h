// The features name their operations after what they do; the engine's forwarders keep the
// names callers know. This table pairs them: each feature class overrides the forwarder's
// interface operation by calling its own one of the same row.
#pragma once

struct GXFeatureOperation {
    const char* pszFeature;   // the implementing class
    const char* pszOperation; // the feature's own operation
    const char* pszForwarder; // the grid operation (CGXGridCore) that reaches it
};

inline constexpr GXFeatureOperation GXFeatureOperations[] = {
    {"CGXGridClearCellsImp", "CanClear", "CanClear"},
    {"CGXGridClearCellsImp", "ClearSelection", "Clear"},
    {"CGXGridClearCellsImp", "ClearCells", "ClearRangeList, ClearRange"},
    {"CGXGridFindReplaceImp", "ShowFindReplaceDialog", "ShowFindReplaceDialog"},
    {"CGXGridFindReplaceImp", "FindNextText", "FindText"},
    {"CGXGridFindReplaceImp", "FindTextInCell", "FindTextPrepared"},
    {"CGXGridFindReplaceImp", "OnFindReplace", "HandleFindReplaceMessage"},
    {"CGXGridMarkEditHeaderImp", "UpdateMarkedHeaders", "MarkEditHeader"},
    {"CGXGridCutPasteImp", "CanCopy", "CanCopy"},
    {"CGXGridCutPasteImp", "Copy", "Copy"},
    {"CGXGridCutPasteImp", "CopyRangeList", "CopyRangeList, CopyRange"},
    {"CGXGridCutPasteImp", "CanCut", "CanCut"},
    {"CGXGridCutPasteImp", "Cut", "Cut"},
    {"CGXGridCutPasteImp", "CutRangeList", "CutRangeList, CutRange"},
    {"CGXGridCutPasteImp", "CanPaste", "CanPaste"},
    {"CGXGridCutPasteImp", "CanPasteFromClipboard", "IsTextOnClipboard"},
    {"CGXGridCutPasteImp", "Paste", "Paste"},
    {"CGXGridCutPasteImp", "PasteFromClipboard (text)", "PasteTextPart"},
    {"CGXGridCutPasteImp", "PasteFromClipboard (styles)", "PasteStylesPart"},
    {"CGXGridCutPasteImp", "AskClipboardSizeDifferent", "ConfirmPasteSizeMismatch"},
    {"CGXGridDirectCopyMoveCellsImp", "CopyCells", "CopyCellsDirect"},
    {"CGXGridDirectCopyMoveCellsImp", "StoreCopyCells", "StoreCopyCellsDirect"},
    {"CGXGridDirectCopyMoveCellsImp", "MoveCells", "MoveCellsDirect"},
    {"CGXGridDirectCopyMoveCellsImp", "StoreMoveCells", "StoreMoveCellsDirect"},
    {"CGXGridStyleDataExchangeImp", "CopyCellStyles", "WriteRangesAsStyles"},
    {"CGXGridStyleDataExchangeImp", "PasteCellStyles", "ReadStylesIntoGrid, ReadStylesPart"},
    {"CGXGridTextDataExchangeImp", "CopyTextToFile", "WriteRangesAsText"},
    {"CGXGridTextDataExchangeImp", "GetCopyTextRowCol", "GetCellTextForCopy"},
    {"CGXGridTextDataExchangeImp", "PasteTextFromBuffer", "PasteTextBuffer"},
    {"CGXGridTextDataExchangeImp", "PasteTextRowCol", "StoreCellTextForPaste"},
    {"CGXGridTextDataExchangeImp", "CalcBufferDimension", "CountTextBufferCells"},
    {"CGXGridExcelLikeFrameImp", "DrawSelectionFrame", "DrawSelectionFrame"},
    {"CGXGridExcelLikeFrameImp", "ShowFrame", "LockSelectionFrame, ToggleSelectionFrame"},
    {"CGXGridExcelLikeFillImp", "StartFill", "OnFillHandle"},
    {"CGXGridExcelLikeFillImp", "SelectFilledRange", "AddFillRange"},
    {"CGXGridUserDragSelectRangeImp", "StartDragSelection", "DragSelectStart"},
    {"CGXGridUserDragSelectRangeImp", "MoveDragMarker", "DragSelectTrack (moving)"},
    {"CGXGridUserDragSelectRangeImp", "DropSelection", "DragSelectDrop, DragSelectTrack (at the end)"},
    {"CGXGridUserDragSelectRangeImp", "CancelDrag", "DragSelectCancel"},
};
