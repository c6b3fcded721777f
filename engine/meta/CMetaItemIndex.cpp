#include "engine/meta/CMetaItemIndex.h"

#include "engine/meta/CMetaContent.h"

#include <cstring>

namespace {

// As CMetaContent trims its items.
bool IsIndexBlank(char ch)
{
    return ch != '\0' && std::strchr(" \t\r\n\f\v", ch) != nullptr;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsIndexBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsIndexBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

CMetaItemIndex::CMetaItemIndex(const CString& strSeparator)
    : m_strSeparator(strSeparator), m_strCut(CMetaContent::ListCut(strSeparator))
{
}

void CMetaItemIndex::Count(const CString& strText, int nFrom, int nTo, int nStep)
{
    const std::string_view item = Trimmed(std::string_view(strText.GetString() + nFrom, static_cast<size_t>(nTo - nFrom)));
    if (item.empty())
        return;
    if (nStep > 0) {
        ++m_items[std::string(item)];
        return;
    }
    const auto found = m_items.find(std::string(item));
    if (found != m_items.end() && --found->second == 0)
        m_items.erase(found);
}

void CMetaItemIndex::Follow(const CString& strText)
{
    const int nLength = strText.GetLength();
    if (nLength == m_nFollowed)
        return;
    // Every cut found before the last item's start stands where it stood: the text only grew
    // after it. The last item, and the text added, are cut again from its start, since a cut
    // may now begin inside it.
    Count(strText, m_nLastStart, m_nFollowed, -1);
    int nStart = m_nLastStart;
    for (;;) {
        const int nFound = strText.Find(m_strCut, nStart);
        if (nFound < 0) {
            Count(strText, nStart, nLength, +1);
            m_nLastStart = nStart;
            break;
        }
        Count(strText, nStart, nFound, +1);
        nStart = nFound + m_strCut.GetLength();
    }
    m_nFollowed = nLength;
}

bool CMetaItemIndex::Holds(std::string_view item) const
{
    item = Trimmed(item);
    return !item.empty() && m_items.find(std::string(item)) != m_items.end();
}
