// The HTTP-EQUIV Pragma type: a check box standing for its one meaningful value "no-cache".
#pragma once

#include "engine/meta/CMetaSetting.h"

class CMetaPragmaSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaPragmaSetting)
public:
    // Named "Pragma", shown, HTTP-EQUIV= form with syntax and name fixed.
    CMetaPragmaSetting();

    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
    UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow) override;
    // The check box value: "1" for "no-cache" (any case) or "1", "0" for anything else.
    UINT TextToCellValue(IGroupView* pView, IMetaCellStyle& style, ROWCOL nRow, ROWCOL nCol,
                         const CString& strText) override;
    // Follows the check box: ticked writes "no-cache", cleared writes an empty value.
    UINT EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext, CMetaContent* pContent) override;
    // "1" is written as "no-cache", "no-cache" in any case as it stands, anything else as no tag.
    UINT FormatValue(const CString& strContent, CString& strValue) const override;
};
