#include "app/sysinfo/CSysInfo.h"

#include "app/sysinfo/CLinuxSysInfoSource.h"
#include "app/sysinfo/SysInfoIds.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/EditDefs.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/core/CPtrList.h"

#include <algorithm>
#include <cstring>

namespace {

CString LoadText(UINT nID)
{
    CString strText;
    strText.LoadString(nID);
    return strText;
}

// "%1 (%2 Free)" over two sizes.
CString FormatTotalAndFree(ULONGLONG nTotal, ULONGLONG nFree)
{
    CString strText;
    strText.FormatMessage(kIdsSysInfoTotalFree, CSysInfo::FormatSize(nTotal).GetString(),
                          CSysInfo::FormatSize(nFree).GetString());
    return strText;
}

} // namespace

CSysInfo::CSysInfo(const CString& strTitle, const CString& strItemList, const CStringList* pExtraFiles,
                   ISysInfoSource* pSource)
    : m_strTitle(strTitle)
{
    CWaitCursor wait;
    CLinuxSysInfoSource system;
    ISysInfoSource& source = pSource != nullptr ? *pSource : system;
    AddItemList(strItemList);
    AddMachineFacts(source);
    AddItem("File Versions", CString());
    for (const SysInfoLibrary& library : source.GetProgramLibraries())
        AddLibrary(library);
    if (pExtraFiles != nullptr)
        for (POSITION pos = pExtraFiles->GetHeadPosition(); pos != nullptr;)
            AddLibrary(source.FindLibrary(pExtraFiles->GetNext(pos)));
}

CSysInfo::~CSysInfo() = default;

void CSysInfo::AddItem(const CString& strName, const CString& strValue)
{
    m_Items.push_back(std::make_unique<CSysInfoItem>(strName, strValue));
}

void CSysInfo::AddItemList(const CString& strItemList)
{
    // "name:value" pairs separated by ","; the name runs to the first ":" (which never stands
    // inside a multi-byte character), the value to the next "," and may be empty.
    const char* psz = strItemList.GetString();
    while (*psz != '\0') {
        const char* pszColon = std::strchr(psz, ':');
        if (pszColon == nullptr) {
            AddItem(psz, CString());
            return;
        }
        const char* pszValue = pszColon + 1;
        const char* pszComma = std::strchr(pszValue, ',');
        const char* pszEnd = pszComma != nullptr ? pszComma : pszValue + std::strlen(pszValue);
        AddItem(CString(psz, static_cast<int>(pszColon - psz)), CString(pszValue, static_cast<int>(pszEnd - pszValue)));
        if (pszComma == nullptr)
            return;
        psz = pszComma + 1;
    }
}

void CSysInfo::AddMachineFacts(ISysInfoSource& source)
{
    AddItem(LoadText(kIdsSysInfoComputer), source.GetHostName());
    AddItem(LoadText(kIdsSysInfoOs), source.GetSystemText());

    CString strProcessor = source.GetProcessorName();
    if (strProcessor.IsEmpty())
        strProcessor = LoadText(kIdsSysInfoUnknown);
    CString strProcessors;
    strProcessors.Format("%u * %s", source.GetProcessorCount(), strProcessor.GetString());
    AddItem(LoadText(kIdsSysInfoProcessors), strProcessors);

    ULONGLONG nTotal = 0;
    ULONGLONG nFree = 0;
    AddItem(LoadText(kIdsSysInfoMemory), source.GetPhysicalMemory(nTotal, nFree) ? FormatTotalAndFree(nTotal, nFree)
                                                                                 : LoadText(kIdsSysInfoUnknown));
    nTotal = nFree = 0;
    AddItem(LoadText(kIdsSysInfoPaging), source.GetPagingFile(nTotal, nFree) ? FormatTotalAndFree(nTotal, nFree)
                                                                             : LoadText(kIdsSysInfoUnknown));

    CString strCodePage;
    if (const UINT nCodePage = source.GetCodePage(); nCodePage != 0)
        strCodePage.Format("%u", nCodePage);
    else
        strCodePage = LoadText(kIdsSysInfoNone);
    AddItem(LoadText(kIdsSysInfoCodePage), strCodePage);

    CString strLanguage;
    if (source.GetLanguage(strLanguage))
        AddItem("Language", strLanguage);
}

void CSysInfo::AddLibrary(const SysInfoLibrary& library)
{
    switch (library.state) {
    case SysInfoLibrary::State::Found: AddItem(library.strName, library.strVersion); break;
    case SysInfoLibrary::State::NoVersion: AddItem(library.strName, LoadText(kIdsSysInfoNoVersion)); break;
    case SysInfoLibrary::State::NotFound: AddItem(library.strName, LoadText(kIdsSysInfoNotFound)); break;
    }
}

CString CSysInfo::FormatSize(ULONGLONG nBytes)
{
    CString strText;
    if (nBytes >= 1048576)
        strText.Format(kIdsSysInfoMBytes, static_cast<double>(nBytes) / 1048576.0);
    else if (nBytes >= 1024)
        strText.Format(kIdsSysInfoKBytes, static_cast<double>(nBytes) / 1024.0);
    else
        strText.Format(kIdsSysInfoBytes, static_cast<UINT>(nBytes));
    return strText;
}

CString CSysInfo::GetText() const
{
    CString strText;
    if (!m_strTitle.IsEmpty()) {
        strText += m_strTitle;
        strText += "\r\n";
    }
    for (const auto& pItem : m_Items) {
        if (pItem->m_strValue.IsEmpty()) {
            strText += pItem->m_strName;
        } else {
            strText += "    ";
            strText += pItem->m_strName;
            strText += ":\t";
            strText += pItem->m_strValue;
        }
        strText += "\r\n";
    }
    return strText;
}

int CSysInfo::TabStopFor(CWnd* pEdit) const
{
    // The values stand in one column at 80 dialog units, or further right when a name in the
    // edit's font reaches that far: a tab then jumps only to the next stop, which may be a
    // pixel or two away, and "Physical Memory:" ran into its value.
    constexpr int kTabStop = 80;
    HDC hDC = ::GetDC(pEdit->GetSafeHwnd());
    if (hDC == nullptr)
        return kTabStop;
    HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(pEdit->SendMessage(WM_GETFONT)));
    TEXTMETRIC tm{};
    ::GetTextMetrics(hDC, &tm);
    const int nChar = std::max(1, static_cast<int>(tm.tmAveCharWidth));
    int nWidest = 0;
    for (const auto& pItem : m_Items) {
        if (pItem->m_strValue.IsEmpty())
            continue;
        const CString strLabel = "    " + pItem->m_strName + ":";
        SIZE size{};
        ::GetTextExtentPoint32(hDC, strLabel.GetString(), strLabel.GetLength(), &size);
        nWidest = std::max(nWidest, static_cast<int>(size.cx));
    }
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(pEdit->GetSafeHwnd(), hDC);
    // Two average characters of room after the widest name, in dialog units (a quarter of one).
    const int nNeeded = ((nWidest + 2 * nChar) * 4 + nChar - 1) / nChar;
    return std::max(kTabStop, nNeeded);
}

void CSysInfo::WriteToEdit(CWnd* pEdit) const
{
    if (pEdit == nullptr || pEdit->GetSafeHwnd() == nullptr)
        return;
    CWaitCursor wait;
    int nTabStop = TabStopFor(pEdit);
    pEdit->SendMessage(EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&nTabStop));
    // The whole text is replaced, so that a second exchange does not add the report again.
    pEdit->SendMessage(EM_SETSEL, 0, -1);
    const CString strText = GetText();
    pEdit->SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(strText.GetString()));
}
