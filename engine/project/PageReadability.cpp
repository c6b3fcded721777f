#include "engine/project/PageReadability.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

// The number with its thousands grouped: "2,621,440,000".
std::string Grouped(unsigned long long n)
{
    std::string strDigits = std::to_string(n);
    for (int i = static_cast<int>(strDigits.size()) - 3; i > 0; i -= 3)
        strDigits.insert(static_cast<size_t>(i), ",");
    return strDigits;
}

} // namespace

CString PageSizeText(unsigned long long nBytes)
{
    static constexpr struct {
        unsigned long long nUnit;
        const char* pszName;
    } kUnits[] = {{1ull << 30, "GB"}, {1ull << 20, "MB"}, {1ull << 10, "KB"}};
    CString strText;
    for (const auto& unit : kUnits) {
        if (nBytes >= unit.nUnit) {
            // Three figures at most, without the zeros after the point that say nothing.
            const double dValue = static_cast<double>(nBytes) / static_cast<double>(unit.nUnit);
            std::string strValue(16, '\0');
            strValue.resize(static_cast<size_t>(std::snprintf(strValue.data(), strValue.size(), "%.*f",
                                                              dValue < 10 ? 2 : dValue < 100 ? 1 : 0, dValue)));
            if (strValue.find('.') != std::string::npos) {
                strValue.erase(strValue.find_last_not_of('0') + 1);
                if (strValue.back() == '.')
                    strValue.pop_back();
            }
            strText.Format("%s %s", strValue.c_str(), unit.pszName);
            return strText;
        }
    }
    strText.Format(nBytes == 1 ? "%llu byte" : "%llu bytes", nBytes);
    return strText;
}

CString TooLargePageText(unsigned long long nBytes)
{
    CString strText;
    strText.Format("Left unread: the page is %s (%s bytes), and the scan reads pages of up to %s.",
                   PageSizeText(nBytes).GetString(), Grouped(nBytes).c_str(), PageSizeText(kLargestReadPage).GetString());
    return strText;
}

CString NotAFileText(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "It is a named pipe, not a file.";
    if (S_ISSOCK(mode))
        return "It is a socket, not a file.";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "It is a device, not a file.";
    return CString();
}

const char* MarkedWideCharset(std::string_view start)
{
    // UTF-32's little-endian mark begins with UTF-16's, so it is looked for first.
    const std::string_view mark = start.substr(0, 4);
    if (mark == std::string_view("\xFF\xFE\0\0", 4) || mark == std::string_view("\0\0\xFE\xFF", 4))
        return "UTF-32";
    if (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF")
        return "UTF-16";
    return nullptr;
}

CString UnwrittenCharsetText(std::string_view start)
{
    const char* pszCharset = MarkedWideCharset(start);
    return pszCharset != nullptr ? WideCharsetText(pszCharset) : CString();
}

CString WideCharsetText(const char* pszCharset)
{
    CString strText;
    strText.Format("The page is written in %s, a charset this program does not write: it is left as it is.",
                   pszCharset);
    return strText;
}

CString WideCharsetReason(const char* pszCharset)
{
    CString strText;
    strText.Format("the page is written in %s, a charset this program does not write.", pszCharset);
    return strText;
}

bool LooksBinary(std::string_view start)
{
    for (const char ch : start) {
        const auto by = static_cast<unsigned char>(ch);
        if (by < 0x20 && by != '\t' && by != '\n' && by != '\v' && by != '\f' && by != '\r' && by != 0x1B)
            return true;
    }
    return false;
}

CString BinaryPageText()
{
    return "The file holds binary data, not the text of an HTML page.";
}

CString BinaryPageReason()
{
    return "the file holds binary data, not the text of an HTML page.";
}

CString EmptyPageText()
{
    return "The page is empty: its file holds nothing, so there is no HTML to write the tags into.";
}
