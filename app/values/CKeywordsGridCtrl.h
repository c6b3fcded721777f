// CKeywordsGridCtrl: a one-column list of texts (keywords, options) edited in a dialog grid.
#pragma once

#include "app/dialogs/CGridWndWrapper.h"

class CKeywordsGridCtrl : public CGridWndWrapper {
    DECLARE_DYNCREATE(CKeywordsGridCtrl)

public:
    // One edit row per item, no headers, the column as wide as the window less 5 pixels.
    void LoadList(const CStringList& list);
    // The non-empty texts of the rows, each once, in row order (the first one keeps its place).
    void ReadList(CStringList& list);
    // Appends a row with the text unless a row holds exactly that text.
    void AddUnique(const CString& strText);
    // AddUnique for each text in list order; the number of rows added.
    ROWCOL AddUniqueTexts(const CStringList& texts);
    // The texts of the selected rows, in the order the user selected them.
    void GetSelectedTexts(CStringList& list);
};

// Loads one edit row per list item (no headers) for one-column lists in a dialog grid.
void LoadOneColumnList(CGridWndWrapper& grid, const CStringList& list);
