// The date-time control's editing engine: the one entry point through which gadgets ask for
// changes, the field editors that turn a request into a candidate date, the range check that
// may clamp a candidate, and the completion of a null date entered field by field.
#include "toolkit/datetime/wnd/SECDateTimeCtrl.h"

#include "toolkit/datetime/wnd/DTSupport.h"

#include <algorithm>

namespace {

// The value projected as the validation mode compares it.
COleDateTime Project(const COleDateTime& d, int mode)
{
    DateFields f;
    if (!OleDateToFields(d, f))
        return d;
    COleDateTime out;
    if (mode == 1)
        out.SetDateTime(1899, 12, 30, f.nHour, f.nMinute, f.nSecond);
    else if (mode == 2)
        out.SetDateTime(f.nYear, f.nMonth, f.nDay, 0, 0, 0);
    else
        out = d;
    return out;
}

bool Before(const COleDateTime& a, const COleDateTime& b)
{
    return (b - a).GetTotalSeconds() > 0.5;
}

// Builds a date; a day the month lacks is reduced one at a time, down to 28.
bool BuildReducingDay(COleDateTime& out, int y, int m, int d, int h, int mi, int s)
{
    if (y < 100 || y > 9999)
        return false;
    for (;;) {
        if (out.SetDateTime(y, m, d, h, mi, s) == COleDateTime::valid)
            return true;
        if (d <= 28)
            return false;
        --d;
    }
}

} // namespace

template <class Traits>
int SECDateTimeCtrl_T<Traits>::GetCentury(int nCurrentYear, int nTyped)
{
    return ((nCurrentYear - nTyped + 50) / 100) * 100;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::OnChanging(const COleDateTime&)
{
    return TRUE;
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::OnChanged()
{
    Notify(Traits::kGridFamily ? SEC_DTN_SETFOCUS : SEC_DTN_CHANGED);
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::IsValidDate(const COleDateTime& date) const
{
    if (!DTIsInRange(date))
        return FALSE;
    if (m_nValidation == NoValidation)
        return TRUE;
    if (m_nValidation < NoValidation || m_nValidation > DateTimeValidation)
        return FALSE;
    const COleDateTime p = Project(date, m_nValidation);
    return !Before(p, m_minDate) && !Before(m_maxDate, p);
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::ValidateDate(COleDateTime& date, int nFix)
{
    if (m_nValidation == NoValidation)
        return DTIsInRange(date);
    if (IsValidDate(date))
        return TRUE;
    if (nFix == 0 || !DTIsInRange(date))
        return FALSE;
    const COleDateTime p = Project(date, m_nValidation);
    const COleDateTime& bound = Before(p, m_minDate) ? m_minDate : m_maxDate;
    DateFields d, b;
    if (!OleDateToFields(date, d) || !OleDateToFields(bound, b))
        return FALSE;
    // The projection decides which fields the bound speaks for.
    if (m_nValidation == TimeValidation) {
        b.nYear = d.nYear;
        b.nMonth = d.nMonth;
        b.nDay = d.nDay;
    } else if (m_nValidation == DateValidation) {
        b.nHour = d.nHour;
        b.nMinute = d.nMinute;
        b.nSecond = d.nSecond;
    }
    // Fields from the edited one upwards must already be the bound's; those below follow it.
    int* df[6] = {&d.nSecond, &d.nMinute, &d.nHour, &d.nDay, &d.nMonth, &d.nYear};
    const int* bf[6] = {&b.nSecond, &b.nMinute, &b.nHour, &b.nDay, &b.nMonth, &b.nYear};
    // Indexes: 0 second, 1 minute, 2 hour, 3 day, 4 month, 5 year; fix -1 takes all six.
    const int first = nFix < 0 ? 6 : std::min(nFix, 6);
    for (int i = first; i < 6; ++i)
        if (*df[i] != *bf[i])
            return FALSE;
    for (int i = 0; i < first; ++i)
        *df[i] = *bf[i];
    COleDateTime rebuilt;
    if (rebuilt.SetDateTime(d.nYear, d.nMonth, d.nDay, d.nHour, d.nMinute, d.nSecond) != COleDateTime::valid)
        return FALSE;
    if (!IsValidDate(rebuilt))
        return FALSE;
    date = rebuilt;
    return TRUE;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::SetMinMax(const COleDateTime& minDate, const COleDateTime& maxDate, int nMode)
{
    if (minDate.GetStatus() != COleDateTime::valid || maxDate.GetStatus() != COleDateTime::valid)
        return FALSE;
    const COleDateTime lo = Project(minDate, nMode);
    const COleDateTime hi = Project(maxDate, nMode);
    // Compared after projecting: a time range that crosses midnight is no range of times.
    if (Before(hi, lo))
        return FALSE;
    m_minDate = lo;
    m_maxDate = hi;
    m_nValidation = nMode;
    if (!m_partial.active && m_datetime.GetStatus() == COleDateTime::valid) {
        COleDateTime value = m_datetime;
        if (!ValidateDate(value, -1))
            return FALSE;
        m_datetime = value;
    }
    if (m_hWnd) {
        RefreshFields(kDateFieldAll);
        Invalidate();
    }
    return TRUE;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::InstallValue(const COleDateTime& value)
{
    const COleDateTime old = m_datetime;
    m_datetime = value;
    RefreshFields(old.GetStatus() == COleDateTime::valid ? ChangedFieldMask(old, value) : kDateFieldAll);
    return TRUE;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::SetDateTime(const COleDateTime& value)
{
    if (value.GetStatus() != COleDateTime::valid)
        return FALSE;
    if (!m_hWnd) {
        m_datetime = value;
        m_partial.active = FALSE;
        return TRUE;
    }
    if (m_partial.active) {
        m_partial.active = FALSE;
        m_datetime = value;
        RefreshFields(kDateFieldAll);
    } else {
        InstallValue(value);
    }
    Invalidate();
    return TRUE;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::SetNullDate(char chPrompt)
{
    m_chPrompt = chPrompt;
    m_datetime.SetStatus(COleDateTime::null);
    m_partial.Reset();
    m_partial.active = TRUE;
    m_partial.present = 0;
    for (const auto& g : m_gadgets)
        m_partial.present |= PartialBit(g->m_id);
    if (m_hWnd) {
        RefreshFields(kDateFieldAll);
        Invalidate();
    }
    return TRUE;
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::StorePartial(int nFieldType, int nValue)
{
    switch (nFieldType) {
    case kDateFieldHour12: case kDateFieldHour24: m_partial.hour = nValue; break;
    case kDateFieldAmPm: m_partial.hour = nValue; break;
    case kDateFieldMinute: m_partial.minute = nValue; break;
    case kDateFieldSecond: m_partial.second = nValue; break;
    case kDateFieldYear2: case kDateFieldYear4: m_partial.year = nValue; break;
    case kDateFieldMonth: case kDateFieldMonthName: m_partial.month = nValue; break;
    case kDateFieldDay: m_partial.day = nValue; break;
    case kDateFieldDayName: m_partial.dayOfWeek = nValue; break;
    default: return;
    }
    m_partial.unset &= static_cast<WORD>(~PartialBit(nFieldType));
    // Once its day, month and year are there the weekday is that date's, shown at once, not the
    // one typed before them or none until the time is typed too.
    COleDateTime day;
    if (!(m_partial.unset & (PD_YEAR | PD_MONTH | PD_DAY)) &&
        day.SetDate(m_partial.year, m_partial.month, m_partial.day) == COleDateTime::valid &&
        ((m_partial.unset & PD_DOW) || m_partial.dayOfWeek != day.GetDayOfWeek())) {
        m_partial.dayOfWeek = day.GetDayOfWeek();
        m_partial.unset &= static_cast<WORD>(~PD_DOW);
        RefreshFields(kDateFieldDayName);
    }
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::CompleteNullDate(BOOL bFromUser)
{
    if (!m_partial.active)
        return FALSE;
    if (m_partial.unset & m_partial.present & ~PD_DOW)
        return FALSE;
    COleDateTime date;
    const bool exists = date.SetDateTime(m_partial.year, m_partial.month, m_partial.day, m_partial.hour,
                                         m_partial.minute, m_partial.second) == COleDateTime::valid;
    if (exists && IsValidDate(date) && (!bFromUser || OnChanging(date))) {
        m_datetime = date;
        m_partial.active = FALSE;
        RefreshFields(kDateFieldAll);
        if (bFromUser) {
            m_nState |= Modified;
            OnChanged();
        }
        if (m_hWnd)
            Invalidate();
        return TRUE;
    }
    m_datetime.SetStatus(COleDateTime::invalid);
    return FALSE;
}

template <class Traits>
int SECDateTimeCtrl_T<Traits>::TypedYear(int nFieldType, int nTyped, int nCurrentYear) const
{
    const int systemYear = DTGetCurrentTime().GetYear();
    if (nFieldType == kDateFieldYear4) {
        if (m_partial.active && nTyped < 100)
            return (systemYear / 100) * 100 + nTyped;
        return nTyped;
    }
    if (Traits::kGridFamily) {
        const int base = nCurrentYear > 0 ? nCurrentYear : systemYear;
        return (base / 100) * 100 + nTyped;
    }
    const DWORD style = m_hWnd ? GetStyle() : 0;
    if (style & SEC_DTS_Y2K_NOFIX) {
        const int base = nCurrentYear > 0 ? nCurrentYear : systemYear;
        return (base / 100) * 100 + nTyped;
    }
    const int ref = (nCurrentYear > 0 && (style & SEC_DTS_Y2K_CONTEXT)) ? nCurrentYear : systemYear;
    return const_cast<SECDateTimeCtrl_T*>(this)->GetCentury(ref, nTyped) + nTyped;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::GadgetNotify(int nAction, int nFieldType, int nValue)
{
    if (nAction == DTACT_TYPING) {
        m_nState = nValue ? (m_nState | Typing) : (m_nState & ~Typing);
        return TRUE;
    }
    if (nAction == DTACT_FIELD_FULL) {
        if (!m_bFastInput)
            return FALSE;
        MoveField(1);
        return TRUE;
    }
    if (nFieldType == DTID_DROPBUTTON) {
        DropDown();
        return TRUE;
    }
    if (nFieldType == DTID_SPINBUTTON) {
        Gadget* current = GetCurrentGadget();
        if (!current || current->m_id <= 0 || current->m_id >= DTID_DROPBUTTON)
            return FALSE;
        return GadgetNotify(nAction, current->m_id, nValue);
    }
    switch (nFieldType) {
    case kDateFieldHour12: case kDateFieldHour24: case kDateFieldMinute: case kDateFieldSecond:
    case kDateFieldAmPm: case kDateFieldDay: case kDateFieldDayName: case kDateFieldMonth:
    case kDateFieldMonthName: case kDateFieldYear2: case kDateFieldYear4:
        return EditField(nFieldType, nAction, nValue);
    default:
        return FALSE;
    }
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::InstallCandidate(COleDateTime& candidate, int nFix, int nAction)
{
    if (!ValidateDate(candidate, nFix))
        return FALSE;
    if (nAction == DTACT_TEST_VALUE)
        return TRUE;
    if (!OnChanging(candidate))
        return FALSE;
    InstallValue(candidate);
    m_nState |= Modified;
    OnChanged();
    if (m_hWnd)
        UpdateWindow();
    return TRUE;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::EditField(int nType, int nAction, int nValue)
{
    const bool null = m_partial.active;
    DateFields f;
    if (null) {
        const COleDateTime now = DTGetCurrentTime();
        auto part = [&](WORD bit, int value, int fromNow) { return (m_partial.unset & bit) ? -fromNow - 1 : value; };
        // An unset field reads as -(now's part) - 1, so that a step can start from now.
        f.nHour = part(PD_HOUR, m_partial.hour, now.GetHour());
        f.nMinute = part(PD_MINUTE, m_partial.minute, now.GetMinute());
        f.nSecond = part(PD_SECOND, m_partial.second, now.GetSecond());
        f.nYear = part(PD_YEAR, m_partial.year, now.GetYear());
        f.nMonth = part(PD_MONTH, m_partial.month, now.GetMonth());
        f.nDay = part(PD_DAY, m_partial.day, now.GetDay());
        f.nDayOfWeek = part(PD_DOW, m_partial.dayOfWeek, now.GetDayOfWeek());
    } else if (!OleDateToFields(m_datetime, f)) {
        return FALSE;
    }
    const bool step = nAction == DTACT_STEP_UP || nAction == DTACT_STEP_DOWN || nAction == DTACT_SPIN_UP ||
                      nAction == DTACT_SPIN_DOWN;
    const bool up = nAction == DTACT_STEP_UP || nAction == DTACT_SPIN_UP;
    const int n = (nAction == DTACT_SPIN_UP || nAction == DTACT_SPIN_DOWN) ? std::max(1, nValue) : 1;
    const bool typed = nAction == DTACT_TEST_VALUE || nAction == DTACT_SET_VALUE;
    if (!step && !typed && nAction != DTACT_MINIMUM && nAction != DTACT_MAXIMUM)
        return FALSE;
    auto stepOf = [&](int current, int count, int lo, int hi) {
        if (current < 0)   // an empty field steps to the current part, no more
            return -current - 1;
        const int span = hi - lo + 1;
        const int delta = up ? count : -count;
        return lo + ((current - lo + delta) % span + span) % span;
    };
    int value = 0;
    int fix = 0;
    int y = f.nYear, m = f.nMonth, d = f.nDay, h = f.nHour, mi = f.nMinute, s = f.nSecond;
    switch (nType) {
    case kDateFieldHour12:
    case kDateFieldHour24:
        fix = 2;
        if (step) {
            value = stepOf(h, std::min(n, 2), 0, 23);
        } else if (typed) {
            if (nType == kDateFieldHour24) {
                if (nValue < 0 || nValue > 23)
                    return FALSE;
                value = nValue;
            } else {
                if (nValue < 1 || nValue > 12)
                    return FALSE;
                // The half comes from the value; the AM/PM choice only serves null entry.
                const bool pm = null ? (m_bPM != FALSE) : h >= 12;
                value = nValue % 12 + (pm ? 12 : 0);
            }
        } else {
            value = nAction == DTACT_MINIMUM ? 0 : 23;
            fix = 3;
        }
        h = value;
        break;
    case kDateFieldMinute:
    case kDateFieldSecond: {
        int& field = nType == kDateFieldMinute ? mi : s;
        fix = nType == kDateFieldMinute ? 1 : 0;
        if (step) {
            value = stepOf(field, std::min(n, 2), 0, 59);
        } else if (typed) {
            if (nValue < 0 || nValue > 59)
                return FALSE;
            value = nValue;
        } else {
            value = nAction == DTACT_MINIMUM ? 0 : 59;
            ++fix;
        }
        field = value;
        break;
    }
    case kDateFieldAmPm: {
        fix = 2;
        const int hour = h < 0 ? -h - 1 : h;
        bool pm = hour >= 12;
        if (step)
            pm = !pm;
        else if (typed) {
            if (nValue != 0 && nValue != 1)
                return FALSE;
            pm = nValue == 1;
        } else
            pm = nAction == DTACT_MAXIMUM;
        if (nAction != DTACT_TEST_VALUE)
            m_bPM = pm ? TRUE : FALSE;
        if (null && h < 0) {
            // Without an hour the choice waits for one.
            RefreshFields(kDateFieldAmPm);
            return TRUE;
        }
        value = hour % 12 + (pm ? 12 : 0);
        h = value;
        break;
    }
    case kDateFieldDay: {
        fix = 3;
        const int last = (y > 0 && m > 0) ? DTDaysInMonth(y, m) : 31;
        if (step) {
            if (d < 0) {
                value = -d - 1;
            } else if (up) {
                value = d + std::min(n, 2);
                if (value > (last ? last : 31))
                    value = 1;
            } else {
                value = d - std::min(n, 2);
                if (value < 1)
                    value = 31;
            }
        } else if (typed) {
            if (nValue < 1 || nValue > 31)
                return FALSE;
            if (!null && (y < 100 || nValue > last))
                return FALSE;
            value = nValue;
        } else {
            value = nAction == DTACT_MINIMUM ? 1 : 31;
            fix = 4;
        }
        if (!null && last)
            value = std::min(value, last);
        d = value;
        break;
    }
    case kDateFieldDayName: {
        fix = 3;
        if (null) {
            if (step)
                value = f.nDayOfWeek < 0 ? -f.nDayOfWeek - 1 : stepOf(f.nDayOfWeek, 1, 1, 7);
            else if (typed) {
                if (nValue < 0 || nValue > 6)
                    return FALSE;
                value = nValue + 1;
            } else
                value = nAction == DTACT_MINIMUM ? 1 : 7;
            break;
        }
        int days = 0;
        if (step)
            days = up ? std::min(n, 2) : -std::min(n, 2);
        else if (typed) {
            if (nValue < 0 || nValue > 6)
                return FALSE;
            days = nValue + 1 - f.nDayOfWeek;
        } else {
            days = (nAction == DTACT_MINIMUM ? 1 : 7) - f.nDayOfWeek;
            fix = 4;
        }
        COleDateTime candidate = m_datetime + COleDateTimeSpan(days, 0, 0, 0);
        if (!DTIsInRange(candidate))
            return FALSE;
        return InstallCandidate(candidate, fix, nAction);
    }
    case kDateFieldMonth:
    case kDateFieldMonthName:
        fix = 4;
        if (step) {
            value = stepOf(m, 1, 1, 12);
        } else if (typed) {
            value = nType == kDateFieldMonthName ? nValue + 1 : nValue;
            if (value < 1 || value > 12)
                return FALSE;
        } else {
            value = nAction == DTACT_MINIMUM ? 1 : 12;
            fix = 5;
        }
        m = value;
        break;
    case kDateFieldYear2:
    case kDateFieldYear4:
        fix = 5;
        if (step) {
            if (y < 0)
                value = -y - 1;
            else
                value = std::clamp(up ? y + n : y - n, 100, 9999);
        } else if (typed) {
            if (nValue < 0 || nValue > (nType == kDateFieldYear2 ? 99 : 9999))
                return FALSE;
            value = TypedYear(nType, nValue, y > 0 ? y : 0);
            if (null && (value < m_minDate.GetYear() || value > m_maxDate.GetYear()))
                return FALSE;
            if (value < 100 || value > 9999)
                return FALSE;
        } else {
            value = nAction == DTACT_MINIMUM ? m_minDate.GetYear() : m_maxDate.GetYear();
        }
        y = value;
        break;
    default:
        return FALSE;
    }

    if (null) {
        if (nAction == DTACT_TEST_VALUE)
            return TRUE;
        StorePartial(nType, value);
        if (nType == kDateFieldHour12 || nType == kDateFieldHour24 || nType == kDateFieldAmPm)
            RefreshFields(kDateFieldHour12 | kDateFieldHour24 | kDateFieldAmPm);
        else
            RefreshFields(nType);
        m_nState |= Modified;
        CompleteNullDate(TRUE);
        return TRUE;
    }
    COleDateTime candidate;
    if (!BuildReducingDay(candidate, y, m, d, h, mi, s))
        return FALSE;
    return InstallCandidate(candidate, fix, nAction);
}

template class SECDateTimeCtrl_T<SECDTTraits>;
template class SECDateTimeCtrl_T<CGXBDTTraits>;
