#include "platform/afx/wnd/AfxThreadState.h"

#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/wnd/CWnd.h"

AFX_THREAD_STATE::AFX_THREAD_STATE() = default;

AFX_THREAD_STATE::~AFX_THREAD_STATE()
{
    // Temporary objects die with their thread; permanent ones belong to their creators.
    for (auto& [h, pWnd] : m_windows.temporary) {
        pWnd->m_hWnd = nullptr;
        delete pWnd;
    }
    for (auto& [h, pMenu] : m_menus.temporary) {
        pMenu->m_hMenu = nullptr;
        delete pMenu;
    }
}

AFX_THREAD_STATE* AfxGetThreadState()
{
    thread_local AFX_THREAD_STATE state;
    return &state;
}
