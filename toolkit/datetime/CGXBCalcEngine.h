// The calculator's arithmetic without its window: the entry being typed, one accumulator, one
// pending operator evaluated strictly left to right, percent, the display limits and the error
// state. The calculator window owns one, feeds it button and key commands and paints its text.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

// Command ids of the calculator's buttons.
constexpr UINT GXCALC_MULTIPLY = 1;
constexpr UINT GXCALC_ADD = 2;
constexpr UINT GXCALC_SUBTRACT = 3;
constexpr UINT GXCALC_DIVIDE = 4;
constexpr UINT GXCALC_PERCENT = 5;
constexpr UINT GXCALC_EQUALS = 6;
constexpr UINT GXCALC_CLEAR = 7;
constexpr UINT GXCALC_CLEARENTRY = 8;
constexpr UINT GXCALC_DIGIT0 = 9; // 9..18 are the digits 0..9
constexpr UINT GXCALC_DIGIT9 = 18;
constexpr UINT GXCALC_POINT = 19;
constexpr UINT GXCALC_BACKSPACE = 20;

class CGXBCalcEngine {
public:
    // What a command did: its result (0 when it did not apply) and whether it was refused
    // audibly, which the window answers with a beep.
    struct Outcome {
        BOOL bResult = FALSE;
        bool bBeep = false;
    };

    CGXBCalcEngine() = default;

    // Runs one button command; an unknown id does nothing and returns 0.
    Outcome OnCalcCommand(UINT nID);
    // "C": accumulator 0, empty entry, no pending operator, no error.
    void Reset();
    // Resets and shows the value as a result; a value that cannot be shown is an error.
    void SetValue(double dValue);

    // The command a typed character or a key presses, 0 for none (characters are matched
    // case-insensitively, as the buttons' key lists are lower case).
    static UINT CommandForChar(char ch);
    static UINT CommandForKey(UINT nVirtKey);

    // How many "0" digits the display holds; limits the digits typed and shown. Also lowers the
    // decimals shown to fit.
    void SetMaxDigits(int nDigits);
    int GetMaxDigits() const { return m_maxDigits; }
    int GetMaxDecimals() const { return m_maxDecimals; }

    BOOL IsError() const { return m_bError; }
    double GetValue() const { return m_value; }
    UINT GetPendingOp() const { return m_pendingOp; }
    const CString& GetEntry() const { return m_strEntry; }
    // The display line outside the error state: the entry, "0." when it is empty, with a "."
    // appended when it has none. In the error state the window shows its error text instead.
    CString GetDisplayText() const;

private:
    Outcome Digit(int digit);
    Outcome Point();
    Outcome Backspace();
    Outcome Operator(UINT op);
    void ShowAccumulator();

    double m_value = 0.0;
    UINT m_pendingOp = 0;
    BOOL m_bNewEntry = TRUE;
    BOOL m_bError = FALSE;
    int m_maxDecimals = 15;
    // Until a window measures its display, only the calculator's own digit limits apply.
    int m_maxDigits = 16;
    CString m_strEntry;
};
