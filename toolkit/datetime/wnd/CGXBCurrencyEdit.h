// The grid library's currency edit: a single-line window that always shows a formatted currency
// value and edits its digits in place. Digits are typed into the formatted text, the text is
// parsed and formatted again after every change, and the caret goes back beside the digit the
// user was working on. The window text is the only text store; the control draws text,
// selection and caret itself, answers the edit messages itself, and its drop-down button opens
// the pop-up calculator.
#pragma once

#include "toolkit/datetime/CGXBCurrencyFormat.h"
#include "toolkit/datetime/wnd/CGXBDropEdit.h"

#include <memory>

class CMenu;

// Notification codes to the parent, as an edit sends them.
constexpr UINT GXCUR_EN_SETFOCUS = 0x100;
constexpr UINT GXCUR_EN_KILLFOCUS = 0x200;
constexpr UINT GXCUR_EN_CHANGE = 0x300;
constexpr UINT GXCUR_EN_UPDATE = 0x400;

class CGXBCurrencyEdit : public CGXBDropEdit {
public:
    using Format = CGXBCurrencyFormat;

    struct UndoRecord {
        CString text;
        int caret = -1;
        int selStart = -1;
        int selEnd = 0;
    };

    CGXBCurrencyEdit();
    ~CGXBCurrencyEdit() override;

    // Registers the window class on first use; FALSE when it cannot be registered.
    static BOOL RegisterClass();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetValue(double dValue, BOOL bRedraw = TRUE);
    void GetValue(double& dValue) const { dValue = m_bNegative ? -m_dMagnitude : m_dMagnitude; }
    double GetMagnitude() const { return m_dMagnitude; }
    BOOL IsNegative() const { return m_bNegative; }
    void SetFormat(const Format& format);
    void GetFormat(Format& format) const { format.Assign(*m_pFormat); }
    const Format& GetFormatRef() const { return *m_pFormat; }
    void SetAlignment(int nAlign);
    int GetAlignment() const;
    BOOL IsReadOnly() const;
    void SetReadOnly(BOOL bReadOnly);
    BOOL SetSel(int nStart, int nEnd);
    void SelectAll() { SetSel(0, -1); }
    void SaveUndoState(LPCTSTR pszText, int nCaret);
    BOOL CanUndo() const { return m_bCanUndo; }
    int GetCaret() const { return m_nCaret; }
    BOOL HasSelection() const { return m_nAnchor != -1 && m_nAnchor != m_nSelEnd; }
    BOOL IsOverwrite() const { return m_bOverwrite; }
    CString GetText() const;
    void SetAppendInFraction(BOOL b) { m_bAppendInFraction = b; }
    BOOL GetAppendInFraction() const { return m_bAppendInFraction; }
    void SetPadBeforeGrouping(BOOL b) { m_bPadBeforeGrouping = b; }
    BOOL GetPadBeforeGrouping() const { return m_bPadBeforeGrouping; }

    void Undo();
    void Cut();
    void Copy();
    void Paste();
    void Clear();

    virtual BOOL ShowCalculator();
    virtual void PreparePaste(CString& strText);
    virtual CMenu* CreateContextMenu();
    virtual void DestroyContextMenu(CMenu* pMenu);
    virtual void BackspaceChar();
    virtual void DeleteChar();
    virtual void InsertText(LPCTSTR pszText);
    virtual void PaintBackground(CDC* pDC);
    virtual void CreateEditCaret(int nPos);
    virtual void DestroyEditCaret();
    virtual void DrawDecimalLine(CDC* pDC, int x);
    virtual void ToggleSign();
    virtual void ToggleInsertMode() { m_bOverwrite = !m_bOverwrite; }
    void OnButtonClicked() override { ShowCalculator(); }

    // The character under a client point (the text length when none is).
    int CharFromPoint(CPoint pt);
    // Moves the caret; with bUpdateSelection Shift or a mouse drag extends the selection.
    void SetCaretPosition(int nPos, BOOL bUpdateSelection);
    // The text rectangle: where the text is drawn and the caret stands.
    CRect GetTextRect(CDC* pDC);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Sets the value and shows it formatted; nothing when it is already the value.
    void SetValueInternal(double dMagnitude, BOOL bNegative, BOOL bRedraw);
    // Sets a text through the parsing path; TRUE when the text shown changed.
    BOOL ApplyText(const CString& strText);
    void SetTextUnparsed(const CString& strText);
    void NotifyParent(UINT nCode);
    // The selection as an ordered range (everything for select-all); FALSE without one.
    BOOL SelRange(int& nMin, int& nMax) const;
    BOOL SelectionCoversNumber(const CString& text) const;
    void ClearSelection();
    void OnPaint();
    BOOL OnKeyDown(UINT nChar);
    BOOL OnSysKeyDown(UINT nChar);
    void OnChar(UINT nChar);
    LRESULT OnSetText(LPCTSTR pszText);
    void UpdateCaretPos();

public:
    BOOL m_bAppendInFraction = FALSE;
    BOOL m_bPadBeforeGrouping = FALSE;
    BOOL m_bNegative = FALSE;
    BOOL m_bCanUndo = FALSE;
    BOOL m_bParseOnSetText = TRUE;
    BOOL m_bRedraw = TRUE;
    BOOL m_bMouseSelecting = FALSE;
    BOOL m_bOverwrite = FALSE;
    UndoRecord m_undo;
    double m_dMagnitude = 0.0;
    std::unique_ptr<Format> m_pFormat;
    HFONT m_hFont = nullptr;
    int m_nCaret = 0;
    int m_nAnchor = -1;
    int m_nSelEnd = 0;
    int m_nRightMargin = 0;
    int m_nLeftMargin = 0;
};
