// COleDateTime::ParseDateTime: reads the English date and time forms listed in the header.
// The text is cut into numbers, words and punctuation; weekday names are dropped, the time is
// found by its ':' or its AM/PM and taken out, and what remains must be exactly one date form.
#include "platform/core/COleDateTime.h"

#include "platform/core/Calendar.h"

#include <cctype>
#include <cstring>
#include <strings.h>
#include <optional>
#include <string>
#include <vector>

namespace {

enum class Kind { Number, Month, AmPm, Punct, Blank, IsoT };

struct Token {
    Kind kind;
    int value = 0;  // number value, month 1..12, 0 AM / 1 PM, or the punctuation character
    int digits = 0; // of a number
};

// The index of a full or three-letter name, compared without regard to case; -1 if none.
template <size_t N>
int FindName(const std::string& word, const char* const (&names)[N], const char* const (&abbrevs)[N])
{
    for (size_t i = 0; i < N; ++i)
        if (strcasecmp(word.c_str(), names[i]) == 0 || strcasecmp(word.c_str(), abbrevs[i]) == 0)
            return static_cast<int>(i);
    return -1;
}

// Whether the tokens end with the seconds or minutes of a time ("08:49:37", blanks after it).
bool EndsWithTime(const std::vector<Token>& tokens)
{
    size_t n = tokens.size();
    if (n > 0 && tokens[n - 1].kind == Kind::Blank)
        --n;
    return n >= 3 && tokens[n - 1].kind == Kind::Number && tokens[n - 2].kind == Kind::Punct && tokens[n - 2].value == ':';
}

bool Tokenize(const char* text, std::vector<Token>& tokens)
{
    using namespace vostrel::cal;
    const char* p = text;
    while (*p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (std::isspace(c)) {
            while (std::isspace(static_cast<unsigned char>(*p)))
                ++p;
            if (!tokens.empty() && tokens.back().kind != Kind::Blank)
                tokens.push_back({Kind::Blank});
            continue;
        }
        if (std::isdigit(c)) {
            Token t{Kind::Number};
            while (std::isdigit(static_cast<unsigned char>(*p))) {
                if (++t.digits > 9)
                    return false;
                t.value = t.value * 10 + (*p++ - '0');
            }
            tokens.push_back(t);
            continue;
        }
        if (std::isalpha(c)) {
            std::string word;
            while (std::isalpha(static_cast<unsigned char>(*p)))
                word += static_cast<char>(std::tolower(static_cast<unsigned char>(*p++)));
            const int month = word == "sept" ? 8 : FindName(word, kMonthNames, kMonthAbbrevs);
            if (word == "am" || word == "pm" || word == "a" || word == "p") {
                // "a.m." and "p.m." spell the marker with dots.
                if (word.size() == 1 && p[0] == '.' && (p[1] == 'm' || p[1] == 'M')) {
                    p += 2;
                    if (*p == '.')
                        ++p;
                }
                tokens.push_back({Kind::AmPm, word[0] == 'p' ? 1 : 0});
            } else if (month >= 0) {
                if (*p == '.')
                    ++p;
                tokens.push_back({Kind::Month, month + 1});
            } else if (FindName(word, kDayNames, kDayAbbrevs) >= 0) {
                // Weekday names carry no information the date does not; drop them with a
                // following dot or comma.
                if (*p == '.' || *p == ',')
                    ++p;
            } else if ((word == "gmt" || word == "utc") && EndsWithTime(tokens) && p[std::strspn(p, " \t")] == '\0') {
                // The zone that ends the HTTP date forms ("Mon, 01 Jan 2024 00:00:00 GMT"): the
                // time is taken as it stands.
                p += std::strspn(p, " \t");
            } else if (word == "t" && !tokens.empty() && tokens.back().kind == Kind::Number &&
                       std::isdigit(static_cast<unsigned char>(*p))) {
                tokens.push_back({Kind::IsoT});
            } else {
                return false;
            }
            continue;
        }
        if (std::strchr("/-.:,", *p)) {
            tokens.push_back({Kind::Punct, *p++});
            continue;
        }
        return false;
    }
    return true;
}

bool IsSoft(const Token& t)
{
    return t.kind == Kind::Blank || (t.kind == Kind::Punct && t.value == ',');
}

struct Time {
    int hour = 0, minute = 0, second = 0;
};

// Finds and removes the time; false when a time is malformed or there are two.
bool TakeTime(std::vector<Token>& tokens, std::optional<Time>& time)
{
    auto punct = [&](size_t i, char c) {
        return i < tokens.size() && tokens[i].kind == Kind::Punct && tokens[i].value == c;
    };
    auto number = [&](size_t i) { return i < tokens.size() && tokens[i].kind == Kind::Number; };
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!number(i))
            continue;
        size_t j = i + 1;
        Time t;
        bool found = false;
        if (punct(j, ':') && number(j + 1)) {
            t.hour = tokens[i].value;
            t.minute = tokens[j + 1].value;
            j += 2;
            if (punct(j, ':') && number(j + 1)) {
                t.second = tokens[j + 1].value;
                j += 2;
                // A fraction of a second is read and dropped.
                if (punct(j, '.') && number(j + 1))
                    j += 2;
            }
            found = true;
        }
        size_t k = j < tokens.size() && tokens[j].kind == Kind::Blank ? j + 1 : j;
        const bool marker = k < tokens.size() && tokens[k].kind == Kind::AmPm;
        if (!found && !marker)
            continue;
        if (!found)
            t.hour = tokens[i].value;
        if (marker) {
            if (t.hour < 1 || t.hour > 12)
                return false;
            t.hour = t.hour % 12 + (tokens[k].value == 1 ? 12 : 0);
            j = k + 1;
        }
        if (time)
            return false;
        time = t;
        tokens.erase(tokens.begin() + static_cast<long>(i), tokens.begin() + static_cast<long>(j));
        // What stood between the date and the time is a separator of the two.
        if (i < tokens.size() && i > 0 && (IsSoft(tokens[i]) || tokens[i].kind == Kind::IsoT))
            tokens.erase(tokens.begin() + static_cast<long>(i));
        if (i > 0 && i - 1 < tokens.size() && (IsSoft(tokens[i - 1]) || tokens[i - 1].kind == Kind::IsoT))
            tokens.erase(tokens.begin() + static_cast<long>(i - 1));
        --i;
    }
    for (const Token& t : tokens)
        if (t.kind == Kind::AmPm || (t.kind == Kind::Punct && t.value == ':'))
            return false;
    return true;
}

int ExpandYear(const Token& t)
{
    if (t.digits <= 2)
        return t.value < 30 ? 2000 + t.value : 1900 + t.value;
    return t.value;
}

struct Date {
    int year = 0, month = 0, day = 0;
};

int CurrentYear()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wYear;
}

bool ReadDate(std::vector<Token> tokens, std::optional<Date>& date)
{
    while (!tokens.empty() && IsSoft(tokens.front()))
        tokens.erase(tokens.begin());
    while (!tokens.empty() && IsSoft(tokens.back()))
        tokens.pop_back();
    if (tokens.empty())
        return true;
    for (const Token& t : tokens)
        if (t.kind == Kind::IsoT)
            return false;

    // Items (numbers and months) and the separators between them.
    std::vector<Token> items;
    std::vector<std::string> separators;
    std::string pending;
    for (const Token& t : tokens) {
        if (t.kind == Kind::Number || t.kind == Kind::Month) {
            if (!items.empty())
                separators.push_back(pending);
            pending.clear();
            items.push_back(t);
        } else {
            pending += t.kind == Kind::Blank ? ' ' : static_cast<char>(t.value);
        }
    }
    auto numeric = [](const std::string& sep) {
        // One of "-", "/", "." with blanks around it allowed.
        std::string core;
        for (char c : sep)
            if (c != ' ')
                core += c;
        return core.size() == 1 && std::strchr("-/.", core[0]) ? core[0] : '\0';
    };
    auto loose = [](const std::string& sep) {
        return sep.find_first_not_of(" -.,/") == std::string::npos;
    };
    int months = 0;
    for (const Token& t : items)
        months += t.kind == Kind::Month ? 1 : 0;
    Date d;
    if (months == 0) {
        if (items.size() == 3) {
            const char s = numeric(separators[0]);
            if (!s || s != numeric(separators[1]))
                return false;
            if (items[0].digits >= 3) {
                d = {items[0].value, items[1].value, items[2].value};
            } else {
                d = {ExpandYear(items[2]), items[0].value, items[1].value};
            }
        } else if (items.size() == 2 && numeric(separators[0]) == '/' && items[1].digits <= 2) {
            d = {CurrentYear(), items[0].value, items[1].value};
        } else {
            return false;
        }
    } else if (months == 1) {
        for (const std::string& sep : separators)
            if (!loose(sep))
                return false;
        const auto isMonth = [&](size_t i) { return items[i].kind == Kind::Month; };
        if (items.size() == 3 && isMonth(1) && items[0].digits >= 3) {
            d = {items[0].value, items[1].value, items[2].value};
        } else if (items.size() == 3 && isMonth(1)) {
            d = {ExpandYear(items[2]), items[1].value, items[0].value};
        } else if (items.size() == 3 && isMonth(0)) {
            d = {ExpandYear(items[2]), items[0].value, items[1].value};
        } else if (items.size() == 2 && isMonth(1)) {
            d = {CurrentYear(), items[1].value, items[0].value};
        } else if (items.size() == 2 && isMonth(0)) {
            if (items[1].digits >= 3)
                d = {items[1].value, items[0].value, 1};
            else
                d = {CurrentYear(), items[0].value, items[1].value};
        } else {
            return false;
        }
    } else {
        return false;
    }
    date = d;
    return true;
}

} // namespace

bool COleDateTime::ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags, LCID /*lcid*/)
{
    std::vector<Token> tokens;
    std::optional<Time> time;
    std::optional<Date> date;
    const bool ok = lpszDate && Tokenize(lpszDate, tokens) && TakeTime(tokens, time) &&
                    ReadDate(tokens, date) && (time || date);
    if (!ok) {
        m_dt = 0.0;
        m_status = invalid;
        return false;
    }
    if (dwFlags & VAR_TIMEVALUEONLY)
        date.reset();
    if (dwFlags & VAR_DATEVALUEONLY)
        time.reset();
    const Date d = date.value_or(Date{1899, 12, 30});
    const Time t = time.value_or(Time{});
    return SetDateTime(d.year, d.month, d.day, t.hour, t.minute, t.second) == valid;
}
