// Makes the date-time and currency cells known to the grid's control factory when the program
// starts, so that the grid itself needs to know nothing of them.
#include "grid/core/CGXControlFactory.h"
#include "platform/win/WinUser.h"
#include "toolkit/datetime/cells/CGXCurrencyEdit.h"
#include "toolkit/datetime/cells/CGXDateTimeCtrl.h"
#include "toolkit/datetime/wnd/SECDateTimeCtrl.h"

extern "C" {
// Referenced by the link options of the library, so that a program keeps this registration.
int vostrel_datetime_cells_anchor = 0;
}

namespace {

CGXControl* MakeDateTime(UINT nID, CGXGridCore* pGrid)
{
    auto* cell = new CGXDateTimeCtrl(pGrid, nID);
    const DWORD style = WS_CHILD | (nID == GX_IDS_CTRL_DATETIME ? (SEC_DTS_CALENDAR | SEC_DTS_UPDOWN) : SEC_DTS_UPDOWN);
    cell->CreateControl(style, nullptr);
    cell->m_dwStyle = style;
    return cell;
}

CGXControl* MakeCurrency(UINT nID, CGXGridCore* pGrid)
{
    auto* cell = new CGXCurrencyEdit(pGrid, nID);
    cell->CreateEditWindows(WS_CHILD);
    return cell;
}

struct Registrar {
    Registrar()
    {
        GXRegisterControlCreator(GX_IDS_CTRL_DATETIME, &MakeDateTime);
        GXRegisterControlCreator(GX_IDS_CTRL_DATETIMENOCAL, &MakeDateTime);
        GXRegisterControlCreator(GX_IDS_CTRL_CURRENCY, &MakeCurrency);
    }
} g_registrar;

} // namespace
