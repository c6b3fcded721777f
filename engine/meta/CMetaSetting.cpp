#include "engine/meta/CMetaSetting.h"

#include "engine/html/HtmlEntities.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CStringListWrapper.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CMetaSetting, CObject, 1)

void CMetaSetting::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_strName;
        ar << static_cast<DWORD>(m_nType);
        ar << m_strDescription;
        ar << static_cast<DWORD>(m_bShow) << static_cast<DWORD>(m_bHttpEquiv)
           << static_cast<DWORD>(m_bFixedSyntax) << static_cast<DWORD>(m_bNameFixed);
        return;
    }
    DWORD nType = 0, bShow = 0, bHttpEquiv = 0, bFixed = 0, bNameFixed = 0;
    ar >> m_strName;
    ar >> nType;
    ar >> m_strDescription;
    ar >> bShow >> bHttpEquiv >> bFixed >> bNameFixed;
    m_nType = nType;
    m_bShow = bShow;
    m_bHttpEquiv = bHttpEquiv;
    m_bFixedSyntax = bFixed;
    m_bNameFixed = bNameFixed;
}

BOOL CMetaSetting::IsTagName(const CString& strName)
{
    // The tag writes the name escaped (&amp;, &lt;, &gt;, &quot; and references for the
    // characters an attribute would fold), so any character reads back as itself; only the
    // blanks the scan trims off a name's ends would not.
    CString strTrimmed(strName);
    strTrimmed.Trim();
    return !strName.IsEmpty() && strTrimmed.GetLength() == strName.GetLength();
}

BOOL CMetaSetting::IsEqual(const CMetaSetting* pOther) const
{
    if (pOther == nullptr)
        return FALSE;
    return m_bShow == pOther->m_bShow && m_bHttpEquiv == pOther->m_bHttpEquiv &&
           m_bFixedSyntax == pOther->m_bFixedSyntax && m_nColumn == pOther->m_nColumn &&
           m_nType == pOther->m_nType && m_strName.Compare(pOther->m_strName) == 0 &&
           m_strDescription.Compare(pOther->m_strDescription) == 0;
}

UINT CMetaSetting::DoGroupAction(IGroupView*, const CGXRangeList*, ROWCOL, CSelNodesCol*)
{
    return 1;
}

UINT CMetaSetting::GetGroupActionState()
{
    return 3;
}

UINT CMetaSetting::TextToCellValue(IGroupView*, IMetaCellStyle&, ROWCOL, ROWCOL, const CString&)
{
    return 1;
}

UINT CMetaSetting::EditValue(IGroupView*, ROWCOL, ROWCOL, DWORD, CMetaContent*)
{
    return 1;
}

UINT CMetaSetting::FormatTag(const CString& strContent, CString& strTag)
{
    CString strValue;
    FormatValue(strContent, strValue);
    ComposeTag(strValue, strTag);
    return 0;
}

UINT CMetaSetting::FormatValue(const CString& strContent, CString& strValue) const
{
    strValue = strContent;
    return 0;
}

namespace {

// A value is written so that the page reads it back as typed: a double quote would end the
// value early, and a bare "&", "<" or ">" would be read as markup or a reference.
CString QuoteAttributeValue(const CString& strValue)
{
    const std::string escaped = EscapeHtml(std::string_view(strValue.GetString(), static_cast<size_t>(strValue.GetLength())),
        HtmlEscape::Attribute);
    return CString(escaped.data(), static_cast<int>(escaped.size()));
}

} // namespace

void CMetaSetting::ComposeTag(const CString& strContent, CString& strTag) const
{
    strTag.Empty();
    if (strContent.IsEmpty())
        return;
    // Tags follow the case of the page being rewritten; without a project they are upper case,
    // as a new project's settings would have them.
    UINT bUpper = 1;
    CProjectSettings* pSettings = nullptr;
    if (GetAppModel().GetProjectSettings(pSettings) == 0 && pSettings != nullptr)
        bUpper = pSettings->GetUpperCase();
    if (m_bHttpEquiv == 0)
        strTag.Format(bUpper ? "<META NAME=\"%s\" CONTENT=\"%s\">" : "<meta name=\"%s\" content=\"%s\">",
                      QuoteAttributeValue(m_strName), QuoteAttributeValue(strContent));
    else
        strTag.Format(bUpper ? "<META HTTP-EQUIV=\"%s\" CONTENT=\"%s\">" : "<meta http-equiv=\"%s\" content=\"%s\">",
                      QuoteAttributeValue(m_strName), QuoteAttributeValue(strContent));
}

UINT CMetaSetting::TakeDialogValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, CMetaContent& content,
                                   const CString& strOld, const CString& strValue, LPCTSTR lpszSeparator)
{
    if (CMetaContent::SameItems(strOld, strValue, lpszSeparator)) {
        // A dialog that wrote its value into the content itself gets the page's text back.
        content.SetContent(strOld);
        return 0;
    }
    return TakeDialogText(pView, nRow, nCol, content, strOld, strValue);
}

UINT CMetaSetting::TakeDialogText(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, CMetaContent& content,
                                  const CString& strOld, const CString& strValue)
{
    if (strValue == strOld) {
        content.SetContent(strOld);
        return 0;
    }
    content.SetContent(strValue);
    if (pView != nullptr)
        pView->SetCellValue(nRow, nCol, strValue);
    return 0;
}

UINT CMetaSetting::SetupValueCell(IGridViewWrapper*, ROWCOL)
{
    return 1;
}

UINT CMetaSetting::ReadAttributesCell(IGridWndWrapper*, ROWCOL)
{
    return 1;
}

UINT CMetaSetting::EditOptions(IGridWndWrapper*, ROWCOL)
{
    return 1;
}

UINT CMetaSetting::SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    if (pGrid == nullptr)
        return 1;
    const ROWCOL nCol = pGrid->GetAttributesColumn();
    pGrid->SetStaticCell(nRow, nCol, nRow, nCol);
    pGrid->SetCellValue(nRow, nCol, CString(kNotApplicableText));
    return 0;
}

UINT CMetaSetting::SetupOptionsButton(IGridWndWrapper* pGrid, ROWCOL nRow, INT_PTR nOptions)
{
    if (pGrid == nullptr)
        return 1;
    const ROWCOL nCol = pGrid->GetAttributesColumn();
    CString strCaption;
    strCaption.Format("%d options", static_cast<int>(nOptions));
    pGrid->SetPushbuttonCell(nRow, nCol, nRow, nCol, strCaption);
    return 0;
}

UINT CMetaSetting::ExplainMissingOptions(const CStringList& options)
{
    if (options.IsEmpty())
        GetAppModel().GetDialogs().ShowMessage(kIdsNoMetaOptions, CString(kNoMetaOptionsText));
    return 0;
}

UINT CMetaSetting::EditOptionList(CStringListWrapper& options, IGridWndWrapper* pGrid, ROWCOL nRow)
{
    CStringListWrapper edited;
    edited.CopyFrom(options);
    if (!GetAppModel().GetDialogs().EditOptionList(edited))
        return 1;
    options.CopyFrom(edited);
    SetupAttributesCell(pGrid, nRow);
    return 0;
}

UINT CMetaSetting::GetTypeName(CString&) const
{
    return 1;
}

UINT CMetaSetting::GetNameFixed(UINT& bNameFixed) const
{
    bNameFixed = m_bNameFixed;
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaSetting::Clone() const
{
    return nullptr;
}

void CMetaSetting::CopyFrom(const CMetaSetting* pSource)
{
    if (pSource == nullptr || pSource == this)
        return;
    m_strName = pSource->m_strName;
    m_nType = pSource->m_nType;
    m_strDescription = pSource->m_strDescription;
    m_bShow = pSource->m_bShow;
    m_bHttpEquiv = pSource->m_bHttpEquiv;
    m_bFixedSyntax = pSource->m_bFixedSyntax;
    m_bNameFixed = pSource->m_bNameFixed;
    m_nColumn = pSource->m_nColumn;
}
