// Currency texts are built and read with the C runtime kept in the "C" locale: numbers are
// printed and scanned with '.', and the format's own separators are swapped in and out around
// that, so stored values never depend on the user's settings.
#include "toolkit/datetime/CGXBCurrencyFormat.h"

#include "platform/core/Locale.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr int kMaxCurrencyDigits = 15;
constexpr int kMaxFractionDigits = 15;

struct Pattern {
    const char* prefix;
    const char* suffix;
};

// "%s" stands for the currency symbol.
constexpr Pattern kPositive[4] = {{"%s", ""}, {"", "%s"}, {"%s ", ""}, {"", " %s"}};
constexpr Pattern kNegative[16] = {
    {"(%s", ")"}, {"-%s", ""},   {"%s-", ""},    {"%s", "-"},   {"(", "%s)"},  {"-", "%s"},
    {"", "-%s"},  {"", "%s-"},   {"-", " %s"},   {"-%s ", ""},  {"", " %s-"},  {"%s ", "-"},
    {"%s -", ""}, {"", "- %s"},  {"(%s ", ")"},  {"(", " %s)"}};

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

bool IsSeparatorChar(char ch)
{
    return ch > ' ' && ch < 0x7F && !IsDigit(ch);
}

std::string ExpandSymbol(const char* part, const CString& symbol)
{
    std::string out(part);
    const auto at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, symbol.GetString());
    return out;
}

// Fixed notation with '.' whatever the locale; large enough for any double at 15 decimals.
std::string Fixed(double value, int decimals)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("0");
}

// A locale item as text, or the fallback when the locale has none.
std::string LocaleText(LCTYPE type, const char* fallback)
{
    const int needed = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (needed < 1)
        return fallback;
    std::string text(static_cast<size_t>(needed), '\0');
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text.data(), needed) < 1)
        return fallback;
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return text.empty() ? fallback : text;
}

int LocaleNumber(LCTYPE type, int fallback)
{
    const std::string text = LocaleText(type, "");
    return text.empty() ? fallback : std::atoi(text.c_str());
}

// Keeps only the leading n integer digits of a magnitude (12345.67 with n = 3 is 123.67).
double CutToIntegerDigits(double magnitude, int digits)
{
    if (magnitude == 0.0 || digits == -1)
        return magnitude;
    const int exponent = static_cast<int>(std::log10(magnitude));
    const int excess = exponent - (digits - 1);
    if (exponent == 0 || excess <= 0)
        return magnitude;
    const double whole = std::trunc(magnitude);
    return (magnitude - whole) + std::trunc(whole / std::trunc(std::pow(10.0, excess)));
}

// Integer and fraction digits (separators already removed) into a magnitude; refuses more than
// 15 significant integer digits and anything that does not come out finite.
bool DigitsToValue(const std::string& integer, const std::string& fraction, double& value)
{
    const auto significant = integer.find_first_not_of('0');
    if (significant != std::string::npos && integer.size() - significant > kMaxCurrencyDigits)
        return false;
    std::string number = integer.empty() ? std::string("0") : integer;
    if (!fraction.empty())
        number += "." + fraction;
    double parsed = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size() ||
        !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool AllDigits(const std::string& text)
{
    for (char ch : text)
        if (!IsDigit(ch))
            return false;
    return true;
}

} // namespace

CGXBCurrencyFormat::CGXBCurrencyFormat(Source source) : m_strSymbol("$"), m_strGrouping("3;0")
{
    if (source != Source::Locale)
        return;
    m_bLeadingZero = LocaleNumber(LOCALE_ILZERO, 1) ? TRUE : FALSE;
    m_strSymbol = LocaleText(LOCALE_SCURRENCY, "$").c_str();
    m_strGrouping = LocaleText(LOCALE_SMONGROUPING, "3;0").c_str();
    SetSeparators(LocaleText(LOCALE_SMONTHOUSANDSEP, ",")[0],
                  LocaleText(LOCALE_SMONDECIMALSEP, ".")[0]);
    SetPositivePattern(LocaleNumber(LOCALE_ICURRENCY, 0));
    SetNegativePattern(LocaleNumber(LOCALE_INEGCURR, 0));
    // The integer digit count stays unlimited: the locale's digit item counts fraction digits of
    // plain numbers, and taking it as an integer limit would cut 1234.5 to 12.50.
    SetFractionDigits(LocaleNumber(LOCALE_ICURRDIGITS, 2));
}

int CGXBCurrencyFormat::FindDecimalSeparator(LPCTSTR pszText, char chSeparator) const
{
    if (!pszText)
        return -1;
    const char separator = chSeparator ? chSeparator : m_chDecimal;
    if (!separator)
        return -1;
    // Separators are ASCII, and no byte of a multi-byte UTF-8 sequence is, so a byte search
    // from the right finds only whole characters.
    const std::string_view text(pszText);
    const auto at = text.rfind(separator);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

BOOL CGXBCurrencyFormat::FindNumber(LPCTSTR pszText, int* pFirst, int* pLast) const
{
    int first = -1, last = -1;
    const std::string_view text(pszText ? pszText : "");
    for (int i = static_cast<int>(text.size()) - 1; i >= 0; --i) {
        if (IsDigit(text[i])) {
            last = i;
            break;
        }
    }
    if (last >= 0) {
        first = last;
        bool separatorSeen = false;
        for (int i = last - 1; i >= 0; --i) {
            const char ch = text[i];
            if (IsDigit(ch)) {
            } else if (m_chThousands && ch == m_chThousands) {
                separatorSeen = true;
            } else if (m_chDecimal && ch == m_chDecimal && !separatorSeen) {
                separatorSeen = true;
            } else {
                break;
            }
            first = i;
        }
    }
    if (pFirst)
        *pFirst = first;
    if (pLast)
        *pLast = last;
    return last >= 0;
}

BOOL CGXBCurrencyFormat::ParseValue(LPCTSTR pszText, double* pMagnitude, BOOL* pNegative) const
{
    std::string_view text(pszText ? pszText : "");
    if (text.empty()) {
        if (pMagnitude)
            *pMagnitude = 0.0;
        if (pNegative)
            *pNegative = FALSE;
        return TRUE;
    }
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    const std::string trimmed(text);

    bool negative = false;
    const bool open = trimmed.find('(') != std::string::npos;
    const bool close = trimmed.find(')') != std::string::npos;
    if (open != close)
        return FALSE;
    negative = open;

    int first = -1, last = -1;
    if (!FindNumber(trimmed.c_str(), &first, &last))
        return FALSE;
    const std::string prefix = trimmed.substr(0, static_cast<size_t>(first));
    const std::string suffix = trimmed.substr(static_cast<size_t>(last) + 1);
    const std::string number = trimmed.substr(static_cast<size_t>(first),
                                               static_cast<size_t>(last - first + 1));

    // Digits or separators left outside the number mean the text held more than one number
    // ("1.2.3", "12 34", "5."); reading only the last run would silently change the value.
    // Thousands separators before the number are exempt (fill characters padded before grouping
    // get grouped, "**,**5.00"), and so is a blank one after it (the patterns put blanks between
    // number and symbol).
    for (char ch : prefix) {
        if (IsDigit(ch) || (m_chDecimal && ch == m_chDecimal))
            return FALSE;
    }
    for (char ch : suffix) {
        if (IsDigit(ch) || (m_chDecimal && ch == m_chDecimal) ||
            (m_chThousands && ch == m_chThousands && !IsBlank(ch)))
            return FALSE;
    }
    if (prefix.find('-') != std::string::npos || suffix.find('-') != std::string::npos)
        negative = true;

    std::string integer = number, fraction;
    if (m_chDecimal) {
        const auto point = number.rfind(m_chDecimal);
        if (point != std::string::npos) {
            integer = number.substr(0, point);
            fraction = number.substr(point + 1);
        }
    }
    if (m_chThousands)
        std::erase(integer, m_chThousands);
    if (!AllDigits(integer) || !AllDigits(fraction))
        return FALSE;
    double value = 0.0;
    if (!DigitsToValue(integer, fraction, value))
        return FALSE;
    if (pMagnitude)
        *pMagnitude = value;
    if (pNegative)
        *pNegative = negative ? TRUE : FALSE;
    return TRUE;
}

void CGXBCurrencyFormat::FormatValue(double dMagnitude, CString& strText, BOOL bNegative) const
{
    // A value that cannot be shown as digits is shown as zero rather than as "inf" or "nan".
    double magnitude = std::isfinite(dMagnitude) ? std::fabs(dMagnitude) : 0.0;
    const int digits = m_nIntegerDigits;
    if (!m_bNoTruncation)
        magnitude = CutToIntegerDigits(magnitude, digits);

    const Pattern& pattern =
        bNegative ? kNegative[m_nNegativePattern] : kPositive[m_nPositivePattern];
    const std::string prefix = ExpandSymbol(pattern.prefix, m_strSymbol);
    const std::string suffix = ExpandSymbol(pattern.suffix, m_strSymbol);

    std::string number = Fixed(magnitude, m_nFractionDigits);
    // The leading zero goes only when the printed integer part is "0": 0.995 at two decimals
    // prints as 1.00 and keeps its digit.
    if (!m_bLeadingZero && number.size() > 1 && number[0] == '0' && !IsDigit(number[1]))
        number.erase(0, 1);

    int point = -1;
    if (const auto at = number.rfind('.'); at != std::string::npos) {
        number[at] = m_chDecimal ? m_chDecimal : ' ';
        point = static_cast<int>(at);
    }

    int pad = 0;
    if (digits != -1) {
        int length = point >= 0 ? point : static_cast<int>(number.size());
        if (length > digits && !m_bNoTruncation) {
            number.erase(0, static_cast<size_t>(length - digits));
            if (point >= 0)
                point -= length - digits;
            length = digits;
        }
        pad = digits - length;
        if (pad >= 1 && m_bPadBeforeGrouping) {
            number.insert(0, static_cast<size_t>(pad), m_chFill);
            if (point >= 0)
                point += pad;
        }
    }

    if (m_chThousands) {
        int group = 0, unused = 0;
        if (std::sscanf(m_strGrouping.GetString(), "%i;%i", &group, &unused) >= 1 && group > 0) {
            const int length = point >= 0 ? point : static_cast<int>(number.size());
            if ((length - 1) / group >= 1) {
                std::string grouped;
                grouped.reserve(number.size() + static_cast<size_t>(length / group));
                for (int i = 0; i < static_cast<int>(number.size()); ++i) {
                    grouped += number[static_cast<size_t>(i)];
                    const int remaining = length - 1 - i;
                    if (i < length && remaining > 0 && remaining % group == 0)
                        grouped += m_chThousands;
                }
                number = std::move(grouped);
            }
        }
    }

    if (digits != -1 && pad >= 1 && !m_bPadBeforeGrouping)
        number.insert(0, static_cast<size_t>(pad), m_chFill);

    strText = (prefix + number + suffix).c_str();
}

CString CGXBCurrencyFormat::FormatStoredValue(double dMagnitude, BOOL bNegative) const
{
    double magnitude = std::isfinite(dMagnitude) ? std::fabs(dMagnitude) : 0.0;
    magnitude = CutToIntegerDigits(magnitude, m_nIntegerDigits);
    std::string text = Fixed(magnitude, m_nFractionDigits);
    // A zero keeps no sign: "-0.00" would read back as a negative zero that shows as "($0.00)".
    if (bNegative && text.find_first_not_of("0.") != std::string::npos)
        text.insert(0, 1, '-');
    return CString(text.c_str());
}

BOOL CGXBCurrencyFormat::ParseStoredValue(LPCTSTR pszText, double* pMagnitude, BOOL* pNegative)
{
    std::string_view text(pszText ? pszText : "");
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    std::string integer(text), fraction;
    if (const auto point = text.find('.'); point != std::string_view::npos) {
        integer = std::string(text.substr(0, point));
        fraction = std::string(text.substr(point + 1));
    }
    if (integer.empty() && fraction.empty())
        return FALSE;
    if (!AllDigits(integer) || !AllDigits(fraction))
        return FALSE;
    double value = 0.0;
    if (!DigitsToValue(integer, fraction, value))
        return FALSE;
    if (pMagnitude)
        *pMagnitude = value;
    if (pNegative)
        *pNegative = negative ? TRUE : FALSE;
    return TRUE;
}

CGXBCurrencyFormat& CGXBCurrencyFormat::Assign(const CGXBCurrencyFormat& other)
{
    if (this != &other)
        *this = other;
    return *this;
}

BOOL CGXBCurrencyFormat::IsEqual(const CGXBCurrencyFormat& other) const
{
    if (this == &other)
        return TRUE;
    return m_bLeadingZero == other.m_bLeadingZero && m_bDecimalLine == other.m_bDecimalLine &&
           m_bNoTruncation == other.m_bNoTruncation &&
           m_bPadBeforeGrouping == other.m_bPadBeforeGrouping &&
           m_strSymbol.Compare(other.m_strSymbol) == 0 &&
           m_strGrouping.Compare(other.m_strGrouping) == 0 &&
           m_chThousands == other.m_chThousands && m_chDecimal == other.m_chDecimal &&
           m_chFill == other.m_chFill && m_crBackground == other.m_crBackground &&
           m_crNegative == other.m_crNegative && m_crPositive == other.m_crPositive &&
           m_crDecimalLine == other.m_crDecimalLine && m_dwColorsSet == other.m_dwColorsSet &&
           m_nPositivePattern == other.m_nPositivePattern &&
           m_nNegativePattern == other.m_nNegativePattern &&
           m_nIntegerDigits == other.m_nIntegerDigits &&
           m_nFractionDigits == other.m_nFractionDigits;
}

BOOL CGXBCurrencyFormat::SetSeparators(char chThousands, char chDecimal)
{
    const bool valid = IsSeparatorChar(chDecimal) &&
                       (chThousands == 0 || chThousands == ' ' || IsSeparatorChar(chThousands)) &&
                       chThousands != chDecimal;
    m_chThousands = valid ? chThousands : ',';
    m_chDecimal = valid ? chDecimal : '.';
    return valid ? TRUE : FALSE;
}

BOOL CGXBCurrencyFormat::SetFillChar(char ch)
{
    if (IsDigit(ch) && ch != '0')
        return FALSE;
    m_chFill = ch;
    return TRUE;
}

void CGXBCurrencyFormat::SetPositivePattern(int n)
{
    m_nPositivePattern = n >= 0 && n < 4 ? n : 0;
}

void CGXBCurrencyFormat::SetNegativePattern(int n)
{
    m_nNegativePattern = n >= 0 && n < 16 ? n : 0;
}

void CGXBCurrencyFormat::SetIntegerDigits(int n)
{
    m_nIntegerDigits = n < 1 ? -1 : (n > kMaxCurrencyDigits ? kMaxCurrencyDigits : n);
}

void CGXBCurrencyFormat::SetFractionDigits(int n)
{
    m_nFractionDigits = n < 0 ? 0 : (n > kMaxFractionDigits ? kMaxFractionDigits : n);
}

void CGXBCurrencyFormat::SetBackgroundColor(COLORREF cr)
{
    m_crBackground = cr;
    m_dwColorsSet |= 1;
}

BOOL CGXBCurrencyFormat::GetBackgroundColor(COLORREF& cr) const
{
    if (!(m_dwColorsSet & 1))
        return FALSE;
    cr = m_crBackground;
    return TRUE;
}

void CGXBCurrencyFormat::SetNegativeColor(COLORREF cr)
{
    m_crNegative = cr;
    m_dwColorsSet |= 2;
}

BOOL CGXBCurrencyFormat::GetNegativeColor(COLORREF& cr) const
{
    if (!(m_dwColorsSet & 2))
        return FALSE;
    cr = m_crNegative;
    return TRUE;
}

void CGXBCurrencyFormat::SetPositiveColor(COLORREF cr)
{
    m_crPositive = cr;
    m_dwColorsSet |= 4;
}

BOOL CGXBCurrencyFormat::GetPositiveColor(COLORREF& cr) const
{
    if (!(m_dwColorsSet & 4))
        return FALSE;
    cr = m_crPositive;
    return TRUE;
}
