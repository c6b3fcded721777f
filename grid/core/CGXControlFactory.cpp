#include "grid/core/CGXControlFactory.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXLongOperationImp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

IMPLEMENT_DYNAMIC(CGXControlFactory, CObject)

namespace {
constexpr const char* kGridWndClass = "CGXGridWnd";
}

CGXControl* CGXControlFactory::CreateControl(UINT, CGXGridCore*)
{
    return nullptr;
}

void CGXControlFactory::InitializeGridComponents(CGXGridCore*) {}

void CGXControlFactory::InitializeApplicationComponents()
{
    CGXLongOperationImp::Install();
}

void CGXControlFactory::RegisterWndClasses(HINSTANCE hInstance)
{
    WNDCLASS wc{};
    if (GetClassInfo(hInstance, kGridWndClass, &wc))
        return;
    // The grid window's class: a framework window, so its messages reach the grid's handlers.
    wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = kGridWndClass;
    AfxRegisterClass(&wc);
}

void CGXControlFactory::UnregisterWndClasses(HINSTANCE hInstance)
{
    UnregisterClass(kGridWndClass, hInstance);
}

void GXInitControlFactory(DWORD, DWORD, DWORD)
{
    InitGridLibrary(new CGXControlFactory);
}
