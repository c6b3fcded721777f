// The charsets browsers read web pages in, each under the labels a page may name it by, with the
// converters that read and write it here.
#pragma once

#include <string_view>

struct PageEncoding {
    enum class Family {
        Utf8,
        Windows1252, // the labels of Latin-1, ASCII and Windows-1252, which browsers read alike
        Converter,   // through the program's codecs (CPageCodec)
        Utf16,       // read as UTF-8, as a page whose META tag could be read at all must be
    };
    const char* pszName;  // as browsers name it
    Family family;
    const char* pszRead;  // codec names (the write name also tells the three Windows-1252 ones
    const char* pszWrite; // apart)
    // Whether its characters take more than one byte: bytes that read whole in such a charset
    // are rarely in another, while bytes of a one-byte charset read in any other of its kind.
    bool bMultiByte = false;
};

// The charset a label names, in any case and with blanks around it, as browsers take labels;
// null for a label no browser reads pages in (UTF-32, UTF-7, EBCDIC code pages, the charsets a
// browser shows no text of, and names of nothing).
const PageEncoding* FindPageEncoding(std::string_view label);
