// CGXPrintDeviceImp: the library-wide feature through which grid views print on their
// document's printer: the print dialog starts from the printer chosen for the document and keeps
// the new choice there, and printing is prepared on it.
#pragma once

#include "platform/core/CObject.h"

class CGXPrintDevice;
class CPrintDialog;
class CView;
struct CPrintInfo;

class CGXPrintDeviceImp : public CObject {
    DECLARE_DYNAMIC(CGXPrintDeviceImp)
public:
    // Makes the library's one feature object unless there is one.
    static void Install();

    // Runs the dialog on the device's printer (the application's when the document has none);
    // IDOK when the user chose, and the device then keeps the choice.
    virtual INT_PTR DoPrintDialog(CGXPrintDevice* pDevice, CPrintDialog* pPD);
    // Asks for (or, for preview and direct printing, takes) the printer and makes its device
    // context; FALSE when the user cancelled or no printer could be had.
    virtual BOOL DoPreparePrinting(CView* pView, CGXPrintDevice* pDevice, CPrintInfo* pInfo);
};
