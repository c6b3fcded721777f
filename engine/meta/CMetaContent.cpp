#include "engine/meta/CMetaContent.h"

#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"

CMetaContent::~CMetaContent() = default;

void CMetaContent::SetContent(const CString& strText)
{
    if (strText != m_strText)
        m_charsetWay = CharsetWay();
    m_strText = strText;
    m_pItems.reset();
}

void CMetaContent::CopyFrom(const CMetaContent& other)
{
    if (&other == this)
        return;
    m_Suggestions.CopyFrom(other.m_Suggestions);
    m_nType = other.m_nType;
    SetContent(other.m_strText);
    m_bModified = other.m_bModified;
    m_charsetWay = other.m_charsetWay;
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

namespace {
// A page's text may put blanks or line ends after its separator ("solar, wind"): they belong to
// no item.
constexpr LPCTSTR kBlanks = " \t\r\n\f\v";
} // namespace

CString CMetaContent::ListCut(const CString& strSeparator)
{
    // The whole separator cuts, never each of its characters: a separator with a blank in it
    // would otherwise cut every keyword of more than one word apart. Of a separator with blanks
    // around it (", ") only the rest cuts: pages join their items with or without the blanks
    // ("a,b" as well as "a, b"), and the blanks around an item belong to no item anyway.
    CString strCut = strSeparator;
    strCut.Trim(kBlanks);
    if (strCut.IsEmpty())
        strCut = strSeparator.IsEmpty() ? CString(",") : strSeparator;
    return strCut;
}

void CMetaContent::SplitList(const CString& strText, const CString& strSeparator, CStringList& items)
{
    items.RemoveAll();
    const CString strSep = ListCut(strSeparator);
    int nStart = 0;
    while (nStart <= strText.GetLength()) {
        int nFound = strText.Find(strSep, nStart);
        if (nFound < 0)
            nFound = strText.GetLength();
        if (nFound > nStart) {
            CString strItem = strText.Mid(nStart, nFound - nStart);
            strItem.Trim(kBlanks);
            if (!strItem.IsEmpty())
                items.AddTail(strItem);
        }
        nStart = nFound + strSep.GetLength();
    }
}

UINT CMetaContent::SplitContent(LPCTSTR lpszSeparator, CStringList& list) const
{
    SplitList(m_strText, CString(lpszSeparator), list);
    return m_strText.IsEmpty() ? 1 : 0;
}

BOOL CMetaContent::SameItems(const CString& strFirst, const CString& strSecond, LPCTSTR lpszSeparator)
{
    if (strFirst == strSecond)
        return TRUE;
    const CString strSeparator = lpszSeparator != nullptr ? CString(lpszSeparator) : GetListSeparator();
    CStringList first, second;
    SplitList(strFirst, strSeparator, first);
    SplitList(strSecond, strSeparator, second);
    if (first.GetCount() != second.GetCount())
        return FALSE;
    for (POSITION a = first.GetHeadPosition(), b = second.GetHeadPosition(); a != nullptr && b != nullptr;)
        if (first.GetNext(a) != second.GetNext(b))
            return FALSE;
    return TRUE;
}

CString CMetaContent::GetListSeparator()
{
    CProjectSettings* pSettings = nullptr;
    if (GetAppModel().GetProjectSettings(pSettings) == 0 && pSettings != nullptr)
        return pSettings->GetListSeparator();
    return CString(",");
}

const CMetaItemIndex& CMetaContent::Items(const CString& strSeparator) const
{
    if (!m_pItems || m_pItems->GetSeparator() != strSeparator)
        m_pItems = std::make_unique<CMetaItemIndex>(strSeparator);
    m_pItems->Follow(m_strText);
    return *m_pItems;
}

UINT CMetaContent::AddItem(const CString& strItem)
{
    const CString strSeparator = GetListSeparator();
    // Items are compared without the blanks around them: a page's "a, b" holds the item b, and
    // b read again from its keywords must not be added a second time.
    if (Items(strSeparator).Holds(std::string_view(strItem.GetString(), static_cast<size_t>(strItem.GetLength()))))
        return 1;
    // The text only grows at its end: the items kept stay right, and the new one is taken in
    // when next looked for.
    m_charsetWay = CharsetWay();
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
    CStringList wanted;
    SplitList(strValue, strSeparator, wanted);
    const CMetaItemIndex& held = Items(strSeparator);
    for (POSITION posWanted = wanted.GetHeadPosition(); posWanted != nullptr;) {
        const CString& strItem = wanted.GetNext(posWanted);
        if (!held.Holds(std::string_view(strItem.GetString(), static_cast<size_t>(strItem.GetLength()))))
            return FALSE;
    }
    return TRUE;
}

UINT CMetaContent::ResetToSuggestions()
{
    SetContent(CString());
    if (m_Suggestions.IsEmpty())
        return 3;
    for (POSITION pos = m_Suggestions.GetHeadPosition(); pos != nullptr;)
        AddItem(m_Suggestions.GetNext(pos));
    return 0;
}
