// The windowless pieces of the date-time field control: a numeric field, a list of names, a
// literal, the spin button and the drop-down button. A gadget never changes the date itself:
// it asks its control through GadgetNotify, and the control checks, decides and sets its value.
// One template family serves the toolkit's gadgets and the grid library's twins.
#pragma once

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/core/CObject.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "toolkit/datetime/wnd/DTTraits.h"

#include <vector>

class CDC;
template <class Traits> class SECDateTimeCtrl_T;

// What a gadget asks of its control.
enum DTGadgetAction {
    DTACT_STEP_UP = 1,
    DTACT_STEP_DOWN = 2,
    DTACT_SPIN_UP = 3,
    DTACT_SPIN_DOWN = 4,
    DTACT_DROPDOWN = 5,
    DTACT_TEST_VALUE = 6,
    DTACT_SET_VALUE = 7,
    DTACT_MINIMUM = 8,
    DTACT_MAXIMUM = 9,
    DTACT_TYPING = 10,
    DTACT_FIELD_FULL = 11,
};

// Gadget ids: the field types, and the two buttons.
constexpr int DTID_LITERAL = -1;
constexpr int DTID_DROPBUTTON = 16384;
constexpr int DTID_SPINBUTTON = 32768;

template <class Traits>
class SECDTGadget_T : public CObject {
public:
    using Ctrl = SECDateTimeCtrl_T<Traits>;
    enum Flags : UINT { Editable = 1, Mouse = 2, RightAligned = 4, ShowPrompt = 8 };

    SECDTGadget_T() = default;
    ~SECDTGadget_T() override;
    SECDTGadget_T(const SECDTGadget_T&) = delete;
    SECDTGadget_T& operator=(const SECDTGadget_T&) = delete;

    // The text the gadget shows (buttons show none).
    virtual void GetText(CString& str) const { str.Empty(); }
    virtual void CalcSize(CDC* pDC) = 0;
    virtual void Draw(CDC* pDC) = 0;
    virtual BOOL SetFocusState(BOOL bFocus);
    virtual void OnKeyDown(UINT) {}
    virtual void OnChar(UINT) {}
    virtual void OnLButtonDown(UINT, int, int) {}
    virtual void OnLButtonUp(UINT, int, int) {}
    virtual void OnMouseMove(UINT, int, int) {}
    virtual void OnCancelMode() {}
    virtual void OnTimer() {}
    virtual void OnSysColorChange() {}

    virtual BOOL Init(Ctrl* pCtrl, int nID);
    BOOL Notify(int nAction, int nValue);
    void Invalidate(BOOL bUpdateNow = FALSE);
    void CaptureMouse(BOOL bCapture);
    // Starting stops a timer still running, so no second timer can fire into a deleted gadget.
    void StartTimer(UINT nMilliseconds);
    void StopTimer();
    BOOL IsTimerRunning() const { return m_nTimer != 0; }
    // How many timers of this family are mapped to gadgets (for tests).
    static size_t MappedTimerCount();

    BOOL IsEditable() const { return (m_flags & Editable) != 0; }
    BOOL TakesMouse() const { return (m_flags & Mouse) != 0; }
    BOOL IsRightAligned() const { return (m_flags & RightAligned) != 0; }
    void SetValue(int n) { m_value = n; }
    int GetValue() const { return m_value; }
    void SetShowPrompt(BOOL b) { m_flags = b ? (m_flags | ShowPrompt) : (m_flags & ~ShowPrompt); }

    CRect m_rect;
    BOOL m_bFocus = FALSE;
    UINT m_flags = Editable;
    int m_id = DTID_LITERAL;
    int m_value = 0;
    Ctrl* m_pCtrl = nullptr;

protected:
    // The background and text colours of the field: the selection's when focused.
    void FieldColors(COLORREF& bk, COLORREF& text) const;

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR nID, DWORD);
    UINT_PTR m_nTimer = 0;
};

template <class Traits>
class SECDTStaticGadget_T : public SECDTGadget_T<Traits> {
public:
    SECDTStaticGadget_T() { this->m_flags = 0; }
    void SetText(const CString& str) { m_strText = str; }
    void GetText(CString& str) const override { str = m_strText; }
    void CalcSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    CString m_strText;
};

template <class Traits>
class SECDTNumericGadget_T : public SECDTGadget_T<Traits> {
public:
    void Configure(int nMin, int nMax, BOOL bZeroPad);
    void GetText(CString& str) const override;
    void CalcSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    BOOL SetFocusState(BOOL bFocus) override;
    void OnKeyDown(UINT nChar) override;
    void OnChar(UINT nChar) override;
    void OnCancelMode() override { Commit(); }
    // Takes the digits typed so far; FALSE when the control refused them.
    BOOL Commit();
    BOOL IsTyping() const { return m_bTyping; }
    int GetWidth() const { return m_nWidth; }
    BOOL IsZeroPadded() const { return m_bZeroPad; }

    int m_nMin = 0;
    int m_nMax = 99;
    int m_nWidth = 2;
    int m_nTyped = 0;
    int m_nDigits = 0;
    BOOL m_bTyping = FALSE;
    BOOL m_bZeroPad = FALSE;
};

template <class Traits>
class SECDTListGadget_T : public SECDTGadget_T<Traits> {
public:
    void SetNames(const std::vector<CString>& names) { m_names = names; }
    const std::vector<CString>& GetNames() const { return m_names; }
    void GetText(CString& str) const override;
    void CalcSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    BOOL SetFocusState(BOOL bFocus) override;
    void OnKeyDown(UINT nChar) override;
    void OnChar(UINT nChar) override;
    void OnCancelMode() override { EndSearch(); }
    void OnTimer() override { EndSearch(); }
    // The first allowed name from nStart (wrapping once) that begins with the prefix; -1 none.
    int Search(int nStart, const CString& strPrefix);
    void EndSearch();
    const CString& GetSearchPrefix() const { return m_strPrefix; }

    std::vector<CString> m_names;
    CString m_pending;      // bytes of a UTF-8 character still arriving
    CString m_strPrefix;
    BOOL m_bSearching = FALSE;
};

template <class Traits>
class SECDTSpinGadget_T : public SECDTGadget_T<Traits> {
public:
    SECDTSpinGadget_T() { this->m_flags = SECDTGadget_T<Traits>::Mouse; }
    void CalcSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    void OnLButtonUp(UINT nFlags, int x, int y) override;
    void OnMouseMove(UINT nFlags, int x, int y) override;
    void OnCancelMode() override;
    void OnTimer() override;
    // The step a repeat count gives: 1 up to 20 repeats, 2 up to 50, then 5.
    static int StepForRepeat(int nRepeat) { return nRepeat <= 20 ? 1 : (nRepeat <= 50 ? 2 : 5); }

    enum : UINT { UpPressed = 1, DownPressed = 2, TrackUp = 4, TrackDown = 8, FirstDelay = 16 };
    UINT m_state = 0;
    int m_nRepeat = 0;

private:
    int HalfAt(int x, int y) const;   // 1 upper, 2 lower, 0 none
};

template <class Traits>
class SECDTButtonGadget_T : public SECDTGadget_T<Traits> {
public:
    SECDTButtonGadget_T() { this->m_flags = SECDTGadget_T<Traits>::Mouse; }
    BOOL InitButton(typename SECDTGadget_T<Traits>::Ctrl* pCtrl, int nID, UINT nBitmapID);
    void CalcSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    void OnLButtonUp(UINT nFlags, int x, int y) override;
    void OnMouseMove(UINT nFlags, int x, int y) override;
    void OnCancelMode() override;
    void OnSysColorChange() override;

    CBitmap m_bitmap;
    UINT m_nBitmapID = 0;
    BOOL m_bPressed = FALSE;
    BOOL m_bCaptured = FALSE;
};

using SECDTGadget = SECDTGadget_T<SECDTTraits>;
using SECDTStaticGadget = SECDTStaticGadget_T<SECDTTraits>;
using SECDTNumericGadget = SECDTNumericGadget_T<SECDTTraits>;
using SECDTListGadget = SECDTListGadget_T<SECDTTraits>;
using SECDTSpinGadget = SECDTSpinGadget_T<SECDTTraits>;
using SECDTButtonGadget = SECDTButtonGadget_T<SECDTTraits>;
using CGXBDTGadget = SECDTGadget_T<CGXBDTTraits>;
using CGXBDTStaticGadget = SECDTStaticGadget_T<CGXBDTTraits>;
using CGXBDTNumericGadget = SECDTNumericGadget_T<CGXBDTTraits>;
using CGXBDTListGadget = SECDTListGadget_T<CGXBDTTraits>;
using CGXBDTSpinGadget = SECDTSpinGadget_T<CGXBDTTraits>;
using CGXBDTButtonGadget = SECDTButtonGadget_T<CGXBDTTraits>;
