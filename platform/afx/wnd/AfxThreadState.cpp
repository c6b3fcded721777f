#include "platform/afx/wnd/AfxThreadState.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/CImageList.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/gdi/GdiObjects.h"
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
    for (auto& [h, pObject] : m_gdiObjects.temporary) {
        pObject->m_hObject = nullptr;
        delete pObject;
    }
    for (auto& [h, pDC] : m_dcs.temporary) {
        pDC->m_hDC = nullptr;
        pDC->m_hAttribDC = nullptr;
        delete pDC;
    }
    for (auto& [h, pList] : m_imageLists.temporary) {
        pList->m_hImageList = nullptr;
        delete pList;
    }
}

AFX_THREAD_STATE* AfxGetThreadState()
{
    thread_local AFX_THREAD_STATE state;
    return &state;
}
