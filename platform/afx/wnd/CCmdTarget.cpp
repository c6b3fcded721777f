#include "platform/afx/wnd/CCmdTarget.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/win/UserApi.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {

// The root of every chain: no entries, no base.
const AFX_MSGMAP_ENTRY g_noEntries[] = {{0, 0, 0, 0, nullptr, nullptr}};
const AFX_MSGMAP g_rootMap = {nullptr, &g_noEntries[0]};

} // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    return &g_rootMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* pMap, UINT message, WPARAM wParam,
                                                     LPARAM lParam)
{
    // Reflected commands and notifications are told apart by their code as well.
    const bool reflectedCommand = message == WM_REFLECT_BASE + WM_COMMAND;
    const bool reflectedNotify = message == WM_REFLECT_BASE + WM_NOTIFY;
    UINT code = 0;
    if (reflectedCommand)
        code = HIWORD(wParam);
    else if (reflectedNotify && lParam)
        code = reinterpret_cast<const NMHDR*>(lParam)->code;
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfn; ++e) {
            if (e->pnRegistered) {
                if (*e->pnRegistered == message && message != 0)
                    return e;
                continue;
            }
            if (e->nMessage != message)
                continue;
            if (reflectedCommand || reflectedNotify) {
                if (LOWORD(e->nCode) == LOWORD(code))
                    return e;
                continue;
            }
            if (e->nID == 0 && e->nCode == 0)
                return e;
        }
    }
    return nullptr;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindCommandEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID)
{
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfn; ++e)
            if (!e->pnRegistered && e->nMessage == nMsg && LOWORD(e->nCode) == LOWORD(nCode) &&
                nID >= e->nID && nID <= e->nLastID)
                return e;
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // A notification carries its message in the high word; commands and updates have none.
    UINT nMsg = WM_COMMAND;
    UINT code = static_cast<UINT>(nCode);
    if (code != CN_UPDATE_COMMAND_UI && HIWORD(code) != 0) {
        nMsg = HIWORD(code);
        code = LOWORD(code);
    }
    const AFX_MSGMAP_ENTRY* entry = FindCommandEntry(GetMessageMap(), nMsg, code, nID);
    if (!entry)
        return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pEntry = entry;
        return TRUE;
    }
    AFX_MSGCALL call{nMsg, 0, 0, nID, code, pExtra, 0};
    // The handler may delete this object: nothing of it is read afterwards.
    return entry->pfn(this, call);
}

void CCmdTarget::BeginWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(0);
}
