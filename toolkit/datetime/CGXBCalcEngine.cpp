// Numbers are printed and read with '.' whatever the user's separators: the entry is the
// calculator's own text and the currency cell reads the result back the same way.
#include "toolkit/datetime/CGXBCalcEngine.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {

constexpr int kMaxIntegerDigits = 13;
constexpr UINT kKeyReturn = 0x0D;
constexpr UINT kKeyDelete = 0x2E;

int CountBeforePoint(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const auto point = text.find('.');
    return static_cast<int>(point == std::string_view::npos ? text.size() : point);
}

int CountAfterPoint(std::string_view text)
{
    const auto point = text.find('.');
    return point == std::string_view::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

} // namespace

void CGXBCalcEngine::Reset()
{
    m_value = 0.0;
    m_strEntry.Empty();
    m_bError = FALSE;
    m_pendingOp = 0;
    m_bNewEntry = TRUE;
}

void CGXBCalcEngine::SetValue(double dValue)
{
    Reset();
    m_value = dValue;
    ShowAccumulator();
}

void CGXBCalcEngine::SetMaxDigits(int nDigits)
{
    m_maxDigits = nDigits < 1 ? 1 : nDigits;
    if (m_maxDecimals > m_maxDigits)
        m_maxDecimals = m_maxDigits;
}

UINT CGXBCalcEngine::CommandForChar(char ch)
{
    if (ch >= '0' && ch <= '9')
        return GXCALC_DIGIT0 + static_cast<UINT>(ch - '0');
    switch (ch) {
    case 'c':
    case 'C':
        return GXCALC_CLEAR;
    case 'e':
    case 'E':
        return GXCALC_CLEARENTRY;
    case '\b':
        return GXCALC_BACKSPACE;
    case '%':
        return GXCALC_PERCENT;
    case '/':
        return GXCALC_DIVIDE;
    case '*':
        return GXCALC_MULTIPLY;
    case '-':
        return GXCALC_SUBTRACT;
    case '+':
        return GXCALC_ADD;
    case '.':
        return GXCALC_POINT;
    case '=':
        return GXCALC_EQUALS;
    default:
        return 0;
    }
}

UINT CGXBCalcEngine::CommandForKey(UINT nVirtKey)
{
    if (nVirtKey == kKeyDelete)
        return GXCALC_BACKSPACE;
    if (nVirtKey == kKeyReturn)
        return GXCALC_EQUALS;
    return 0;
}

CGXBCalcEngine::Outcome CGXBCalcEngine::OnCalcCommand(UINT nID)
{
    if (m_bError) {
        if (nID == GXCALC_CLEAR || nID == GXCALC_CLEARENTRY) {
            Reset();
            return {TRUE, false};
        }
        return {FALSE, nID >= GXCALC_MULTIPLY && nID <= GXCALC_BACKSPACE};
    }
    if (nID >= GXCALC_DIGIT0 && nID <= GXCALC_DIGIT9)
        return Digit(static_cast<int>(nID - GXCALC_DIGIT0));
    switch (nID) {
    case GXCALC_MULTIPLY:
    case GXCALC_ADD:
    case GXCALC_SUBTRACT:
    case GXCALC_DIVIDE:
    case GXCALC_PERCENT:
    case GXCALC_EQUALS:
        return Operator(nID);
    case GXCALC_CLEAR:
        Reset();
        return {TRUE, false};
    case GXCALC_CLEARENTRY:
        m_strEntry.Empty();
        m_bNewEntry = TRUE;
        return {TRUE, false};
    case GXCALC_POINT:
        return Point();
    case GXCALC_BACKSPACE:
        return Backspace();
    default:
        return {FALSE, false};
    }
}

CGXBCalcEngine::Outcome CGXBCalcEngine::Digit(int digit)
{
    if (m_bNewEntry) {
        m_strEntry.Empty();
        m_bNewEntry = FALSE;
    }
    if (m_strEntry.IsEmpty() && digit == 0)
        return {TRUE, false};
    std::string_view plain(m_strEntry.GetString());
    if (!plain.empty() && plain.front() == '-')
        plain.remove_prefix(1);
    const int cap = !plain.empty() && plain.front() == '0' ? 16 : 15;
    const int limit = m_maxDigits < cap ? m_maxDigits : cap;
    const bool hasPoint = plain.find('.') != std::string_view::npos;
    const int before = CountBeforePoint(plain);
    const int after = CountAfterPoint(plain);
    if (after < m_maxDecimals && (hasPoint || before < kMaxIntegerDigits) &&
        after + before < limit) {
        m_strEntry += static_cast<char>('0' + digit);
        return {TRUE, false};
    }
    return {TRUE, true};
}

CGXBCalcEngine::Outcome CGXBCalcEngine::Point()
{
    if (m_bNewEntry) {
        // The point starts the new entry: the digits typed next belong to it ("2 + .5" is
        // 2.5), so the entry is no longer new.
        m_strEntry.Empty();
        m_bNewEntry = FALSE;
    }
    if (m_strEntry.Find('.') >= 0)
        return {FALSE, false};
    m_strEntry += m_strEntry.IsEmpty() ? "0." : ".";
    return {TRUE, false};
}

CGXBCalcEngine::Outcome CGXBCalcEngine::Backspace()
{
    if (m_bNewEntry || m_strEntry.IsEmpty())
        return {FALSE, false};
    m_strEntry.Delete(m_strEntry.GetLength() - 1);
    return {TRUE, false};
}

CGXBCalcEngine::Outcome CGXBCalcEngine::Operator(UINT op)
{
    double x = 0.0;
    if (!m_strEntry.IsEmpty()) {
        const std::string_view text(m_strEntry.GetString());
        const auto result = std::from_chars(text.data(), text.data() + text.size(), x);
        if (result.ec != std::errc())
            return {FALSE, false};
    }
    if (op == GXCALC_PERCENT) {
        x = m_pendingOp == GXCALC_MULTIPLY || m_pendingOp == GXCALC_DIVIDE ? x * m_value * 0.01
                                                                           : 0.0;
    } else {
        switch (m_pendingOp) {
        case GXCALC_MULTIPLY:
            x = x * m_value;
            break;
        case GXCALC_ADD:
            x = x + m_value;
            break;
        case GXCALC_SUBTRACT:
            x = m_value - x;
            break;
        case GXCALC_DIVIDE:
            if (x == 0.0)
                m_bError = TRUE;
            else
                x = m_value / x;
            break;
        default:
            break;
        }
    }
    if (!m_bError) {
        m_bNewEntry = TRUE;
        m_value = x;
        m_pendingOp = op == GXCALC_PERCENT || op == GXCALC_EQUALS ? 0 : op;
        ShowAccumulator();
    }
    return {TRUE, false};
}

void CGXBCalcEngine::ShowAccumulator()
{
    // An overflow to infinity is a result too long for the display like any other.
    if (!std::isfinite(m_value)) {
        m_bError = TRUE;
        return;
    }
    m_value += 0.0; // no "-0." for a zero reached from below
    const int cap = std::fabs(m_value) >= 1.0 ? 15 : 16;
    const int limit = m_maxDigits < cap ? m_maxDigits : cap;
    int decimals = m_maxDecimals;
    for (;;) {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, m_value,
                                          std::chars_format::fixed, decimals);
        if (result.ec != std::errc()) { // more digits than any display holds
            m_bError = TRUE;
            return;
        }
        std::string text(buffer, result.ptr);
        if (text.find('.') != std::string::npos) {
            text.erase(text.find_last_not_of('0') + 1);
            if (text == "-0.")
                text = "0.";
        }
        const int before = CountBeforePoint(text);
        const int after = CountAfterPoint(text);
        if (before > limit || before > kMaxIntegerDigits) {
            m_bError = TRUE;
            return;
        }
        if (before + after <= limit || decimals == 0) {
            m_strEntry = text.c_str();
            return;
        }
        decimals = limit - before;
    }
}

CString CGXBCalcEngine::GetDisplayText() const
{
    if (m_strEntry.IsEmpty())
        return CString("0.");
    CString text(m_strEntry);
    if (text.Find('.') < 0)
        text += '.';
    return text;
}
