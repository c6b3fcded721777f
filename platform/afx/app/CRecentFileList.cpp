#include "platform/afx/app/CRecentFileList.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/app/ShortenedPath.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/wnd/CCmdUI.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

// A path as the list keeps it: absolute and without "." or ".." steps, so that one file has
// one entry however it was named.
CString FullPath(LPCTSTR lpszPathName)
{
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(lpszPathName, ec);
    if (ec)
        return CString(lpszPathName);
    return CString(path.lexically_normal().string().c_str());
}

// The characters of a UTF-8 text.
int CharCount(const std::string& text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The path in about nMax characters, shortened in its middle as messages show long paths: its
// start and its end, where the file's name stands whole when it fits. A name longer than nMax
// alone gives nothing unless bAtLeastName asks for its end at least.
CString Abbreviate(const CString& path, int nMax, BOOL bAtLeastName)
{
    const std::string full(path.GetString());
    if (nMax <= 0 || CharCount(full) <= nMax)
        return path;
    const size_t lastSlash = full.rfind('/');
    const int nName = CharCount(lastSlash == std::string::npos ? full : full.substr(lastSlash + 1));
    if (nName > nMax && !bAtLeastName)
        return CString();
    // At least half the room goes to the end, and as much more as the name and its slash need.
    const int nTail = std::min(std::max(nMax / 2, nName + 1), nMax);
    return ShortenedPath(path, static_cast<size_t>(nMax - nTail), static_cast<size_t>(nTail));
}

} // namespace

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize, int nMaxDispLen)
    : m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat), m_nStart(nStart),
      m_nMaxDisplayLength(nMaxDispLen)
{
    m_arrNames.resize(static_cast<size_t>(nSize > 0 ? nSize : 0));
}

void CRecentFileList::Add(LPCTSTR lpszPathName)
{
    if (!lpszPathName || !*lpszPathName || m_arrNames.empty())
        return;
    const CString path = FullPath(lpszPathName);
    // The entry moves up from where it was, or the oldest drops off the end.
    size_t at = m_arrNames.size() - 1;
    for (size_t i = 0; i < m_arrNames.size(); ++i)
        if (m_arrNames[i] == path) {
            at = i;
            break;
        }
    for (size_t i = at; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = path;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetSize())
        return;
    m_arrNames.erase(m_arrNames.begin() + nIndex);
    m_arrNames.emplace_back();
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                     BOOL bAtLeastName) const
{
    if (nIndex < 0 || nIndex >= GetSize() || m_arrNames[static_cast<size_t>(nIndex)].IsEmpty())
        return FALSE;
    const CString& path = m_arrNames[static_cast<size_t>(nIndex)];
    // A file in the current folder is shown by its name.
    if (lpszCurDir && nCurDir > 0 && path.GetLength() > nCurDir &&
        strncmp(path.GetString(), lpszCurDir, static_cast<size_t>(nCurDir)) == 0 &&
        path[nCurDir] == '/' && path.Find('/', nCurDir + 1) < 0) {
        strName = path.Mid(nCurDir + 1);
        return TRUE;
    }
    strName = Abbreviate(path, m_nMaxDisplayLength, bAtLeastName);
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI)
{
    CMenu* menu = pCmdUI->m_pMenu;
    if (!menu)
        return;
    if (m_strOriginal.IsEmpty())
        menu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);
    // Take out what earlier updates put in, all but the first slot.
    for (int i = 1; i < GetSize(); ++i)
        menu->DeleteMenu(pCmdUI->m_nID + static_cast<UINT>(i), MF_BYCOMMAND);

    if (m_arrNames.empty() || m_arrNames[0].IsEmpty()) {
        // No recent files: the placeholder, disabled.
        if (!m_strOriginal.IsEmpty())
            pCmdUI->SetText(m_strOriginal);
        pCmdUI->Enable(FALSE);
        pCmdUI->m_nIndexMax = menu->GetMenuItemCount();
        return;
    }

    menu->DeleteMenu(pCmdUI->m_nID, MF_BYCOMMAND);
    char cwd[4096] = "";
    const char* curDir = getcwd(cwd, sizeof cwd) ? cwd : "";
    const int curDirLength = static_cast<int>(strlen(curDir));
    for (int i = 0; i < GetSize(); ++i) {
        CString name;
        if (!GetDisplayName(name, i, curDir, curDirLength))
            break;
        name.Replace("&", "&&");   // an ampersand of the path is no mnemonic
        const UINT number = static_cast<UINT>(i) + 1 + m_nStart;
        CString text;
        if (number < 10)
            text.Format("&%u %s", number, name.GetString());
        else
            text.Format("%u %s", number, name.GetString());
        menu->InsertMenu(pCmdUI->m_nIndex++, MF_STRING | MF_BYPOSITION, pCmdUI->m_nID + static_cast<UINT>(i), text);
    }
    // The caller's walk goes on after the last item added, which are all enabled.
    pCmdUI->m_nIndex--;
    pCmdUI->m_nIndexMax = menu->GetMenuItemCount();
    pCmdUI->m_bEnableChanged = TRUE;
}

void CRecentFileList::ReadList()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (int i = 0; i < GetSize(); ++i) {
        CString entry;
        entry.Format(m_strEntryFormat.GetString(), i + 1);
        m_arrNames[static_cast<size_t>(i)] = app->GetProfileString(m_strSectionName, entry, "");
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    // The section is written whole, so that entries past a shorter list do not linger.
    app->WriteProfileString(m_strSectionName, nullptr, nullptr);
    for (int i = 0; i < GetSize(); ++i) {
        if (m_arrNames[static_cast<size_t>(i)].IsEmpty())
            continue;
        CString entry;
        entry.Format(m_strEntryFormat.GetString(), i + 1);
        app->WriteProfileString(m_strSectionName, entry, m_arrNames[static_cast<size_t>(i)]);
    }
}
