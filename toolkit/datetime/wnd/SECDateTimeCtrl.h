// The date-time field control: one date and time shown as a row of separately editable fields
// built from a format picture, with optional spin and drop-down buttons at the right edge. Every
// change a field asks for is checked against a minimum, a maximum and a validation mode before
// it is taken; the control can also hold no date (the null date, shown as prompt characters)
// and build one as the fields are filled. One template serves SECDateTimeCtrl and the grid
// library's CGXBDateTimeCtrl (no null date, Tab between fields, its own messages and colours).
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/core/COleDateTime.h"
#include "toolkit/datetime/OleDateFields.h"
#include "toolkit/datetime/wnd/SECCalendar.h"
#include "toolkit/datetime/wnd/SECDTGadget.h"

#include <memory>
#include <vector>

struct CCreateContext;

// Control styles (low word of the window style).
constexpr DWORD SEC_DTS_CALENDAR = 0x0001;
constexpr DWORD SEC_DTS_UPDOWN = 0x0002;
constexpr DWORD SEC_DTS_Y2K_NOFIX = 0x0010;
constexpr DWORD SEC_DTS_Y2K_CONTEXT = 0x0020;

// No-edit mask bits.
constexpr UINT SEC_DTNE_YEAR = 1;
constexpr UINT SEC_DTNE_MONTH = 2;
constexpr UINT SEC_DTNE_DAY = 4;
constexpr UINT SEC_DTNE_HOUR = 8;
constexpr UINT SEC_DTNE_MINUTE = 16;
constexpr UINT SEC_DTNE_SECOND = 32;

// Notification codes sent to the parent in WM_COMMAND.
constexpr UINT SEC_DTN_SETFOCUS = 0x100;
constexpr UINT SEC_DTN_KILLFOCUS = 0x200;
constexpr UINT SEC_DTN_CHANGED = 0x300;

template <class Traits>
class SECDateTimeCtrl_T : public CWnd {
public:
    using Gadget = SECDTGadget_T<Traits>;
    using NumericGadget = SECDTNumericGadget_T<Traits>;
    using ListGadget = SECDTListGadget_T<Traits>;
    using StaticGadget = SECDTStaticGadget_T<Traits>;
    using SpinGadget = SECDTSpinGadget_T<Traits>;
    using ButtonGadget = SECDTButtonGadget_T<Traits>;
    using PopupCalendar = SECPopupCalendar_T<Traits>;

    enum FormatType { Time = 0, ShortDate = 1, LongDate = 2, Custom = 3 };
    enum ValidationMode { NoValidation = 0, TimeValidation = 1, DateValidation = 2, DateTimeValidation = 3 };
    enum StateFlags : UINT { Modified = 1, Typing = 4 };

    // The fields entered so far while the value is null.
    struct PartialDate {
        WORD unset = 0;
        WORD present = 0;
        BOOL active = FALSE;
        int hour = 0, minute = 0, second = 0;
        int year = 1899, month = 12, day = 1;
        int dayOfWeek = 1;
        void Reset()
        {
            unset = 0x7F;
            hour = minute = second = 0;
            year = 1899;
            month = 12;
            day = 1;
            dayOfWeek = 1;
        }
    };
    // Partial-date bits.
    enum : WORD { PD_HOUR = 1, PD_MINUTE = 2, PD_SECOND = 4, PD_YEAR = 8, PD_MONTH = 16, PD_DAY = 32, PD_DOW = 64 };

    SECDateTimeCtrl_T();
    ~SECDateTimeCtrl_T() override;

    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    BOOL AttachToDlgItem(UINT nItemID, CWnd* pDialog, DWORD dwControlStyle, DWORD dwWindowStyle, DWORD dwExStyle);
    void SetCustomFormat(LPCTSTR pszPicture);
    void SetFormatType(int nType);
    void GetFormatString(CString& str) const;
    int GetFormatType() const { return m_nFormatType; }
    BOOL SetDateTime(const COleDateTime& value);
    const COleDateTime& GetDateTime() const { return m_datetime; }
    BOOL SetNullDate(char chPrompt = '_');
    BOOL IsNullEntry() const { return m_partial.active; }
    BOOL SetMinMax(const COleDateTime& minDate, const COleDateTime& maxDate, int nMode);
    void GetMinMax(COleDateTime& minDate, COleDateTime& maxDate) const { minDate = m_minDate; maxDate = m_maxDate; }
    int GetValidationMode() const { return m_nValidation; }
    BOOL IsValidDate(const COleDateTime& date) const;
    void SetNoEditMask(UINT nMask);
    UINT GetNoEditMask() const { return m_nNoEdit; }
    // Setters of the two input options; both take effect from the next key or focus change.
    void SetFastInput(BOOL b) { m_bFastInput = b; }
    BOOL GetFastInput() const { return m_bFastInput; }
    void SetTabBetweenFields(BOOL b) { m_bTabFields = b; }
    BOOL GetTabBetweenFields() const { return m_bTabFields; }
    BOOL IsModified() const { return (m_nState & Modified) != 0; }
    void SetModified(BOOL b) { m_nState = b ? (m_nState | Modified) : (m_nState & ~Modified); }

    virtual BOOL ValidateDate(COleDateTime& date, int nFix);
    virtual BOOL OnChanging(const COleDateTime& newDate);
    virtual void OnChanged();
    virtual void ParseFormat();
    virtual int GetCentury(int nCurrentYear, int nTyped);
    virtual void LayoutGadgets();
    virtual void Draw(CDC* pDC);
    virtual void DropDown();
    virtual PopupCalendar* CreatePopupCalendar() { return new PopupCalendar; }
    virtual BOOL GadgetNotify(int nAction, int nFieldType, int nValue);
    virtual void AdjustMonthName(CString&) {}
    virtual void AdjustDayName(CString&) {}

    // ---- Services of the gadgets ----
    void InvalidateGadget(const Gadget* pGadget, BOOL bUpdateNow);
    void CaptureGadget(Gadget* pGadget, BOOL bCapture);
    char GetPromptChar() const { return m_chPrompt; }
    COLORREF GetBkColor() const { return m_bkColor; }
    COLORREF GetTextColor() const { return m_textColor; }
    BOOL HasFocus() const;

    // ---- State for the owner and tests ----
    int GetGadgetCount() const { return static_cast<int>(m_gadgets.size()); }
    Gadget* GetGadget(int i) const { return m_gadgets[static_cast<size_t>(i)].get(); }
    int GetCurrentField() const { return m_nCurrent; }
    Gadget* GetCurrentGadget() const;
    BOOL SetCurrentField(int nIndex);
    int FirstEditableField() const;
    int LastEditableField() const;
    BOOL IsFirstEditableField() const { return m_nCurrent == FirstEditableField(); }
    BOOL IsLastEditableField() const { return m_nCurrent == LastEditableField(); }
    // The concatenated field texts as the window text gives them ("" unless valid).
    CString GetFieldText() const;
    BOOL PictureHasDateToken() const { return m_bDateToken; }
    PopupCalendar* GetPopupCalendar() const { return m_pPopup.get(); }
    int GetScrollOffset() const { return m_nScroll; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void Rebuild();
    void RefreshFields(int nMask);
    void ClearFieldGadgets();
    void AddGadget(std::unique_ptr<Gadget> pGadget);
    void MakeVisible(int nIndex);
    int HitTest(POINT pt) const;
    void Notify(UINT nCode);
    void MoveField(int nDirection);
    void OnPaint();
    void OnKeyDown(UINT nChar);
    void OnChar(UINT nChar);
    void OnLButtonDown(UINT nFlags, POINT pt);
    void OnSetFocus();
    void OnKillFocus();
    void OnCalendarOK();
    void CloseCalendar();
    // Field editing: one field changed by an action, then validated and installed.
    BOOL EditField(int nFieldType, int nAction, int nValue);
    BOOL InstallCandidate(COleDateTime& candidate, int nFix, int nAction);
    BOOL InstallValue(const COleDateTime& value);
    BOOL CompleteNullDate(BOOL bFromUser);
    // A field entered while the value is null; once day, month and year are there the weekday
    // shown is theirs.
    void StorePartial(int nFieldType, int nValue);
    int TypedYear(int nFieldType, int nTyped, int nCurrentYear) const;
    static WORD PartialBit(int nFieldType);

public:
    UINT m_nState = 0;
    UINT m_nNoEdit = 0;
    BOOL m_bFastInput = Traits::kGridFamily ? TRUE : FALSE;
    BOOL m_bTabFields = Traits::kGridFamily ? TRUE : FALSE;
    BOOL m_bAskParentColors = Traits::kGridFamily ? FALSE : TRUE;
    COleDateTime m_datetime;
    COleDateTime m_minDate;
    COleDateTime m_maxDate;
    int m_nValidation = NoValidation;
    int m_nFormatType = ShortDate;
    CString m_strCustomFormat;
    HFONT m_hFont = nullptr;
    int m_nCurrent = 0;
    int m_nScroll = 0;
    int m_nButtonWidth = 0;
    int m_nButtons = 0;
    Gadget* m_pCapture = nullptr;
    std::unique_ptr<PopupCalendar> m_pPopup;
    char m_chPrompt = '_';
    BOOL m_bPM = FALSE;
    COLORREF m_bkColor = 0xFFFFFF;
    COLORREF m_textColor = 0;
    int m_nDisabledBk = COLOR_BTNFACE;
    int m_nDisabledText = COLOR_GRAYTEXT;
    UINT m_nButtonBitmap = Traits::kDropButtonBitmap;
    PartialDate m_partial;
    BOOL m_bDateToken = FALSE;
    std::vector<std::unique_ptr<Gadget>> m_gadgets;
};

using SECDateTimeCtrl = SECDateTimeCtrl_T<SECDTTraits>;
using CGXBDateTimeCtrl = SECDateTimeCtrl_T<CGXBDTTraits>;
