#include "app/values/MetaValueText.h"

#include "engine/meta/CMetaContent.h"
#include "platform/core/CPtrList.h"

#include <cctype>
#include <climits>
#include <string>
#include <unordered_set>

namespace {
// A page's text may put blanks or line ends after its separator ("solar, wind"): they belong to
// no keyword.
constexpr LPCTSTR kBlanks = " \t\r\n\f\v";
} // namespace

void SplitAtSeparator(const CString& strText, const CString& strSeparator, CStringList& items)
{
    CMetaContent::SplitList(strText, strSeparator, items);
}

void TrimItems(CStringList& items)
{
    CStringList kept;
    std::unordered_set<std::string> seen;
    for (POSITION pos = items.GetHeadPosition(); pos != nullptr;) {
        CString strItem = items.GetNext(pos);
        strItem.Trim(kBlanks);
        if (!strItem.IsEmpty() && seen.insert(std::string(strItem.GetString(), strItem.GetLength())).second)
            kept.AddTail(strItem);
    }
    items.RemoveAll();
    items.AddTail(&kept);
}

CString JoinWithSeparator(const CStringList& items, const CString& strSeparator)
{
    CString strJoined;
    for (POSITION pos = items.GetHeadPosition(); pos != nullptr;) {
        strJoined += items.GetNext(pos);
        if (pos != nullptr)
            strJoined += strSeparator;
    }
    return strJoined;
}

namespace {

bool IsValueBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// The leading integer as atoi reads it, but held at the int range instead of overflowing.
int ReadSeconds(const char* p, const char* end)
{
    while (p < end && IsValueBlank(*p))
        ++p;
    bool bNegative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        bNegative = *p == '-';
        ++p;
    }
    long long nValue = 0;
    for (; p < end && std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        nValue = nValue * 10 + (*p - '0');
        if (nValue > static_cast<long long>(INT_MAX) + 1)
            nValue = static_cast<long long>(INT_MAX) + 1;
    }
    if (bNegative)
        nValue = -nValue;
    if (nValue > INT_MAX)
        return INT_MAX;
    if (nValue < INT_MIN)
        return INT_MIN;
    return static_cast<int>(nValue);
}

} // namespace

RefreshValue ParseRefresh(const CString& strText)
{
    RefreshValue value;
    const char* pText = strText.GetString();
    const int nLength = strText.GetLength();
    const int nSemi = strText.Find(';');
    value.nSeconds = ReadSeconds(pText, pText + (nSemi < 0 ? nLength : nSemi));
    if (nSemi < 0)
        return value;
    for (int i = nSemi + 1; i + 3 <= nLength; ++i) {
        if (std::toupper(static_cast<unsigned char>(pText[i])) != 'U' ||
            std::toupper(static_cast<unsigned char>(pText[i + 1])) != 'R' ||
            std::toupper(static_cast<unsigned char>(pText[i + 2])) != 'L')
            continue;
        int j = i + 3;
        while (j < nLength && IsValueBlank(pText[j]))
            ++j;
        if (j >= nLength || pText[j] != '=')
            continue;
        ++j;
        while (j < nLength && IsValueBlank(pText[j]))
            ++j;
        value.strUrl = strText.Mid(j);
        break;
    }
    return value;
}

CString FormatRefresh(const RefreshValue& value)
{
    CString strText;
    if (value.strUrl.IsEmpty())
        strText.Format("%d", value.nSeconds);
    else
        strText.Format("%d; URL=%s", value.nSeconds, value.strUrl.GetString());
    return strText;
}
