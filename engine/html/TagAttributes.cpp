#include "engine/html/TagAttributes.h"

#include <algorithm>

namespace {

bool IsAttributeBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f';
}

// Between attributes, a "/" is a blank too.
bool IsAttributeTagBlank(char ch)
{
    return IsAttributeBlank(ch) || ch == '/';
}

char AttributeLowerAscii(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

} // namespace

std::vector<std::pair<std::string, std::string>> ReadTagAttributes(std::string_view text, size_t& at)
{
    std::vector<std::pair<std::string, std::string>> attributes;
    while (at < text.size()) {
        while (at < text.size() && IsAttributeTagBlank(text[at]))
            ++at;
        if (at >= text.size() || text[at] == '>')
            break;
        std::string name;
        while (at < text.size() && !IsAttributeTagBlank(text[at]) && text[at] != '>' && (text[at] != '=' || name.empty()))
            name += AttributeLowerAscii(text[at++]);
        while (at < text.size() && IsAttributeBlank(text[at]))
            ++at;
        std::string value;
        if (at < text.size() && text[at] == '=') {
            ++at;
            while (at < text.size() && IsAttributeBlank(text[at]))
                ++at;
            if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
                const char quote = text[at++];
                const size_t end = std::min(text.find(quote, at), text.size());
                value = text.substr(at, end - at);
                at = std::min(end + 1, text.size());
            } else {
                while (at < text.size() && !IsAttributeBlank(text[at]) && text[at] != '>')
                    value += text[at++];
            }
        }
        attributes.emplace_back(std::move(name), std::move(value));
    }
    return attributes;
}

std::string TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsAttributeBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsAttributeBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}
