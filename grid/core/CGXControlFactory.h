// CGXControlFactory: the grid library's factory: it makes the cell control for a control id,
// installs each grid's features as the grid is made and the application-wide features once,
// and registers the window classes of the grid window and the sheet tabs. The library owns
// the one factory (see InitGridLibrary) and deletes it through its virtual destructor.
#pragma once

#include "platform/core/CObject.h"

class CGXControl;
class CGXGridCore;

class CGXControlFactory : public CObject {
    DECLARE_DYNAMIC(CGXControlFactory)
public:
    CGXControlFactory() = default;
    ~CGXControlFactory() override = default;
    CGXControlFactory(const CGXControlFactory&) = delete;
    CGXControlFactory& operator=(const CGXControlFactory&) = delete;

    // A new control of the id bound to the grid (the grid owns it), or null for an id this
    // factory does not make.
    virtual CGXControl* CreateControl(UINT nID, CGXGridCore* pGrid);
    // Runs inside the engine's constructor: installs the grid's features.
    virtual void InitializeGridComponents(CGXGridCore* pGrid);
    // Runs once at library start-up: installs the application-wide features.
    virtual void InitializeApplicationComponents();
    virtual void RegisterWndClasses(HINSTANCE hInstance);
    virtual void UnregisterWndClasses(HINSTANCE hInstance);
};

// Cell controls that libraries beside the grid supply: a creator registered for a control id
// makes the control when the factory does not know the id itself. Registering again replaces
// the creator; null removes it.
using GXControlCreator = CGXControl* (*)(UINT nID, CGXGridCore* pGrid);
void GXRegisterControlCreator(UINT nID, GXControlCreator pfnCreate);

// Window classes that libraries beside the grid supply (the sheet-tab window and its beam): the
// factory registers and unregisters them with its own classes. Adding a pair again does nothing.
using GXWndClassFn = void (*)(HINSTANCE hInstance);
void GXAddWndClassRegistrar(GXWndClassFn pfnRegister, GXWndClassFn pfnUnregister);

// The per-grid features, in the order in which the factory installs them as a grid is made.
// Libraries above the engine fill the slots of the features they build; an empty slot is a
// feature the grid goes without.
enum class GXGridFeature : int {
    FindReplace,
    HideCells,
    AutoScroll,
    ResizeToFit,
    UpdateHints,
    CommandFactory,
    Sort,
    OldDrawing,
    CoveredCells,
    MergeCells,
    FloatCells,
    Print,
    UserSelectRange,
    ExcelLikeFrame,
    UserDragSelectRange,
    UserResizeCells,
    OptimizedUpdate,
    MarkEditHeader,
    FreezeMenuHelper,
    DirectCopyMoveCells,
    TextDataExchange,
    StyleDataExchange,
    CutPaste,
    ClearCells,
    ExcelLikeFill,
    Count
};
using GXGridFeatureInstaller = void (*)(CGXGridCore* pGrid);
// Fills (or, with null, empties) a feature's slot; the previous installer is returned.
GXGridFeatureInstaller GXSetGridFeatureInstaller(GXGridFeature feature, GXGridFeatureInstaller pfnInstall);
GXGridFeatureInstaller GXGetGridFeatureInstaller(GXGridFeature feature);

// The library-wide features: one object each for the whole program, kept by the library's
// shared data and installed once at start-up, in this order, after the engine's own.
enum class GXAppFeature : int {
    LongOperation,
    NumberFormatting,
    DateTime,
    StyleSerialization,
    Profile,
    ParamCopy,
    PrinterSettings,
    CoveredCellPool,
    SpanCellPool,
    DelayedRangePool,
    SortMoveData,
    CellBlockCopyMove,
    Count
};
using GXAppFeatureInstaller = void (*)();
GXAppFeatureInstaller GXSetAppFeatureInstaller(GXAppFeature feature, GXAppFeatureInstaller pfnInstall);
GXAppFeatureInstaller GXGetAppFeatureInstaller(GXAppFeature feature);

// The application's start-up of the grid library: makes the factory and starts the library with
// it. The three values choose optional parts of the library; this program uses none of them.
void GXInitControlFactory(DWORD dwValue1 = 0, DWORD dwValue2 = 0, DWORD dwValue3 = 0);
