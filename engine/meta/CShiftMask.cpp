#include "engine/meta/CShiftMask.h"

#include "engine/html/CPageCharset.h"

namespace {

constexpr char kEsc = '\x1B';

} // namespace

bool CShiftMask::IsNeededFor(const CPageCharset& charset)
{
    return charset.GetName() == "ISO-2022-JP";
}

void CShiftMask::Apply(char* pBytes, size_t nLength)
{
    for (size_t i = 0; i < nLength; ++i) {
        const char ch = pBytes[i];
        // The bytes of an escape sequence stay as they are, in either direction, whatever they
        // are: what they shift to is told the same way masked or not.
        switch (m_escape) {
        case Escape::Start:
            m_escape = ch == '$' ? Escape::Dollar : ch == '(' ? Escape::Paren : Escape::None;
            continue;
        case Escape::Dollar:
            // "ESC $ @", "ESC $ B" and "ESC $ A" shift to a two-byte set, and so does "ESC $ ( D";
            // "ESC $ ) C" only names the set another shift would go to.
            m_escape = ch == '(' || ch == ')' ? Escape::Final : Escape::None;
            m_bFinalShifts = ch == '(';
            if (m_escape == Escape::None)
                m_bShifted = true;
            continue;
        case Escape::Final:
            m_escape = Escape::None;
            m_bShifted = m_bShifted || m_bFinalShifts;
            continue;
        case Escape::Paren:
            // "ESC ( I" shifts to katakana, one byte each; "ESC ( B" and "ESC ( J" back to ASCII.
            m_escape = Escape::None;
            m_bShifted = ch == 'I';
            continue;
        case Escape::None: break;
        }
        if (ch == kEsc) {
            m_escape = Escape::Start;
            continue;
        }
        const auto by = static_cast<unsigned char>(ch);
        if (m_bShifted && ((by >= 0x21 && by <= 0x7E) || (by >= 0xA1 && by <= 0xFE)))
            pBytes[i] = static_cast<char>(by ^ 0x80);
    }
}
