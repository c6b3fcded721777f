// CGXNoOleDateTimeImp: the grid library's date-time feature: it keeps the locale's order of day,
// month and year and its date and time separators, read at start-up and again whenever the
// system's settings change. The date cells do not ask it: they read and write their dates
// through COleDateTime in the user's locale.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CGXNoOleDateTimeImp : public CObject {
    DECLARE_DYNAMIC(CGXNoOleDateTimeImp)
public:
    // The order of a short date's parts, as the locale gives it.
    enum DateOrder : int { monthDayYear = 0, dayMonthYear = 1, yearMonthDay = 2 };

    // Makes the library's one feature object unless there is one, and reads the locale.
    static void Install();

    CGXNoOleDateTimeImp() { UpdateDateTimeLocale(); }
    // Reads the locale's date order and separators again.
    virtual void UpdateDateTimeLocale();

    DateOrder GetDateOrder() const { return m_nDateOrder; }
    const CString& GetDateSeparator() const { return m_sDateSeparator; }
    const CString& GetTimeSeparator() const { return m_sTimeSeparator; }
    // How many times the locale was read, start-up included.
    int GetReadCount() const { return m_nReads; }

private:
    DateOrder m_nDateOrder = monthDayYear;
    CString m_sDateSeparator = "/";
    CString m_sTimeSeparator = ":";
    int m_nReads = 0;
};
