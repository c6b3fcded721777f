#include "grid/core/CGXNoOleDateTimeImp.h"

#include "grid/core/CGXGridAppData.h"
#include "platform/core/Locale.h"

#include <string>

IMPLEMENT_DYNAMIC(CGXNoOleDateTimeImp, CObject)

namespace {
// A locale text, or the fallback when the locale has none.
CString LocaleText(LCTYPE nType, LPCTSTR pszFallback)
{
    const int nNeeded = GetLocaleInfoA(LOCALE_USER_DEFAULT, nType, nullptr, 0);
    if (nNeeded <= 1)
        return pszFallback;
    std::string text(static_cast<size_t>(nNeeded), '\0');
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, nType, text.data(), nNeeded) < 1)
        return pszFallback;
    return CString(text.c_str());
}
} // namespace

void CGXNoOleDateTimeImp::Install()
{
    CGXGridAppData* pData = GXGetAppData();
    pData->InstallImp<CGXNoOleDateTimeImp>(pData->m_pDateTimeImp);
}

void CGXNoOleDateTimeImp::UpdateDateTimeLocale()
{
    const CString sOrder = LocaleText(LOCALE_IDATE, "0");
    const int nOrder = sOrder.IsEmpty() ? 0 : sOrder[0] - '0';
    m_nDateOrder = nOrder == 1 ? dayMonthYear : nOrder == 2 ? yearMonthDay : monthDayYear;
    m_sDateSeparator = LocaleText(LOCALE_SDATE, "/");
    m_sTimeSeparator = LocaleText(LOCALE_STIME, ":");
    ++m_nReads;
}
