// CCharsetIndex: the table of a legacy charset that browsers read and write pages by: the
// character at each place (pointer) of the charset's byte space, and the places of each character.
// The tables are taken from the C library's converters once, at first use, and mended where
// browsers read the charset otherwise; every function here is callable from any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CCharsetIndex {
public:
    // How a pointer stands in the charset's bytes.
    enum class Layout {
        SingleByte, // the byte 0x80 + pointer
        Gb18030,    // two bytes: leads 0x81 to 0xFE, 190 trails from 0x40 (0x7F left out)
        Big5,       // two bytes: leads 0x81 to 0xFE, 157 trails 0x40 to 0x7E and 0xA1 to 0xFE
        Jis0208,    // the pairs of Shift_JIS, 188 trails a lead; EUC-JP and ISO-2022-JP take its
                    // first 94 rows
        Jis0212,    // the pairs of EUC-JP after 0x8F, 94 rows of 94
        EucKr,      // two bytes: leads 0x81 to 0xFE, 190 trails from 0x41
    };

    // The tables: one for each one-byte charset, and those of the multi-byte ones.
    enum class Table {
        Ibm866, Iso8859_2, Iso8859_3, Iso8859_4, Iso8859_5, Iso8859_6, Iso8859_7, Iso8859_8, Iso8859_10,
        Iso8859_13, Iso8859_14, Iso8859_15, Iso8859_16, Koi8R, Koi8U, Macintosh, Windows874, Windows1250,
        Windows1251, Windows1253, Windows1254, Windows1255, Windows1256, Windows1257, Windows1258,
        XMacCyrillic,
        Gb18030, Big5, Jis0208, Jis0212, EucKr,
    };

    struct Entry {
        char32_t ch;
        uint32_t nPointer;
    };

    // The table, made at its first use; null when the C library has no converter to read it from.
    static const CCharsetIndex* Get(Table table);

    Layout GetLayout() const { return m_layout; }
    uint32_t GetSize() const { return static_cast<uint32_t>(m_chars.size()); }
    // The character at a pointer; 0 where there is none (no index holds U+0000).
    char32_t At(uint32_t nPointer) const { return nPointer < m_chars.size() ? m_chars[nPointer] : 0; }
    // The pointers of a character, in their order; empty when it has none.
    std::span<const Entry> PointersOf(char32_t ch) const;
    // The first pointer of a character, -1 when it has none.
    long FirstPointer(char32_t ch) const;

    // The bytes a pointer stands for in a layout; empty where the layout's table has no entries
    // (the user-defined area of Shift_JIS, which the reader turns into private characters).
    static std::string BytesOf(Layout layout, uint32_t nPointer);

    // The character a four-byte sequence of gb18030 stands for, given its pointer; 0 for none.
    static char32_t Gb18030RangesAt(uint32_t nPointer);
    // The four-byte pointer of gb18030 for a character that has no two-byte sequence.
    static uint32_t Gb18030RangesPointer(char32_t ch);

    CCharsetIndex(Layout layout, std::vector<char32_t> chars);
    CCharsetIndex(const CCharsetIndex&) = delete;
    CCharsetIndex& operator=(const CCharsetIndex&) = delete;

private:
    Layout m_layout;
    std::vector<char32_t> m_chars;
    std::vector<Entry> m_byChar; // sorted by character, then pointer
};
