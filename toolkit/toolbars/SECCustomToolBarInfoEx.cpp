#include "toolkit/toolbars/SECCustomToolBarInfoEx.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "toolkit/docking/SECPersistentTreeNode.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECCustomToolBarInfoEx, SECControlBarInfoEx)

std::vector<BYTE> SECCustomToolBarInfoEx::EncodeButtons() const
{
    std::vector<BYTE> out;
    for (const SECBtnInfo& info : m_btnInfo) {
        const BYTE len = static_cast<BYTE>(std::min<size_t>(info.bytes.size(), 255));
        out.push_back(static_cast<BYTE>(info.nID));
        out.push_back(static_cast<BYTE>(info.nID >> 8));
        out.push_back(static_cast<BYTE>(info.nID >> 16));
        out.push_back(static_cast<BYTE>(info.nID >> 24));
        out.push_back(len);
        out.insert(out.end(), info.bytes.begin(), info.bytes.begin() + len);
    }
    return out;
}

void SECCustomToolBarInfoEx::DecodeButtons(const BYTE* pData, size_t nSize)
{
    m_btnInfo.clear();
    size_t at = 0;
    while (pData && nSize - at >= 5) {
        SECBtnInfo info;
        info.nID = UINT(pData[at]) | UINT(pData[at + 1]) << 8 | UINT(pData[at + 2]) << 16 | UINT(pData[at + 3]) << 24;
        const size_t len = pData[at + 4];
        at += 5;
        if (len > nSize - at)
            break; // a record that runs past the end ends the list
        info.bytes.assign(pData + at, pData + at + len);
        at += len;
        m_btnInfo.push_back(std::move(info));
    }
}

void SECCustomToolBarInfoEx::Serialize(CArchive& ar, SECDockState*)
{
    if (ar.IsStoring()) {
        ar << m_strTitle;
        ar << static_cast<DWORD>(m_btnInfo.size());
        for (const SECBtnInfo& info : m_btnInfo) {
            ar << static_cast<DWORD>(info.nID);
            const BYTE len = static_cast<BYTE>(std::min<size_t>(info.bytes.size(), 255));
            ar << len;
            if (len)
                ar.Write(info.bytes.data(), len);
        }
        return;
    }
    ar >> m_strTitle;
    DWORD count = 0;
    ar >> count;
    m_btnInfo.clear();
    // The count comes from the archive: buttons are read one by one, so a damaged count ends at
    // the archive's end instead of reserving memory for it.
    for (DWORD i = 0; i < count; ++i) {
        SECBtnInfo info;
        DWORD id = 0;
        BYTE len = 0;
        ar >> id;
        ar >> len;
        info.nID = id;
        info.bytes.resize(len);
        if (len && ar.Read(info.bytes.data(), len) != len)
            AfxThrowArchiveException(CArchiveException::endOfFile);
        m_btnInfo.push_back(std::move(info));
    }
}

BOOL SECCustomToolBarInfoEx::LoadState(LPCTSTR lpszSection, SECDockState*)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return FALSE;
    m_strTitle = app->GetProfileString(lpszSection, "Title", "");
    BYTE* data = nullptr;
    UINT size = 0;
    m_btnInfo.clear();
    if (app->GetProfileBinary(lpszSection, "Buttons", &data, &size)) {
        DecodeButtons(data, size);
        delete[] data;
    }
    return TRUE;
}

BOOL SECCustomToolBarInfoEx::SaveState(LPCTSTR lpszSection)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return FALSE;
    if (!m_strTitle.IsEmpty())
        app->WriteProfileString(lpszSection, "Title", m_strTitle);
    std::vector<BYTE> buttons = EncodeButtons();
    return app->WriteProfileBinary(lpszSection, "Buttons", buttons.empty() ? nullptr : buttons.data(),
                                   static_cast<UINT>(buttons.size()));
}

BOOL SECCustomToolBarInfoEx::LoadFromNode(SECPersistentTreeNode* pNode)
{
    SECPersistentTreeNode* child = pNode ? pNode->FindChild("ToolBarInfoEx") : nullptr;
    if (!child)
        return FALSE;
    child->GetValue("Title", m_strTitle, CString());
    BYTE* data = nullptr;
    UINT size = 0;
    m_btnInfo.clear();
    if (child->GetBinary("Buttons", &data, &size) == 0 && data) {
        DecodeButtons(data, size);
        delete[] data;
    }
    return TRUE;
}

BOOL SECCustomToolBarInfoEx::SaveToNode(SECPTNFactory& factory, SECPersistentTreeNode* pNode)
{
    SECPersistentTreeNode* child = pNode ? factory.CreateNode("ToolBarInfoEx", pNode) : nullptr;
    if (!child)
        return FALSE;
    child->SetValue("Title", m_strTitle);
    const std::vector<BYTE> buttons = EncodeButtons();
    const BYTE none = 0;
    return child->SetBinary("Buttons", buttons.empty() ? &none : buttons.data(), static_cast<UINT>(buttons.size())) == 0;
}

// ---- The toolbar and the manager ----

BOOL SECToolBarManager::LoadFromNode(SECPersistentTreeNode* pNode)
{
    if (!pNode)
        return FALSE;
    SECPersistentTreeNode* child = pNode->FindChild("ToolBarMgr");
    if (!child) {
        // Nothing saved: the first-start values, applied like loaded ones so that the bars
        // and the images never disagree with the switches.
        EnableToolTips(TRUE);
        EnableCoolLook(TRUE, 0x300);
        EnableLargeButtons(FALSE);
        InitToolBars();
        return TRUE;
    }
    BOOL tips = TRUE, cool = TRUE, large = TRUE;
    child->GetBoolValue("ToolTips", &tips, TRUE);
    child->GetBoolValue("CoolLook", &cool, TRUE);
    child->GetBoolValue("LargeButtons", &large, TRUE);
    EnableToolTips(tips);
    EnableCoolLook(cool, 0x300);
    EnableLargeButtons(large);
    InitToolBars();
    return TRUE;
}

BOOL SECToolBarManager::SaveToNode(SECPTNFactory& factory, SECPersistentTreeNode* pParent)
{
    SECPersistentTreeNode* child = pParent ? factory.CreateNode("ToolBarMgr", pParent) : nullptr;
    if (!child)
        return FALSE;
    child->SetBoolValue("ToolTips", m_bToolTips);
    child->SetBoolValue("CoolLook", m_bCoolLook);
    child->SetBoolValue("LargeButtons", m_bLargeButtons);
    return TRUE;
}

SECControlBarInfoEx* SECToolBarManager::CreateControlBarInfoEx(SECControlBarInfo* pInfo)
{
    if (pInfo && (pInfo->m_dwTypeID == SEC_BARTYPE_CUSTOMTOOLBAR || pInfo->m_dwTypeID == SEC_BARTYPE_MENUBAR))
        return new SECCustomToolBarInfoEx;
    return SECControlBarManager::CreateControlBarInfoEx(pInfo);
}

void SECCustomToolBar::GetBarInfoExtra(SECControlBarInfo* pInfo)
{
    if (!pInfo)
        return;
    auto* ex = new SECCustomToolBarInfoEx;
    if (m_hWnd)
        GetWindowText(ex->m_strTitle);
    for (auto& b : m_btns) {
        SECCustomToolBarInfoEx::SECBtnInfo info;
        info.nID = b->IsSeparator() ? 0 : b->m_nID;
        BYTE len = 0;
        const BYTE* bytes = nullptr;
        b->GetBtnInfo(len, bytes);
        if (bytes && len)
            info.bytes.assign(bytes, bytes + len);
        ex->m_btnInfo.push_back(std::move(info));
    }
    pInfo->SetInfoEx(ex);
}

void SECCustomToolBar::SetBarInfoExtra(SECControlBarInfo* pInfo, CFrameWnd*)
{
    auto* ex = pInfo ? dynamic_cast<SECCustomToolBarInfoEx*>(pInfo->m_pBarInfoEx) : nullptr;
    if (!ex)
        return;
    RemoveAllButtons();
    if (!ex->m_strTitle.IsEmpty() && m_hWnd)
        SetWindowText(ex->m_strTitle);
    for (const auto& info : ex->m_btnInfo) {
        SECStdBtn* b = info.nID ? NewButton(info.nID) : NewSeparator();
        b->SetBtnInfo(static_cast<BYTE>(info.bytes.size()), info.bytes.empty() ? nullptr : info.bytes.data());
        m_btns.emplace_back(b);
    }
    MarkSizesDirty();
}
