// How the currency edit shows a number and reads one back: symbol, separators, patterns, digit
// counts, fill character and colours, with parsing, formatting and the cell's stored text.
// The currency edit names this class CGXBCurrencyEdit::Format; it needs no window.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CGXBCurrencyFormat {
public:
    // Locale construction reads the user's currency settings; plain construction takes "$",
    // "3;0", ',' and '.', pattern 0 and two fraction digits.
    enum class Source { Defaults, Locale };

    explicit CGXBCurrencyFormat(Source source = Source::Defaults);
    CGXBCurrencyFormat(const CGXBCurrencyFormat& other) = default;
    CGXBCurrencyFormat& operator=(const CGXBCurrencyFormat& other) = default;
    virtual ~CGXBCurrencyFormat() = default;

    // A display text into a magnitude and a sign. Empty text is 0. FALSE, with both outputs
    // unchanged, for a text without digits, unbalanced brackets, digits or separators outside
    // the number, a malformed number, more than 15 integer digits or a value that overflows.
    virtual BOOL ParseValue(LPCTSTR pszText, double* pMagnitude, BOOL* pNegative) const;
    // A magnitude (its sign is ignored; the sign travels in bNegative) into display text.
    virtual void FormatValue(double dMagnitude, CString& strText, BOOL bNegative) const;
    // Index of the last separator (the decimal separator when chSeparator is 0), or -1.
    virtual int FindDecimalSeparator(LPCTSTR pszText, char chSeparator = 0) const;
    // The digit run inside a display text, walking left from its last digit.
    virtual BOOL FindNumber(LPCTSTR pszText, int* pFirst, int* pLast) const;
    virtual CGXBCurrencyFormat& Assign(const CGXBCurrencyFormat& other);
    virtual BOOL IsEqual(const CGXBCurrencyFormat& other) const;
    virtual BOOL IsNotEqual(const CGXBCurrencyFormat& other) const { return !IsEqual(other); }

    // The value as a cell stores it: the integer digit limit applied, sign in front, '.' as
    // the point whatever the separators, the fraction digit count of decimals.
    CString FormatStoredValue(double dMagnitude, BOOL bNegative) const;
    // Reads a stored value ("-1234.50"; no grouping, '.' only). The same refusals as
    // ParseValue; this is also how a calculator's result text is taken.
    static BOOL ParseStoredValue(LPCTSTR pszText, double* pMagnitude, BOOL* pNegative);

    BOOL GetLeadingZero() const { return m_bLeadingZero; }
    void SetLeadingZero(BOOL b) { m_bLeadingZero = b ? TRUE : FALSE; }
    BOOL GetDecimalLine() const { return m_bDecimalLine; }
    void SetDecimalLine(BOOL b) { m_bDecimalLine = b ? TRUE : FALSE; }
    BOOL GetNoTruncation() const { return m_bNoTruncation; }
    void SetNoTruncation(BOOL b) { m_bNoTruncation = b ? TRUE : FALSE; }
    BOOL GetPadBeforeGrouping() const { return m_bPadBeforeGrouping; }
    void SetPadBeforeGrouping(BOOL b) { m_bPadBeforeGrouping = b ? TRUE : FALSE; }
    const CString& GetCurrencySymbol() const { return m_strSymbol; }
    void SetCurrencySymbol(LPCTSTR psz) { m_strSymbol = psz ? psz : ""; }
    const CString& GetGrouping() const { return m_strGrouping; }
    void SetGrouping(LPCTSTR psz) { m_strGrouping = psz ? psz : ""; }
    char GetThousandsSeparator() const { return m_chThousands; }
    char GetDecimalSeparator() const { return m_chDecimal; }
    // The decimal separator must be a visible ASCII character other than a digit; the thousands
    // separator likewise or 0 (no grouping), and different from the decimal one. Anything else
    // would read back a different number (two equal separators turn 1234 into 1.234), so the
    // pair falls back to ',' and '.' and FALSE is returned.
    BOOL SetSeparators(char chThousands, char chDecimal);
    char GetFillChar() const { return m_chFill; }
    // Any character but the digits 1 to 9; FALSE leaves the fill character as it was.
    BOOL SetFillChar(char ch);
    // Pattern indexes outside their tables (0..3, 0..15) become 0.
    int GetPositivePattern() const { return m_nPositivePattern; }
    void SetPositivePattern(int n);
    int GetNegativePattern() const { return m_nNegativePattern; }
    void SetNegativePattern(int n);
    // -1 (unlimited) or 1..15: anything below 1 is unlimited, anything above 15 is 15 (a double
    // holds no more digits faithfully).
    int GetIntegerDigits() const { return m_nIntegerDigits; }
    void SetIntegerDigits(int n);
    // 0..15, clamped.
    int GetFractionDigits() const { return m_nFractionDigits; }
    void SetFractionDigits(int n);

    // Each colour getter returns FALSE until its setter was called.
    void SetBackgroundColor(COLORREF cr);
    BOOL GetBackgroundColor(COLORREF& cr) const;
    void SetNegativeColor(COLORREF cr);
    BOOL GetNegativeColor(COLORREF& cr) const;
    void SetPositiveColor(COLORREF cr);
    BOOL GetPositiveColor(COLORREF& cr) const;
    COLORREF GetDecimalLineColor() const { return m_crDecimalLine; }
    // The edit window sets the current button-shadow colour here; the model knows no colours.
    void SetDecimalLineColor(COLORREF cr) { m_crDecimalLine = cr; }

private:
    BOOL m_bLeadingZero = TRUE;
    BOOL m_bDecimalLine = FALSE;
    BOOL m_bNoTruncation = FALSE;
    BOOL m_bPadBeforeGrouping = FALSE;
    CString m_strSymbol;
    CString m_strGrouping;
    char m_chThousands = ',';
    char m_chDecimal = '.';
    char m_chFill = ' ';
    COLORREF m_crBackground = 0;
    COLORREF m_crNegative = 0;
    COLORREF m_crPositive = 0;
    COLORREF m_crDecimalLine = 0x808080; // button shadow of the standard scheme
    DWORD m_dwColorsSet = 0;
    int m_nPositivePattern = 0;
    int m_nNegativePattern = 0;
    int m_nIntegerDigits = -1;
    int m_nFractionDigits = 2;
};
