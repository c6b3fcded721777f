#include "engine/meta/CMetaDateSetting.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CMetaDateSetting, CMetaSetting, 1)

CMetaDateSetting::CMetaDateSetting() : m_strFormat("yyyy/MM/dd")
{
    m_nType = kMetaTypeDate;
    m_strName = "Date / Time";
    m_bShow = 1;
    m_bHttpEquiv = 0;
    m_strDescription = "Date and/or time";
}

void CMetaDateSetting::Serialize(CArchive& ar)
{
    CMetaSetting::Serialize(ar);
    if (ar.IsStoring())
        ar << m_strFormat;
    else
        ar >> m_strFormat;
}

BOOL CMetaDateSetting::IsEqual(const CMetaSetting* pOther) const
{
    const auto* pDate = dynamic_cast<const CMetaDateSetting*>(pOther);
    if (pDate == nullptr || m_strFormat.Compare(pDate->m_strFormat) != 0)
        return FALSE;
    return CMetaSetting::IsEqual(pOther);
}

UINT CMetaDateSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Date / Time";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaDateSetting::Clone() const
{
    return std::make_unique<CMetaDateSetting>();
}

void CMetaDateSetting::CopyFrom(const CMetaSetting* pSource)
{
    if (pSource == nullptr || pSource == this)
        return;
    if (const auto* pDate = dynamic_cast<const CMetaDateSetting*>(pSource))
        m_strFormat = pDate->m_strFormat;
    CMetaSetting::CopyFrom(pSource);
}

UINT CMetaDateSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView != nullptr && nLastRow >= 1)
        pView->SetHotspotCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}

UINT CMetaDateSetting::EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext,
                                 CMetaContent* pContent)
{
    if (pContent == nullptr)
        return 1;
    const CString strOld = pContent->GetContent();
    CString strText;
    if (!GetAppModel().GetDialogs().EditDate(dwContext, m_strName, strOld, m_strFormat, strText))
        return 0;
    return TakeDialogText(pView, nRow, nCol, *pContent, strOld, strText);
}

UINT CMetaDateSetting::SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    if (pGrid == nullptr)
        return 1;
    const ROWCOL nCol = pGrid->GetAttributesColumn();
    pGrid->SetEditCell(nRow, nCol, nRow, nCol, m_strFormat);
    return 0;
}

UINT CMetaDateSetting::ReadAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    if (pGrid == nullptr)
        return 1;
    pGrid->GetCellText(nRow, pGrid->GetAttributesColumn(), m_strFormat);
    return 0;
}

CString CMetaDateSetting::FindUnusablePart(const CString& strFormat)
{
    // The pattern letters of the date field: day, month, year, era, the two hours, minutes,
    // seconds and AM/PM. Any other letter would be written as it stands and read back as nothing.
    static const CString kPatternLetters("dMyghHmst");
    const int nLength = strFormat.GetLength();
    BOOL bField = FALSE;
    for (int i = 0; i < nLength; ++i) {
        const char c = strFormat[i];
        if (c == '\'' || c == '"') {
            const int nClose = strFormat.Find(c, i + 1);
            if (nClose < 0)
                return strFormat.Mid(i);
            i = nClose;
            continue;
        }
        const bool bLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!bLetter)
            continue;
        if (kPatternLetters.Find(c) < 0)
            return CString(c);
        bField = TRUE;
    }
    return bField ? CString() : strFormat;
}
