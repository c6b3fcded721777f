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
#include "grid/core/CGXGridOldDrawingImp.h"
#include "grid/core/CGXGridOptimizedUpdateImp.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXLongOperationImp.h"
#include "grid/core/CGXNoOleDateTimeImp.h"
#include "grid/core/CGXPrintDeviceImp.h"
#include "grid/core/CGXStatic.h"
#include "grid/data/CGXCommandFactory.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <array>
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

void InstallCommandFactory(CGXGridCore* pGrid)
{
    if (pGrid->m_pUndoImp != nullptr)
        return;
    auto* pUndo = new CGXCommandFactory;
    pGrid->m_pUndoImp = pUndo;
    pGrid->AddAutoDeleteImp(pUndo);
}

void InstallAutoScroll(CGXGridCore* pGrid)
{
    CGXAutoScrollPlugin::Install(pGrid);
}

constexpr size_t kGridFeatures = static_cast<size_t>(GXGridFeature::Count);
constexpr size_t kAppFeatures = static_cast<size_t>(GXAppFeature::Count);

// The engine fills the slots of the features it carries itself; the rest stay empty until a
// feature library fills them.
std::array<GXGridFeatureInstaller, kGridFeatures>& GridInstallers()
{
    static std::array<GXGridFeatureInstaller, kGridFeatures> slots = [] {
        std::array<GXGridFeatureInstaller, kGridFeatures> a{};
        a[static_cast<size_t>(GXGridFeature::AutoScroll)] = &InstallAutoScroll;
        a[static_cast<size_t>(GXGridFeature::UpdateHints)] = &CGXGridUpdateHintImp::Install;
        a[static_cast<size_t>(GXGridFeature::CommandFactory)] = &InstallCommandFactory;
        a[static_cast<size_t>(GXGridFeature::OldDrawing)] = &CGXGridOldDrawingImp::Install;
        a[static_cast<size_t>(GXGridFeature::OptimizedUpdate)] = &CGXGridOptimizedUpdateImp::Install;
        return a;
    }();
    return slots;
}

std::array<GXAppFeatureInstaller, kAppFeatures>& AppInstallers()
{
    static std::array<GXAppFeatureInstaller, kAppFeatures> slots = [] {
        std::array<GXAppFeatureInstaller, kAppFeatures> a{};
        a[static_cast<size_t>(GXAppFeature::LongOperation)] = &CGXLongOperationImp::Install;
        a[static_cast<size_t>(GXAppFeature::DateTime)] = &CGXNoOleDateTimeImp::Install;
        a[static_cast<size_t>(GXAppFeature::PrinterSettings)] = &CGXPrintDeviceImp::Install;
        return a;
    }();
    return slots;
}

} // namespace

GXGridFeatureInstaller GXSetGridFeatureInstaller(GXGridFeature feature, GXGridFeatureInstaller pfnInstall)
{
    const auto n = static_cast<size_t>(feature);
    if (n >= kGridFeatures)
        return nullptr;
    const GXGridFeatureInstaller pfnOld = GridInstallers()[n];
    GridInstallers()[n] = pfnInstall;
    return pfnOld;
}

GXGridFeatureInstaller GXGetGridFeatureInstaller(GXGridFeature feature)
{
    const auto n = static_cast<size_t>(feature);
    return n < kGridFeatures ? GridInstallers()[n] : nullptr;
}

GXAppFeatureInstaller GXSetAppFeatureInstaller(GXAppFeature feature, GXAppFeatureInstaller pfnInstall)
{
    const auto n = static_cast<size_t>(feature);
    if (n >= kAppFeatures)
        return nullptr;
    const GXAppFeatureInstaller pfnOld = AppInstallers()[n];
    AppInstallers()[n] = pfnInstall;
    return pfnOld;
}

GXAppFeatureInstaller GXGetAppFeatureInstaller(GXAppFeature feature)
{
    const auto n = static_cast<size_t>(feature);
    return n < kAppFeatures ? AppInstallers()[n] : nullptr;
}

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
    // A slot is read each time, so a feature library filled after start-up still reaches the
    // grids made from then on. Each Install creates its object only once.
    for (const GXGridFeatureInstaller pfnInstall : GridInstallers())
        if (pfnInstall != nullptr)
            pfnInstall(pGrid);
    // Services of the engine that every grid needs, outside the list of features.
    CGXGridMoveRowsColsImp::Install(pGrid);
    CGXCalcSizeImp::Install(pGrid);
    CGXDrawSpannedCellsImp::Install(pGrid);
}

void CGXControlFactory::InitializeApplicationComponents()
{
    for (const GXAppFeatureInstaller pfnInstall : AppInstallers())
        if (pfnInstall != nullptr)
            pfnInstall();
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
