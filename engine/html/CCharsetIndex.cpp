#include "engine/html/CCharsetIndex.h"

#include <algorithm>
#include <array>
#include <iconv.h>
#include <memory>
#include <mutex>
#include <string>

namespace {

using Layout = CCharsetIndex::Layout;
using Table = CCharsetIndex::Table;

// Where browsers read a charset otherwise than the C library does: the character of a code (the
// charset's bytes, lead first), or nCount codes in a row standing for as many characters in a
// row; 0 for no character.
struct Mend {
    uint32_t nCode;
    char32_t ch;
    uint32_t nCount = 1;
};

const Mend kKoi8uMends[] = {{0xAE, 0x045E}, {0xBE, 0x040E}};
const Mend kMacintoshMends[] = {{0xC6, 0x2206}, {0xF0, 0xF8FF}};
const Mend kWindows1255Mends[] = {{0xCA, 0x05BA}};
const Mend kMacCyrillicMends[] = {{0xFF, 0x20AC}};
// The library follows a later edition of the Chinese standard in these places; pages read them
// as the private characters of the edition browsers keep to.
const Mend kGb18030Mends[] = {
    {0xA3A0, 0x3000}, {0xA6D9, 0xE78D, 3}, {0xA6DC, 0xE790, 4}, {0xA6EC, 0xE794, 2}, {0xA6F3, 0xE796},
    {0xFE51, 0xE816, 3}, {0xFE59, 0xE81E}, {0xFE61, 0xE826}, {0xFE66, 0xE82B, 2}, {0xFE6C, 0xE831, 2},
    {0xFE76, 0xE83B}, {0xFE7E, 0xE843}, {0xFE90, 0xE854, 2}, {0xFEA0, 0xE864},
};
// Big5 as browsers read it holds the Hong Kong characters the library's converter lacks, and
// its own choices for a few symbols; the four codes of a letter with two marks are no entries
// (the reader gives them two characters).
const Mend kBig5Mends[] = {
    {0x8E69, 0x7BB8}, {0x8E6F, 0x7C06}, {0x8E7E, 0x7CCE}, {0x8EAB, 0x7DD2}, {0x8EB4, 0x7E1D}, {0x8ECD, 0x8005},
    {0x8ED0, 0x8028}, {0x8F57, 0x83C1}, {0x8F69, 0x84A8}, {0x8F6E, 0x840F}, {0x8FCB, 0x89A6}, {0x8FCC, 0x89A9},
    {0x8FFE, 0x8D77}, {0x906D, 0x90FD}, {0x907A, 0x92B9}, {0x90DC, 0x975C}, {0x90F1, 0x97FF}, {0x91BF, 0x9F16},
    {0x9244, 0x8503}, {0x92AF, 0x5159}, {0x92B0, 0x515B}, {0x92B1, 0x515D, 2}, {0x92C8, 0x936E},
    {0x92D1, 0x7479}, {0x9447, 0x6D67}, {0x94CA, 0x799B}, {0x95D9, 0x9097}, {0x9644, 0x975D}, {0x96ED, 0x701E},
    {0x96FC, 0x5B28}, {0x9B76, 0x7201}, {0x9B78, 0x77D7}, {0x9B7B, 0x7E87}, {0x9BC6, 0x99D6}, {0x9BDE, 0x91D4},
    {0x9BEC, 0x60DE}, {0x9BF6, 0x6FB6}, {0x9C42, 0x8F36}, {0x9C53, 0x4FBB}, {0x9C62, 0x71DF}, {0x9C68, 0x9104},
    {0x9C6B, 0x9DF0}, {0x9C77, 0x83CF}, {0x9CBC, 0x5C10}, {0x9CBD, 0x79E3}, {0x9CD0, 0x5A67}, {0x9D57, 0x8F0B},
    {0x9D5A, 0x7B51}, {0x9DC4, 0x62D0}, {0x9EA9, 0x6062}, {0x9EEF, 0x75F9}, {0x9EFD, 0x6C4A}, {0x9F60, 0x9B2E},
    {0x9F66, 0x9F17}, {0x9FCB, 0x50ED}, {0x9FD8, 0x5F0C}, {0xA063, 0x880F}, {0xA077, 0x62CE}, {0xA0D5, 0x7468},
    {0xA0DF, 0x7162}, {0xA0E4, 0x7250}, {0xA145, 0x2027}, {0xA14E, 0xFE51}, {0xA15A, 0x2574}, {0xA1C2, 0x00AF},
    {0xA1C3, 0xFFE3}, {0xA1C5, 0x02CD}, {0xA1E3, 0xFF5E}, {0xA1F2, 0x2295}, {0xA1F3, 0x2299}, {0xA1FE, 0xFF0F},
    {0xA240, 0xFF3C}, {0xA241, 0x2215}, {0xA242, 0xFE68}, {0xA244, 0xFFE5}, {0xA246, 0xFFE0, 2},
    {0xA2CC, 0x5341}, {0xA2CE, 0x5345}, {0xA3C0, 0x2400, 32}, {0xA3E0, 0x2421}, {0xA3E1, 0x20AC},
    {0xC6CF, 0x5EF4}, {0xC6D3, 0x65E0}, {0xC6D5, 0x7676}, {0xC6D7, 0x96B6}, {0xC6DE, 0x3003}, {0xC6DF, 0x4EDD},
    {0xFA5F, 0x5029}, {0xFA66, 0x507D}, {0xFABD, 0x5305}, {0xFAC5, 0x5344}, {0xFAD5, 0x537F}, {0xFB48, 0x5605},
    {0xFBB8, 0x5A77}, {0xFBF3, 0x5E75}, {0xFBF9, 0x5ED0}, {0xFC4F, 0x5F58}, {0xFC6C, 0x60A4}, {0xFCB9, 0x6490},
    {0xFCE2, 0x6674}, {0xFCF1, 0x675E}, {0xFDB7, 0x6C9C}, {0xFDB8, 0x6E1D}, {0xFDBB, 0x6E2F}, {0xFDF1, 0x716E},
    {0xFE52, 0x732A}, {0xFE6F, 0x745C}, {0xFEAA, 0x74E9}, {0xFEDD, 0x7809},
};
// The four-byte sequences of gb18030, each range a pointer and the character it starts with.
struct Range {
    uint32_t nPointer;
    char32_t ch;
};
const Range kGb18030Ranges[] = {
    {0, 0x0080}, {36, 0x00A5}, {38, 0x00A9}, {45, 0x00B2}, {50, 0x00B8}, {81, 0x00D8}, {89, 0x00E2},
    {95, 0x00EB}, {96, 0x00EE}, {100, 0x00F4}, {103, 0x00F8}, {104, 0x00FB}, {105, 0x00FD}, {109, 0x0102},
    {126, 0x0114}, {133, 0x011C}, {148, 0x012C}, {172, 0x0145}, {175, 0x0149}, {179, 0x014E}, {208, 0x016C},
    {306, 0x01CF}, {307, 0x01D1}, {308, 0x01D3}, {309, 0x01D5}, {310, 0x01D7}, {311, 0x01D9}, {312, 0x01DB},
    {313, 0x01DD}, {341, 0x01FA}, {428, 0x0252}, {443, 0x0262}, {544, 0x02C8}, {545, 0x02CC}, {558, 0x02DA},
    {741, 0x03A2}, {742, 0x03AA}, {749, 0x03C2}, {750, 0x03CA}, {805, 0x0402}, {819, 0x0450}, {820, 0x0452},
    {7922, 0x2011}, {7924, 0x2017}, {7925, 0x201A}, {7927, 0x201E}, {7934, 0x2027}, {7943, 0x2031},
    {7944, 0x2034}, {7945, 0x2036}, {7950, 0x203C}, {8062, 0x20AD}, {8148, 0x2104}, {8149, 0x2106},
    {8152, 0x210A}, {8164, 0x2117}, {8174, 0x2122}, {8236, 0x216C}, {8240, 0x217A}, {8262, 0x2194},
    {8264, 0x219A}, {8374, 0x2209}, {8380, 0x2210}, {8381, 0x2212}, {8384, 0x2216}, {8388, 0x221B},
    {8390, 0x2221}, {8392, 0x2224}, {8393, 0x2226}, {8394, 0x222C}, {8396, 0x222F}, {8401, 0x2238},
    {8406, 0x223E}, {8416, 0x2249}, {8419, 0x224D}, {8424, 0x2253}, {8437, 0x2262}, {8439, 0x2268},
    {8445, 0x2270}, {8482, 0x2296}, {8485, 0x229A}, {8496, 0x22A6}, {8521, 0x22C0}, {8603, 0x2313},
    {8936, 0x246A}, {8946, 0x249C}, {9046, 0x254C}, {9050, 0x2574}, {9063, 0x2590}, {9066, 0x2596},
    {9076, 0x25A2}, {9092, 0x25B4}, {9100, 0x25BE}, {9108, 0x25C8}, {9111, 0x25CC}, {9113, 0x25D0},
    {9131, 0x25E6}, {9162, 0x2607}, {9164, 0x260A}, {9218, 0x2641}, {9219, 0x2643}, {11329, 0x2E82},
    {11331, 0x2E85}, {11334, 0x2E89}, {11336, 0x2E8D}, {11346, 0x2E98}, {11361, 0x2EA8}, {11363, 0x2EAB},
    {11366, 0x2EAF}, {11370, 0x2EB4}, {11372, 0x2EB8}, {11375, 0x2EBC}, {11389, 0x2ECB}, {11682, 0x2FFC},
    {11686, 0x3004}, {11687, 0x3018}, {11692, 0x301F}, {11694, 0x302A}, {11714, 0x303F}, {11716, 0x3094},
    {11723, 0x309F}, {11725, 0x30F7}, {11730, 0x30FF}, {11736, 0x312A}, {11982, 0x322A}, {11989, 0x3232},
    {12102, 0x32A4}, {12336, 0x3390}, {12348, 0x339F}, {12350, 0x33A2}, {12384, 0x33C5}, {12393, 0x33CF},
    {12395, 0x33D3}, {12397, 0x33D6}, {12510, 0x3448}, {12553, 0x3474}, {12851, 0x359F}, {12962, 0x360F},
    {12973, 0x361B}, {13738, 0x3919}, {13823, 0x396F}, {13919, 0x39D1}, {13933, 0x39E0}, {14080, 0x3A74},
    {14298, 0x3B4F}, {14585, 0x3C6F}, {14698, 0x3CE1}, {15583, 0x4057}, {15847, 0x4160}, {16318, 0x4338},
    {16434, 0x43AD}, {16438, 0x43B2}, {16481, 0x43DE}, {16729, 0x44D7}, {17102, 0x464D}, {17122, 0x4662},
    {17315, 0x4724}, {17320, 0x472A}, {17402, 0x477D}, {17418, 0x478E}, {17859, 0x4948}, {17909, 0x497B},
    {17911, 0x497E}, {17915, 0x4984}, {17916, 0x4987}, {17936, 0x499C}, {17939, 0x49A0}, {17961, 0x49B8},
    {18664, 0x4C78}, {18703, 0x4CA4}, {18814, 0x4D1A}, {18962, 0x4DAF}, {19043, 0x9FA6}, {33469, 0xE76C},
    {33470, 0xE7C8}, {33471, 0xE7E7}, {33484, 0xE815}, {33485, 0xE819}, {33490, 0xE81F}, {33497, 0xE827},
    {33501, 0xE82D}, {33505, 0xE833}, {33513, 0xE83C}, {33520, 0xE844}, {33536, 0xE856}, {33550, 0xE865},
    {37845, 0xF92D}, {37921, 0xF97A}, {37948, 0xF996}, {38029, 0xF9E8}, {38038, 0xF9F2}, {38064, 0xFA10},
    {38065, 0xFA12}, {38066, 0xFA15}, {38069, 0xFA19}, {38075, 0xFA22}, {38076, 0xFA25}, {38078, 0xFA2A},
    {39108, 0xFE32}, {39109, 0xFE45}, {39113, 0xFE53}, {39114, 0xFE58}, {39115, 0xFE67}, {39116, 0xFE6C},
    {39265, 0xFF5F}, {39394, 0xFFE6}, {189000, 0x10000},
};

struct Source {
    Table table;
    const char* pszConverter;
    Layout layout;
    std::span<const Mend> mends = {};
    // The Windows code pages: bytes 0x80 to 0x9F the library has no character for read as the
    // control characters of the same number.
    bool bC1Controls = false;
};

const Source kSources[] = {
    {Table::Ibm866, "IBM866", Layout::SingleByte},
    {Table::Iso8859_2, "ISO-8859-2", Layout::SingleByte},
    {Table::Iso8859_3, "ISO-8859-3", Layout::SingleByte},
    {Table::Iso8859_4, "ISO-8859-4", Layout::SingleByte},
    {Table::Iso8859_5, "ISO-8859-5", Layout::SingleByte},
    {Table::Iso8859_6, "ISO-8859-6", Layout::SingleByte},
    {Table::Iso8859_7, "ISO-8859-7", Layout::SingleByte},
    {Table::Iso8859_8, "ISO-8859-8", Layout::SingleByte},
    {Table::Iso8859_10, "ISO-8859-10", Layout::SingleByte},
    {Table::Iso8859_13, "ISO-8859-13", Layout::SingleByte},
    {Table::Iso8859_14, "ISO-8859-14", Layout::SingleByte},
    {Table::Iso8859_15, "ISO-8859-15", Layout::SingleByte},
    {Table::Iso8859_16, "ISO-8859-16", Layout::SingleByte},
    {Table::Koi8R, "KOI8-R", Layout::SingleByte},
    {Table::Koi8U, "KOI8-U", Layout::SingleByte, kKoi8uMends},
    {Table::Macintosh, "MACINTOSH", Layout::SingleByte, kMacintoshMends},
    {Table::Windows874, "WINDOWS-874", Layout::SingleByte, {}, true},
    {Table::Windows1250, "CP1250", Layout::SingleByte, {}, true},
    {Table::Windows1251, "CP1251", Layout::SingleByte, {}, true},
    {Table::Windows1253, "CP1253", Layout::SingleByte, {}, true},
    {Table::Windows1254, "CP1254", Layout::SingleByte, {}, true},
    {Table::Windows1255, "CP1255", Layout::SingleByte, kWindows1255Mends, true},
    {Table::Windows1256, "CP1256", Layout::SingleByte, {}, true},
    {Table::Windows1257, "CP1257", Layout::SingleByte, {}, true},
    {Table::Windows1258, "CP1258", Layout::SingleByte, {}, true},
    {Table::XMacCyrillic, "MAC-CYRILLIC", Layout::SingleByte, kMacCyrillicMends},
    {Table::Gb18030, "GB18030", Layout::Gb18030, kGb18030Mends},
    {Table::Big5, "BIG5-HKSCS", Layout::Big5, kBig5Mends},
    {Table::Jis0208, "CP932", Layout::Jis0208},
    {Table::Jis0212, "EUC-JP", Layout::Jis0212},
    {Table::EucKr, "CP949", Layout::EucKr},
};
constexpr size_t kTables = std::size(kSources);

uint32_t SizeOf(Layout layout)
{
    switch (layout) {
    case Layout::SingleByte: return 128;
    case Layout::Gb18030:
    case Layout::EucKr: return 126 * 190;
    case Layout::Big5: return 126 * 157;
    case Layout::Jis0208: return 60 * 188;
    case Layout::Jis0212: return 94 * 94;
    }
    return 0;
}


uint32_t CodeOf(const std::string& bytes)
{
    uint32_t nCode = 0;
    for (const char ch : bytes)
        nCode = (nCode << 8) | static_cast<unsigned char>(ch);
    return nCode;
}

// The one character the converter reads the bytes as, from its initial state; 0 when it reads
// them as none, or as more than one.
char32_t ReadOne(iconv_t cd, const std::string& bytes)
{
    std::string in = bytes;
    char* pIn = in.data();
    size_t nInLeft = in.size();
    std::array<unsigned char, 32> out{};
    char* pOut = reinterpret_cast<char*>(out.data());
    size_t nOutLeft = out.size();
    const bool bRead = iconv(cd, &pIn, &nInLeft, &pOut, &nOutLeft) != static_cast<size_t>(-1) && nInLeft == 0;
    // A converter may hold a character back to see whether a mark follows it.
    iconv(cd, nullptr, nullptr, &pOut, &nOutLeft);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (!bRead || out.size() - nOutLeft != 4)
        return 0;
    return char32_t(out[0]) | (char32_t(out[1]) << 8) | (char32_t(out[2]) << 16) | (char32_t(out[3]) << 24);
}

std::unique_ptr<CCharsetIndex> Load(const Source& source)
{
    const iconv_t cd = iconv_open("UTF-32LE", source.pszConverter);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    const uint32_t nSize = SizeOf(source.layout);
    std::vector<char32_t> chars(nSize, 0);
    size_t nMend = 0;
    uint32_t nInMend = 0; // how far into the mend's run of codes
    for (uint32_t nPointer = 0; nPointer < nSize; ++nPointer) {
        const std::string bytes = CCharsetIndex::BytesOf(source.layout, nPointer);
        if (bytes.empty())
            continue;
        const uint32_t nCode = CodeOf(bytes);
        // Pointers run in the order of their codes, and so do the mends.
        while (nMend < source.mends.size() && source.mends[nMend].nCode + source.mends[nMend].nCount <= nCode) {
            ++nMend;
            nInMend = 0;
        }
        if (nMend < source.mends.size() && source.mends[nMend].nCode <= nCode) {
            const Mend& mend = source.mends[nMend];
            nInMend = nCode - mend.nCode;
            chars[nPointer] = mend.ch == 0 ? 0 : mend.ch + nInMend;
            continue;
        }
        char32_t ch = ReadOne(cd, bytes);
        if (ch == 0 && source.bC1Controls && nCode >= 0x80 && nCode < 0xA0)
            ch = nCode;
        chars[nPointer] = ch;
    }
    iconv_close(cd);
    return std::make_unique<CCharsetIndex>(source.layout, std::move(chars));
}

} // namespace

const CCharsetIndex* CCharsetIndex::Get(Table table)
{
    // Each table is read once, by whichever thread wants it first.
    static std::array<std::once_flag, kTables> loaded;
    static std::array<std::unique_ptr<CCharsetIndex>, kTables> indexes;
    const auto nTable = static_cast<size_t>(table);
    if (nTable >= kTables)
        return nullptr;
    std::call_once(loaded[nTable], [nTable] { indexes[nTable] = Load(kSources[nTable]); });
    return indexes[nTable].get();
}

CCharsetIndex::CCharsetIndex(Layout layout, std::vector<char32_t> chars) : m_layout(layout), m_chars(std::move(chars))
{
    for (uint32_t nPointer = 0; nPointer < m_chars.size(); ++nPointer) {
        if (m_chars[nPointer] != 0)
            m_byChar.push_back({m_chars[nPointer], nPointer});
    }
    std::sort(m_byChar.begin(), m_byChar.end(), [](const Entry& a, const Entry& b) {
        return a.ch != b.ch ? a.ch < b.ch : a.nPointer < b.nPointer;
    });
}

std::string CCharsetIndex::BytesOf(Layout layout, uint32_t nPointer)
{
    const auto byte = [](uint32_t value) { return static_cast<char>(static_cast<unsigned char>(value)); };
    switch (layout) {
    case Layout::SingleByte: return std::string(1, byte(0x80 + nPointer));
    case Layout::Gb18030: {
        const uint32_t nTrail = nPointer % 190;
        return {byte(nPointer / 190 + 0x81), byte(nTrail + (nTrail < 0x3F ? 0x40 : 0x41))};
    }
    case Layout::Big5: {
        const uint32_t nTrail = nPointer % 157;
        return {byte(nPointer / 157 + 0x81), byte(nTrail + (nTrail < 0x3F ? 0x40 : 0x62))};
    }
    case Layout::Jis0208: {
        if (nPointer >= 8836 && nPointer < 10716)
            return std::string();
        const uint32_t nLead = nPointer / 188;
        const uint32_t nTrail = nPointer % 188;
        return {byte(nLead + (nLead < 0x1F ? 0x81 : 0xC1)), byte(nTrail + (nTrail < 0x3F ? 0x40 : 0x41))};
    }
    case Layout::Jis0212: return {'\x8F', byte(nPointer / 94 + 0xA1), byte(nPointer % 94 + 0xA1)};
    case Layout::EucKr: return {byte(nPointer / 190 + 0x81), byte(nPointer % 190 + 0x41)};
    }
    return std::string();
}

std::span<const CCharsetIndex::Entry> CCharsetIndex::PointersOf(char32_t ch) const
{
    const auto [from, to] = std::equal_range(m_byChar.begin(), m_byChar.end(), Entry{ch, 0},
                                             [](const Entry& a, const Entry& b) { return a.ch < b.ch; });
    return {from, to};
}

long CCharsetIndex::FirstPointer(char32_t ch) const
{
    const std::span<const Entry> pointers = PointersOf(ch);
    return pointers.empty() ? -1 : static_cast<long>(pointers.front().nPointer);
}

char32_t CCharsetIndex::Gb18030RangesAt(uint32_t nPointer)
{
    if ((nPointer > 39419 && nPointer < 189000) || nPointer > 1237575)
        return 0;
    // The one four-byte sequence whose character moved to a pair and back.
    if (nPointer == 7457)
        return 0xE7C7;
    const auto next = std::upper_bound(std::begin(kGb18030Ranges), std::end(kGb18030Ranges), nPointer,
                                       [](uint32_t n, const Range& range) { return n < range.nPointer; });
    const Range& range = *(next - 1);
    return range.ch + (nPointer - range.nPointer);
}

uint32_t CCharsetIndex::Gb18030RangesPointer(char32_t ch)
{
    if (ch == 0xE7C7)
        return 7457;
    const auto next = std::upper_bound(std::begin(kGb18030Ranges), std::end(kGb18030Ranges), ch,
                                       [](char32_t c, const Range& range) { return c < range.ch; });
    const Range& range = *(next - 1);
    return range.nPointer + (ch - range.ch);
}
