#include "grid/core/CGXControlFactory.h"

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridMoveRowsColsImp.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/core/CGXLongOperationImp.h"
#include "grid/core/CGXStatic.h"
#include "grid/data/CGXCommandFactory.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

IMPLEMENT_DYNAMIC(CGXControlFactory, CObject)

namespace {
constexpr const char* kGridWndClass = "CGXGridWnd";
}

CGXControl* CGXControlFactory::CreateControl(UINT nID, CGXGridCore* pGrid)
{
    switch (nID) {
    case GX_IDS_CTRL_STATIC: return new CGXStatic(pGrid);
    default: return nullptr; // FIXME: the editing cells come with the cell-control library
    }
}

void CGXControlFactory::InitializeGridComponents(CGXGridCore* pGrid)
{
    if (pGrid == nullptr)
        return;
    // Undo and redo: the grid's command factory.
    if (pGrid->m_pUndoImp == nullptr) {
        auto* pUndo = new CGXCommandFactory;
        pGrid->m_pUndoImp = pUndo;
        pGrid->AddAutoDeleteImp(pUndo);
    }
    CGXGridUpdateHintImp::Install(pGrid);
    CGXGridMoveRowsColsImp::Install(pGrid);
}

void CGXControlFactory::InitializeApplicationComponents()
{
    CGXLongOperationImp::Install();
    CGXDrawRotatedTextImp::Install();
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
