#include "engine/meta/CMetaContent.h"

#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"

void CMetaContent::CopyFrom(const CMetaContent& other)
{
    if (&other == this)
        return;
    m_Suggestions.CopyFrom(other.m_Suggestions);
    m_nType = other.m_nType;
    m_strText = other.m_strText;
    m_bModified = other.m_bModified;
    m_strName = other.m_strName;
}

UINT CMetaContent::GetSuggestions(CStringList& list) const
{
    list.RemoveAll();
    for (POSITION pos = m_Suggestions.GetHeadPosition(); pos != nullptr;)
        list.AddTail(m_Suggestions.GetNext(pos));
    return 0;
}

UINT CMetaContent::SplitText(LPCTSTR lpszSeparators, CStringList& list) const
{
    list.RemoveAll();
    if (m_strText.IsEmpty())
        return 1;
    const CString strSeparators(lpszSeparators);
    int nStart = 0;
    const int nLength = m_strText.GetLength();
    while (nStart <= nLength) {
        int nEnd = nStart;
        while (nEnd < nLength && strSeparators.Find(m_strText[nEnd]) < 0)
            ++nEnd;
        if (nEnd > nStart)
            list.AddTail(m_strText.Mid(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return 0;
}

CString CMetaContent::GetListSeparator()
{
    CProjectSettings* pSettings = nullptr;
    if (GetAppModel().GetProjectSettings(pSettings) == 0 && pSettings != nullptr)
        return pSettings->GetListSeparator();
    return CString(",");
}

UINT CMetaContent::AddItem(const CString& strItem)
{
    const CString strSeparator = GetListSeparator();
    CStringList items;
    SplitText(strSeparator, items);
    // Items are compared without the blanks around them: a page's "a, b" holds the item b, and
    // b read again from its keywords must not be added a second time.
    CString strWanted(strItem);
    strWanted.Trim();
    for (POSITION pos = items.GetHeadPosition(); pos != nullptr;) {
        CString strHave = items.GetNext(pos);
        strHave.Trim();
        if (strHave == strWanted)
            return 1;
    }
    if (m_strText.IsEmpty())
        m_strText = strItem;
    else
        m_strText += strSeparator + strItem;
    return 0;
}

BOOL CMetaContent::HoldsValue(const CString& strValue) const
{
    if (strValue == m_strText)
        return TRUE;
    const CString strSeparator = GetListSeparator();
    CMetaContent value;
    value.m_strText = strValue;
    CStringList wanted;
    CStringList held;
    value.SplitText(strSeparator, wanted);
    SplitText(strSeparator, held);
    auto trimmed = [](CString strItem) {
        strItem.Trim();
        return strItem;
    };
    for (POSITION posWanted = wanted.GetHeadPosition(); posWanted != nullptr;) {
        const CString strItem = trimmed(wanted.GetNext(posWanted));
        if (strItem.IsEmpty())
            continue;
        BOOL bFound = FALSE;
        for (POSITION posHeld = held.GetHeadPosition(); posHeld != nullptr && !bFound;)
            bFound = trimmed(held.GetNext(posHeld)) == strItem;
        if (!bFound)
            return FALSE;
    }
    return TRUE;
}

UINT CMetaContent::ResetToSuggestions()
{
    m_strText.Empty();
    if (m_Suggestions.IsEmpty())
        return 3;
    for (POSITION pos = m_Suggestions.GetHeadPosition(); pos != nullptr;)
        AddItem(m_Suggestions.GetNext(pos));
    return 0;
}
