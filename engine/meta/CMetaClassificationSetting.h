// The classification type: a value is a path through the setting's own category tree, chosen
// in the classification dialog.
#pragma once

#include "engine/meta/CDoubleLinkNode.h"
#include "engine/meta/CMetaSetting.h"

class CMetaClassificationSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaClassificationSetting)
public:
    // A new setting's tree is "Root" > "Folder1" > "Folder2".
    CMetaClassificationSetting();

    // The base part, then the category tree.
    void Serialize(CArchive& ar) override;

    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
    void CopyFrom(const CMetaSetting* pSource) override;
    UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow) override;
    UINT EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext, CMetaContent* pContent) override;
    UINT SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow) override;
    UINT EditOptions(IGridWndWrapper* pGrid, ROWCOL nRow) override;

    CDoubleLinkNodeCol m_Tree;
};
