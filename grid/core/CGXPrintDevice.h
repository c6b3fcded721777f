// CGXPrintDevice: the printer a grid's document prints on: the settings and names of the printer
// chosen in the print dialog or in print setup, kept with the parameter object so that every
// view of the document prints the same way. Without a choice the application's printer is used.
#pragma once

#include "platform/core/CObject.h"
#include "platform/win/GdiTypes.h"

struct PRINTDLG;

class CGXPrintDevice : public CObject {
    DECLARE_DYNCREATE(CGXPrintDevice)
public:
    CGXPrintDevice() = default;
    ~CGXPrintDevice() override;
    CGXPrintDevice(const CGXPrintDevice&) = delete;
    CGXPrintDevice& operator=(const CGXPrintDevice&) = delete;

    // A printer was chosen for this document.
    BOOL HasPrinter() const { return m_hDevNames != nullptr; }
    // Hands copies of the chosen printer's blocks to a print dialog (its old blocks freed);
    // FALSE, with the dialog untouched, when none was chosen.
    BOOL GetPrinter(PRINTDLG& pd) const;
    // Keeps copies of the printer a dialog ended with; FALSE when it names none.
    BOOL SetPrinter(const PRINTDLG& pd);
    void ResetPrinter();

private:
    HGLOBAL m_hDevMode = nullptr;
    HGLOBAL m_hDevNames = nullptr;
};
