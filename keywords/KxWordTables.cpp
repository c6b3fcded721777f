#include "keywords/KxWordTables.h"

#include <cstdio>

namespace kx {

std::string Latin1FromUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        // Two-byte sequences up to U+00FF become their Latin-1 byte; the tables hold nothing else.
        if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
            auto next = static_cast<unsigned char>(text[i + 1]);
            out.push_back(static_cast<char>(((c & 0x03) << 6) | (next & 0x3F)));
            ++i;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::vector<std::string> WordsOf(std::string_view list)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && (list[i] == ' ' || list[i] == '\n'))
            ++i;
        size_t start = i;
        while (i < list.size() && list[i] != ' ' && list[i] != '\n')
            ++i;
        if (i > start)
            words.push_back(Latin1FromUtf8(list.substr(start, i - start)));
    }
    return words;
}

std::vector<std::string> FrenchParticles()
{
    return WordsOf("à a au aux d de des du non par");
}

std::vector<std::string> FrenchPronouns()
{
    return WordsOf("avec ce ci d dedans dessous dessus dire elle elles en être etre il ils je la "
                   "là le les leur leurs lui même meme moi nous on toi tu vous");
}

std::vector<std::string> MailHeaderNames()
{
    // "Reply " ends in a blank, so this list is not split on blanks.
    return {"(SMI-", "A1-", "Alternate-", "Announce:", "Apparently-", "CC:", "Cc:", "Content-",
            "Date:", "Disclose-", "From:", "Hop-", "Importance:", "MIME-", "Mail*", "Message-",
            "Mime-", "Organization:", "Original-", "P2-", "Posting-", "Precedence:", "Priority:",
            "Received:", "Reply ", "Reply-", "Reply:", "Return-", "Sender:", "Status:",
            "Subject:", "To:", "Transport-", "X400-"};
}

std::vector<std::pair<std::string, std::string>> CharacterReferences()
{
    std::vector<std::pair<std::string, std::string>> refs;
    char name[16];
    for (int n = 32; n <= 255; ++n) {
        std::snprintf(name, sizeof name, "#%.3d", n);
        refs.emplace_back(name, std::string(1, static_cast<char>(n)));
    }
    for (int n = 32; n <= 99; ++n) {
        std::snprintf(name, sizeof name, "#%.2d", n);
        refs.emplace_back(name, std::string(1, static_cast<char>(n)));
    }
    // The named references of Latin-1, from 0xA1 on (the soft hyphen is left out: it stands
    // inside words and is better dropped than turned into a character).
    static const char* const named[] = {
        "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", "uml", nullptr, "ordf",
        "laquo", "not", nullptr, "reg", "macr", "deg", "plusmn", "sup2", "sup3", "acute",
        "micro", "para", "middot", "cedil", "sup1", "ordm", "raquo", "frac14", "frac12",
        "frac34", "iquest", "Agrave", "Aacute", "Acirc", "Atilde", "Auml", "Aring", "AElig",
        "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml", "Igrave", "Iacute", "Icirc", "Iuml",
        "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml", "times", "Oslash",
        "Ugrave", "Uacute", "Ucirc", "Uuml", "Yacute", "THORN", "szlig", "agrave", "aacute",
        "acirc", "atilde", "auml", "aring", "aelig", "ccedil", "egrave", "eacute", "ecirc",
        "euml", "igrave", "iacute", "icirc", "iuml", "eth", "ntilde", "ograve", "oacute",
        "ocirc", "otilde", "ouml", "divide", "oslash", "ugrave", "uacute", "ucirc", "uuml",
        "yacute", "thorn", "yuml"};
    int code = 0xA1;
    for (const char* n : named) {
        if (n != nullptr)
            refs.emplace_back(n, std::string(1, static_cast<char>(code)));
        ++code;
    }
    refs.emplace_back("amp", "&");
    refs.emplace_back("nbsp", " ");
    // The copyright sign and the markup characters end a sentence in keyword text.
    refs.emplace_back("copy", ". ");
    refs.emplace_back("gt", ". ");
    refs.emplace_back("lt", ". ");
    refs.emplace_back("quot", ". ");
    return refs;
}

} // namespace kx
