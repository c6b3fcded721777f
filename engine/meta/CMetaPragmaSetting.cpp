#include "engine/meta/CMetaPragmaSetting.h"

#include "engine/meta/CMetaContent.h"

IMPLEMENT_SERIAL(CMetaPragmaSetting, CMetaSetting, 1)

namespace {
constexpr LPCTSTR kNoCache = "no-cache";
}

CMetaPragmaSetting::CMetaPragmaSetting()
{
    m_nType = kMetaTypePragma;
    m_strName = "Pragma";
    m_bShow = 1;
    m_bHttpEquiv = 1;
    m_bFixedSyntax = 1;
    m_bNameFixed = 1;
    m_strDescription = "This is another way to control browser caching. To use this tag, the value must be "
                       "\"no-cache\". When this is included in a document, it prevents the browser from "
                       "caching a page locally.";
}

UINT CMetaPragmaSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Pragma Type";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaPragmaSetting::Clone() const
{
    return std::make_unique<CMetaPragmaSetting>();
}

UINT CMetaPragmaSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView != nullptr && nLastRow >= 1)
        pView->SetCheckboxCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}

UINT CMetaPragmaSetting::TextToCellValue(IGroupView*, IMetaCellStyle& style, ROWCOL, ROWCOL,
                                         const CString& strText)
{
    const BOOL bChecked = strText.CompareNoCase(kNoCache) == 0 || strText.Compare("1") == 0;
    style.SetValue(CString(bChecked ? "1" : "0"));
    return 0;
}

UINT CMetaPragmaSetting::EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD, CMetaContent* pContent)
{
    if (pView == nullptr || pContent == nullptr)
        return 1;
    CString strCell;
    pView->GetCellText(nRow, nCol, strCell);
    const CString strValue(strCell.Compare("1") == 0 ? kNoCache : "");
    pContent->SetContent(strValue);
    pView->SetCellValue(nRow, nCol, strValue);
    return 0;
}

UINT CMetaPragmaSetting::FormatValue(const CString& strContent, CString& strValue) const
{
    strValue.Empty();
    if (strContent.Compare("1") == 0)
        strValue = kNoCache;
    else if (strContent.CompareNoCase(kNoCache) == 0)
        strValue = strContent;
    return 0;
}
