// The keywords type: a keyword editor over the found and suggested keywords, and the one group
// action of the program (add the suggestions to, or replace, the keywords of many pages).
#pragma once

#include "engine/meta/CMetaSetting.h"

class CMetaKeywordsSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaKeywordsSetting)
public:
    // Named "Keywords", shown, NAME= form with the syntax fixed.
    CMetaKeywordsSetting();

    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
    UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow) override;
    // 0 after OK, 1 after Cancel.
    UINT EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext, CMetaContent* pContent) override;
    UINT DoGroupAction(IGroupView* pView, const CGXRangeList* pRanges, ROWCOL nCol, CSelNodesCol* pPages) override;
    UINT GetGroupActionState() override;
};
