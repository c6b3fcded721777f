// Helpers of the editor document tests: the whole text of a document and loading from bytes.
#pragma once

#include "toolkit/editor/SECEditDoc.h"

#include "support/ScopedTempDir.h"

#include <string>

inline std::string DocText(const SECEditDoc& doc)
{
    std::string text;
    for (const SECEditLine* line = doc.GetFirstLine(); line != nullptr; line = line->pNext)
        text.append(line->pText, static_cast<size_t>(line->nLength));
    return text;
}

inline int LoadBytes(SECEditDoc& doc, const ScopedTempDir& dir, const std::string& bytes,
                     const std::string& name = "page.html")
{
    dir.WriteFile(name, bytes);
    return doc.LoadFile(dir.File(name).c_str());
}

inline SECEditPos Pos(const SECEditDoc& doc, int line, int offset)
{
    return SECEditPos{doc.GetLine(line), offset};
}
