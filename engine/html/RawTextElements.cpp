#include "engine/html/RawTextElements.h"

#include <strings.h>

namespace {

constexpr RawTextElement kElements[] = {
    {"SCRIPT", RawTextKind::Script},      {"STYLE", RawTextKind::Style},
    {"TITLE", RawTextKind::Escapable},    {"TEXTAREA", RawTextKind::Escapable},
    {"XMP", RawTextKind::Verbatim},       {"IFRAME", RawTextKind::Verbatim},
    {"NOEMBED", RawTextKind::Verbatim},   {"NOFRAMES", RawTextKind::Verbatim},
    {"PLAINTEXT", RawTextKind::PlainText},
};

} // namespace

const RawTextElement* FindRawTextElement(std::string_view name)
{
    for (const RawTextElement& element : kElements) {
        if (name.size() == element.name.size() && strncasecmp(name.data(), element.name.data(), name.size()) == 0)
            return &element;
    }
    return nullptr;
}
