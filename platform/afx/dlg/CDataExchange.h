// CDataExchange: one pass of dialog data exchange between a window's controls and its members,
// with the DDX_ functions that move one value and the DDV_ functions that check one.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;        // TRUE: controls to members, checking; FALSE: members to controls
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;   // the control the last DDX_ worked on
    BOOL m_bEditLastControl = FALSE;    // ... and whether it was an edit
    int m_idLastControl = 0;

    // The control of an id, remembered as the one a failure goes back to. A missing control is
    // a program error: it is reported and the exchange fails.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Ends the exchange after a refused value, whose message was shown: the focus (and, in an
    // edit, the selection of the whole text) goes back to the failing control, and a
    // CUserException is thrown, which UpdateData catches.
    [[noreturn]] void Fail();
};

// Shows one of the data exchange's messages (with its %1, %2 filled in) over the dialog.
void AfxDataExchangeMessage(CDataExchange* pDX, UINT nIDPrompt, LPCTSTR lpsz1 = nullptr, LPCTSTR lpsz2 = nullptr);

// ---- Moving values ----
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);   // DWORD too
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
// A check box's state: 0, 1 or (three-state) 2.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The index of the checked radio button of the group starting at nIDC; -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Subclasses the control into rControl on the first exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value);

// ---- Checking values (after the DDX_ of the same control) ----
// Refuses a longer text; on loading, limits the edit to nChars.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal);
