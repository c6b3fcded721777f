#include "engine/html/PageEncodings.h"

#include <algorithm>
#include <string>

namespace {

using Family = PageEncoding::Family;

const PageEncoding kUtf8{"UTF-8", Family::Utf8, "", "", true};
const PageEncoding kLatin1{"ISO-8859-1", Family::Windows1252, "", "ISO-8859-1"};
const PageEncoding kAscii{"US-ASCII", Family::Windows1252, "", "ASCII"};
const PageEncoding kWindows1252{"windows-1252", Family::Windows1252, "", "WINDOWS-1252"};
const PageEncoding kUtf16le{"UTF-16LE", Family::Utf16, "", "", true};
const PageEncoding kUtf16be{"UTF-16BE", Family::Utf16, "", "", true};
const PageEncoding kIbm866{"IBM866", Family::Converter, "IBM866", "IBM866"};
const PageEncoding kIso2{"ISO-8859-2", Family::Converter, "ISO-8859-2", "ISO-8859-2"};
const PageEncoding kIso3{"ISO-8859-3", Family::Converter, "ISO-8859-3", "ISO-8859-3"};
const PageEncoding kIso4{"ISO-8859-4", Family::Converter, "ISO-8859-4", "ISO-8859-4"};
const PageEncoding kIso5{"ISO-8859-5", Family::Converter, "ISO-8859-5", "ISO-8859-5"};
const PageEncoding kIso6{"ISO-8859-6", Family::Converter, "ISO-8859-6", "ISO-8859-6"};
const PageEncoding kIso7{"ISO-8859-7", Family::Converter, "ISO-8859-7", "ISO-8859-7"};
const PageEncoding kIso8{"ISO-8859-8", Family::Converter, "ISO-8859-8", "ISO-8859-8"};
const PageEncoding kIso8i{"ISO-8859-8-I", Family::Converter, "ISO-8859-8", "ISO-8859-8"};
const PageEncoding kIso10{"ISO-8859-10", Family::Converter, "ISO-8859-10", "ISO-8859-10"};
const PageEncoding kIso13{"ISO-8859-13", Family::Converter, "ISO-8859-13", "ISO-8859-13"};
const PageEncoding kIso14{"ISO-8859-14", Family::Converter, "ISO-8859-14", "ISO-8859-14"};
const PageEncoding kIso15{"ISO-8859-15", Family::Converter, "ISO-8859-15", "ISO-8859-15"};
const PageEncoding kIso16{"ISO-8859-16", Family::Converter, "ISO-8859-16", "ISO-8859-16"};
const PageEncoding kKoi8r{"KOI8-R", Family::Converter, "KOI8-R", "KOI8-R"};
const PageEncoding kKoi8u{"KOI8-U", Family::Converter, "KOI8-U", "KOI8-U"};
const PageEncoding kMacintosh{"macintosh", Family::Converter, "MACINTOSH", "MACINTOSH"};
const PageEncoding kWindows874{"windows-874", Family::Converter, "WINDOWS-874", "WINDOWS-874"};
const PageEncoding kWindows1250{"windows-1250", Family::Converter, "CP1250", "CP1250"};
const PageEncoding kWindows1251{"windows-1251", Family::Converter, "CP1251", "CP1251"};
const PageEncoding kWindows1253{"windows-1253", Family::Converter, "CP1253", "CP1253"};
const PageEncoding kWindows1254{"windows-1254", Family::Converter, "CP1254", "CP1254"};
const PageEncoding kWindows1255{"windows-1255", Family::Converter, "CP1255", "CP1255"};
const PageEncoding kWindows1256{"windows-1256", Family::Converter, "CP1256", "CP1256"};
const PageEncoding kWindows1257{"windows-1257", Family::Converter, "CP1257", "CP1257"};
const PageEncoding kWindows1258{"windows-1258", Family::Converter, "CP1258", "CP1258"};
const PageEncoding kMacCyrillic{"x-mac-cyrillic", Family::Converter, "MAC-CYRILLIC", "MAC-CYRILLIC"};
// Browsers read GBK pages with its superset; what is written stays in GBK proper.
const PageEncoding kGbk{"GBK", Family::Converter, "GB18030", "GBK", true};
const PageEncoding kGb18030{"gb18030", Family::Converter, "GB18030", "GB18030", true};
const PageEncoding kBig5{"Big5", Family::Converter, "BIG5", "BIG5", true};
const PageEncoding kEucJp{"EUC-JP", Family::Converter, "EUC-JP", "EUC-JP", true};
const PageEncoding kIso2022Jp{"ISO-2022-JP", Family::Converter, "ISO-2022-JP", "ISO-2022-JP", true};
const PageEncoding kShiftJis{"Shift_JIS", Family::Converter, "CP932", "CP932", true};
// Browsers read EUC-KR pages with its superset, which some of them need; what is written stays in
// EUC-KR proper, unless the page named the superset itself.
const PageEncoding kEucKr{"EUC-KR", Family::Converter, "CP949", "EUC-KR", true};
const PageEncoding kWindows949{"EUC-KR", Family::Converter, "CP949", "CP949", true};

struct Label {
    const char* pszLabel;
    const PageEncoding* pEncoding;
};

const Label kLabels[] = {
    {"unicode-1-1-utf-8", &kUtf8}, {"unicode11utf8", &kUtf8}, {"unicode20utf8", &kUtf8}, {"utf-8", &kUtf8},
    {"utf8", &kUtf8}, {"x-unicode20utf8", &kUtf8},
    {"866", &kIbm866}, {"cp866", &kIbm866}, {"csibm866", &kIbm866}, {"ibm866", &kIbm866},
    {"csisolatin2", &kIso2}, {"iso-8859-2", &kIso2}, {"iso-ir-101", &kIso2}, {"iso8859-2", &kIso2},
    {"iso88592", &kIso2}, {"iso_8859-2", &kIso2}, {"iso_8859-2:1987", &kIso2}, {"l2", &kIso2}, {"latin2", &kIso2},
    {"csisolatin3", &kIso3}, {"iso-8859-3", &kIso3}, {"iso-ir-109", &kIso3}, {"iso8859-3", &kIso3},
    {"iso88593", &kIso3}, {"iso_8859-3", &kIso3}, {"iso_8859-3:1988", &kIso3}, {"l3", &kIso3}, {"latin3", &kIso3},
    {"csisolatin4", &kIso4}, {"iso-8859-4", &kIso4}, {"iso-ir-110", &kIso4}, {"iso8859-4", &kIso4},
    {"iso88594", &kIso4}, {"iso_8859-4", &kIso4}, {"iso_8859-4:1988", &kIso4}, {"l4", &kIso4}, {"latin4", &kIso4},
    {"csisolatincyrillic", &kIso5}, {"cyrillic", &kIso5}, {"iso-8859-5", &kIso5}, {"iso-ir-144", &kIso5},
    {"iso8859-5", &kIso5}, {"iso88595", &kIso5}, {"iso_8859-5", &kIso5}, {"iso_8859-5:1988", &kIso5},
    {"arabic", &kIso6}, {"asmo-708", &kIso6}, {"csiso88596e", &kIso6}, {"csiso88596i", &kIso6},
    {"csisolatinarabic", &kIso6}, {"ecma-114", &kIso6}, {"iso-8859-6", &kIso6}, {"iso-8859-6-e", &kIso6},
    {"iso-8859-6-i", &kIso6}, {"iso-ir-127", &kIso6}, {"iso8859-6", &kIso6}, {"iso88596", &kIso6},
    {"iso_8859-6", &kIso6}, {"iso_8859-6:1987", &kIso6},
    {"csisolatingreek", &kIso7}, {"ecma-118", &kIso7}, {"elot_928", &kIso7}, {"greek", &kIso7}, {"greek8", &kIso7},
    {"iso-8859-7", &kIso7}, {"iso-ir-126", &kIso7}, {"iso8859-7", &kIso7}, {"iso88597", &kIso7},
    {"iso_8859-7", &kIso7}, {"iso_8859-7:1987", &kIso7}, {"sun_eu_greek", &kIso7},
    {"csiso88598e", &kIso8}, {"csisolatinhebrew", &kIso8}, {"hebrew", &kIso8}, {"iso-8859-8", &kIso8},
    {"iso-8859-8-e", &kIso8}, {"iso-ir-138", &kIso8}, {"iso8859-8", &kIso8}, {"iso88598", &kIso8},
    {"iso_8859-8", &kIso8}, {"iso_8859-8:1988", &kIso8}, {"visual", &kIso8},
    {"csiso88598i", &kIso8i}, {"iso-8859-8-i", &kIso8i}, {"logical", &kIso8i},
    {"csisolatin6", &kIso10}, {"iso-8859-10", &kIso10}, {"iso-ir-157", &kIso10}, {"iso8859-10", &kIso10},
    {"iso885910", &kIso10}, {"l6", &kIso10}, {"latin6", &kIso10},
    {"iso-8859-13", &kIso13}, {"iso8859-13", &kIso13}, {"iso885913", &kIso13},
    {"iso-8859-14", &kIso14}, {"iso8859-14", &kIso14}, {"iso885914", &kIso14},
    {"csisolatin9", &kIso15}, {"iso-8859-15", &kIso15}, {"iso8859-15", &kIso15}, {"iso885915", &kIso15},
    {"iso_8859-15", &kIso15}, {"l9", &kIso15},
    {"iso-8859-16", &kIso16},
    {"cskoi8r", &kKoi8r}, {"koi", &kKoi8r}, {"koi8", &kKoi8r}, {"koi8-r", &kKoi8r}, {"koi8_r", &kKoi8r},
    {"koi8-ru", &kKoi8u}, {"koi8-u", &kKoi8u},
    {"csmacintosh", &kMacintosh}, {"mac", &kMacintosh}, {"macintosh", &kMacintosh}, {"x-mac-roman", &kMacintosh},
    {"dos-874", &kWindows874}, {"iso-8859-11", &kWindows874}, {"iso8859-11", &kWindows874},
    {"iso885911", &kWindows874}, {"tis-620", &kWindows874}, {"windows-874", &kWindows874},
    {"cp1250", &kWindows1250}, {"windows-1250", &kWindows1250}, {"x-cp1250", &kWindows1250},
    {"cp1251", &kWindows1251}, {"windows-1251", &kWindows1251}, {"x-cp1251", &kWindows1251},
    {"ansi_x3.4-1968", &kAscii}, {"ascii", &kAscii}, {"us-ascii", &kAscii},
    {"cp819", &kLatin1}, {"csisolatin1", &kLatin1}, {"ibm819", &kLatin1}, {"iso-8859-1", &kLatin1},
    {"iso-ir-100", &kLatin1}, {"iso8859-1", &kLatin1}, {"iso88591", &kLatin1}, {"iso_8859-1", &kLatin1},
    {"iso_8859-1:1987", &kLatin1}, {"l1", &kLatin1}, {"latin1", &kLatin1},
    {"cp1252", &kWindows1252}, {"windows-1252", &kWindows1252}, {"x-cp1252", &kWindows1252},
    {"cp1253", &kWindows1253}, {"windows-1253", &kWindows1253}, {"x-cp1253", &kWindows1253},
    {"cp1254", &kWindows1254}, {"csisolatin5", &kWindows1254}, {"iso-8859-9", &kWindows1254},
    {"iso-ir-148", &kWindows1254}, {"iso8859-9", &kWindows1254}, {"iso88599", &kWindows1254},
    {"iso_8859-9", &kWindows1254}, {"iso_8859-9:1989", &kWindows1254}, {"l5", &kWindows1254},
    {"latin5", &kWindows1254}, {"windows-1254", &kWindows1254}, {"x-cp1254", &kWindows1254},
    {"cp1255", &kWindows1255}, {"windows-1255", &kWindows1255}, {"x-cp1255", &kWindows1255},
    {"cp1256", &kWindows1256}, {"windows-1256", &kWindows1256}, {"x-cp1256", &kWindows1256},
    {"cp1257", &kWindows1257}, {"windows-1257", &kWindows1257}, {"x-cp1257", &kWindows1257},
    {"cp1258", &kWindows1258}, {"windows-1258", &kWindows1258}, {"x-cp1258", &kWindows1258},
    {"x-mac-cyrillic", &kMacCyrillic}, {"x-mac-ukrainian", &kMacCyrillic},
    {"chinese", &kGbk}, {"csgb2312", &kGbk}, {"csiso58gb231280", &kGbk}, {"gb2312", &kGbk}, {"gb_2312", &kGbk},
    {"gb_2312-80", &kGbk}, {"gbk", &kGbk}, {"iso-ir-58", &kGbk}, {"x-gbk", &kGbk},
    {"gb18030", &kGb18030},
    {"big5", &kBig5}, {"big5-hkscs", &kBig5}, {"cn-big5", &kBig5}, {"csbig5", &kBig5}, {"x-x-big5", &kBig5},
    {"cseucpkdfmtjapanese", &kEucJp}, {"euc-jp", &kEucJp}, {"x-euc-jp", &kEucJp},
    {"csiso2022jp", &kIso2022Jp}, {"iso-2022-jp", &kIso2022Jp},
    {"csshiftjis", &kShiftJis}, {"ms932", &kShiftJis}, {"ms_kanji", &kShiftJis}, {"shift-jis", &kShiftJis},
    {"shift_jis", &kShiftJis}, {"sjis", &kShiftJis}, {"windows-31j", &kShiftJis}, {"x-sjis", &kShiftJis},
    {"cseuckr", &kEucKr}, {"euc-kr", &kEucKr}, {"iso-ir-149", &kEucKr}, {"korean", &kEucKr},
    {"csksc56011987", &kWindows949}, {"ks_c_5601-1987", &kWindows949}, {"ks_c_5601-1989", &kWindows949},
    {"ksc5601", &kWindows949}, {"ksc_5601", &kWindows949}, {"windows-949", &kWindows949},
    {"unicodefffe", &kUtf16be}, {"utf-16be", &kUtf16be},
    {"csunicode", &kUtf16le}, {"iso-10646-ucs-2", &kUtf16le}, {"ucs-2", &kUtf16le}, {"unicode", &kUtf16le},
    {"unicodefeff", &kUtf16le}, {"utf-16", &kUtf16le}, {"utf-16le", &kUtf16le},
};

} // namespace

const PageEncoding* FindPageEncoding(std::string_view label)
{
    const auto isBlank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\f' || ch == '\r'; };
    while (!label.empty() && isBlank(label.front()))
        label.remove_prefix(1);
    while (!label.empty() && isBlank(label.back()))
        label.remove_suffix(1);
    std::string lower(label);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; });
    for (const Label& entry : kLabels) {
        if (lower == entry.pszLabel)
            return entry.pEncoding;
    }
    return nullptr;
}
