// CDateTimeDlg: a page's date value, typed into a date field or picked on a month calendar.
#pragma once

#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"
#include "toolkit/datetime/wnd/SECCalendar.h"
#include "toolkit/datetime/wnd/SECDateTimeCtrl.h"

#include <functional>

class CDateTimeDlg : public CDialog {
public:
    enum { IDD = 151 };
    static constexpr UINT kIdDate = 153;
    static constexpr UINT kIdCalendar = 1071;

    explicit CDateTimeDlg(CWnd* pParent = nullptr);

    // The setting's name for the title (may be empty) and the page's value; the picture
    // becomes "yyyy/MM/dd" until SetFormat replaces it.
    void SetValue(const CString& strSettingName, const CString& strValue);
    void SetFormat(const CString& strPicture) { m_strPicture = strPicture; }
    // "" for a cleared date; the old value when the date was not touched.
    void GetValue(CString& strValue) const { strValue = m_strValue; }

    SECDateTimeCtrl& GetDateCtrl() { return m_dateCtrl; }
    SECCalendar& GetCalendar() { return m_calendar; }
    // The day the date field holds, which the calendar shows marked; null while it holds none.
    const COleDateTime& GetChosenDay() const { return m_calendar.m_chosen; }

protected:
    BOOL OnInitDialog() override;
    // OK takes a date typed in part once its day, month and year are there, the time it lacks
    // being midnight; without them it says what is missing and the dialog stays open. It never
    // gives an empty value for a date the user began to type.
    void OnOK() override;
    void OnHelp();
    LRESULT OnDayPicked(WPARAM wParam, LPARAM lParam);
    // The calendar shows the month of the year (and month) typed in the date field, and marks
    // the day once the field holds a whole date.
    void FollowTypedDate();
    // The whole date the field holds, typed in part (its time left out) or not; null when its
    // day, month or year is still missing.
    COleDateTime TypedDay();
    // 0 when the date field holds a whole date, typed or completed here; else the message was
    // shown and the field has the focus on what is missing.
    UINT CompleteTypedDate();

    // The date field, which tells the dialog of every change to its fields, a date typed in
    // part included.
    class CDateField : public SECDateTimeCtrl {
    public:
        BOOL GadgetNotify(int nAction, int nFieldType, int nValue) override;
        std::function<void()> m_onEdited;
    };

    // The calendar of the dialog: one of its Tab stops, it marks and highlights the day the date
    // field holds, and its arrows start from that day, or from the day it shows when the field
    // holds none.
    class CDayCalendar : public SECCalendar {
    public:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
        // Marks and highlights the day (and no other it marked); a day that is not valid leaves
        // none marked.
        void ShowChosenDay(const COleDateTime& day);
        COleDateTime m_chosen = NoDay();

    private:
        static COleDateTime NoDay();
    };

    DECLARE_MESSAGE_MAP()

private:
    CString m_strName;
    CString m_strValue;
    CString m_strOriginal;
    CString m_strPicture = "yyyy/MM/dd";
    BOOL m_bPicked = FALSE;
    CDateField m_dateCtrl;
    CDayCalendar m_calendar;
    CBitmapButton m_btnOk;
    CBitmapButton m_btnCancel;
    CBitmapButton m_btnHelp;
};
