// The date and time type: a value written in the setting's date format, picked in the date dialog.
#pragma once

#include "engine/meta/CMetaSetting.h"

class CMetaDateSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaDateSetting)
public:
    // Named "Date / Time", shown, NAME= form, format "yyyy/MM/dd".
    CMetaDateSetting();

    // The base part, then the date format.
    void Serialize(CArchive& ar) override;

    // Equal only to a date setting with the same format, and then by the base comparison.
    BOOL IsEqual(const CMetaSetting* pOther) const override;
    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
    void CopyFrom(const CMetaSetting* pSource) override;
    UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow) override;
    UINT EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext, CMetaContent* pContent) override;
    // The attributes cell is an edit cell holding the date format.
    UINT SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow) override;
    UINT ReadAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow) override;

    // What of a date format the date field cannot write a date with and read it back from:
    // empty when the format is usable, else the first letter that is no pattern letter, the
    // text after a quote that is never closed, or the whole format when it holds no part of a
    // date or time at all.
    static CString FindUnusablePart(const CString& strFormat);

    CString m_strFormat;
};
