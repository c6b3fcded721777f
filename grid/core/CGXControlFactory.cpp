#include "grid/core/CGXControlFactory.h"

#include "grid/core/CGXAutoScrollPlugin.h"
#include "grid/core/CGXDrawSpannedCellsImp.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXCalcSizeImp.h"
#include "grid/core/CGXCheckBox.h"
#include "grid/core/CGXComboBox.h"
#include "grid/core/CGXEditControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXHeader.h"
#include "grid/core/CGXHotSpotEdit.h"
#include "grid/core/CGXPushbutton.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridMoveRowsColsImp.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXLongOperationImp.h"
#include "grid/core/CGXStatic.h"
#include "grid/data/CGXCommandFactory.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

IMPLEMENT_DYNAMIC(CGXControlFactory, CObject)

namespace {

std::map<UINT, GXControlCreator>& ControlCreators()
{
    static std::map<UINT, GXControlCreator> creators;
    return creators;
}

} // namespace

void GXRegisterControlCreator(UINT nID, GXControlCreator pfnCreate)
{
    if (pfnCreate)
        ControlCreators()[nID] = pfnCreate;
    else
        ControlCreators().erase(nID);
}

CGXControl* CGXControlFactory::CreateControl(UINT nID, CGXGridCore* pGrid)
{
    switch (nID) {
    case GX_IDS_CTRL_STATIC: return new CGXStatic(pGrid);
    case GX_IDS_CTRL_EDIT:
    case GX_IDS_CTRL_SCROLLEDIT: return new CGXEditControl(pGrid, nID);
    case GX_IDS_CTRL_HOTSPOT: return new CGXHotSpotEdit(pGrid, nID);
    case GX_IDS_CTRL_CBS_NOTEXTFIT: return new CGXComboBox(pGrid, nID);
    case GX_IDS_CTRL_CBS_DROPDOWNLIST: return new CGXComboBoxWnd(pGrid, nID);
    case GX_IDS_CTRL_CHECKBOX3D: return new CGXCheckBox(pGrid);
    case GX_IDS_CTRL_PUSHBTN: return new CGXPushbutton(pGrid);
    case GX_IDS_CTRL_HEADER: return new CGXHeader(pGrid);
    default: {
        const auto it = ControlCreators().find(nID);
        return it != ControlCreators().end() ? it->second(nID, pGrid) : nullptr;
    }
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
    CGXAutoScrollPlugin::Install(pGrid);
    CGXCalcSizeImp::Install(pGrid);
    CGXDrawSpannedCellsImp::Install(pGrid);
}

void CGXControlFactory::InitializeApplicationComponents()
{
    CGXLongOperationImp::Install();
    CGXDrawRotatedTextImp::Install();
}

static std::vector<std::pair<GXWndClassFn, GXWndClassFn>>& WndClassRegistrars()
{
    static std::vector<std::pair<GXWndClassFn, GXWndClassFn>> registrars;
    return registrars;
}

void GXAddWndClassRegistrar(GXWndClassFn pfnRegister, GXWndClassFn pfnUnregister)
{
    auto& all = WndClassRegistrars();
    const auto pair = std::make_pair(pfnRegister, pfnUnregister);
    if (std::find(all.begin(), all.end(), pair) == all.end())
        all.push_back(pair);
}

void CGXControlFactory::RegisterWndClasses(HINSTANCE hInstance)
{
    // The grid window's class: a window made by class name (a dialog's control) gets its own
    // grid object on its first message.
    CGXGridWnd::RegisterWndClass(hInstance);
    for (const auto& [pfnRegister, pfnUnregister] : WndClassRegistrars())
        if (pfnRegister != nullptr)
            pfnRegister(hInstance);
}

void CGXControlFactory::UnregisterWndClasses(HINSTANCE hInstance)
{
    CGXGridWnd::UnregisterWndClass(hInstance);
    for (const auto& [pfnRegister, pfnUnregister] : WndClassRegistrars())
        if (pfnUnregister != nullptr)
            pfnUnregister(hInstance);
}

void GXInitControlFactory(DWORD, DWORD, DWORD)
{
    InitGridLibrary(new CGXControlFactory);
}
