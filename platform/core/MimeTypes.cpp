#include "platform/core/MimeTypes.h"

#include "platform/core/AtomicFile.h"

namespace {

bool IsHeaderBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string MimeLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

MimeTypeTable ParseMimeTypes(std::string_view text)
{
    MimeTypeTable table;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        size_t hash = line.find('#');
        if (hash != std::string_view::npos)
            line = line.substr(0, hash);

        std::string type;
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && IsHeaderBlank(line[i]))
                ++i;
            size_t start = i;
            while (i < line.size() && !IsHeaderBlank(line[i]))
                ++i;
            if (start == i)
                break;
            std::string_view word = line.substr(start, i - start);
            if (type.empty())
                type = MimeLower(word);
            else
                table.emplace(MimeLower(word), type);
        }
    }
    return table;
}

MimeTypeTable BuiltInMimeTypes()
{
    return {
        {"css", "text/css"},   {"gif", "image/gif"},   {"htm", "text/html"},
        {"html", "text/html"}, {"jpeg", "image/jpeg"}, {"jpg", "image/jpeg"},
        {"js", "text/javascript"}, {"png", "image/png"}, {"txt", "text/plain"},
    };
}

MimeTypeTable LoadMimeTypes(const std::string& path)
{
    std::string text;
    if (ReadWholeFile(path, text) != 0)
        return BuiltInMimeTypes();
    MimeTypeTable table = ParseMimeTypes(text);
    if (table.empty())
        return BuiltInMimeTypes();
    return table;
}
