// Rewrites arbitrary bytes as a page: once without edits, where the copy must equal the input
// byte for byte; once with an edited Keywords content and title, where a copy must come out
// and the rewrite must end without a crash or a hang; and once given another charset, where the
// page is converted, relabelled or refused, also without a crash or a hang.
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditEngine.h"
#include "engine/project/CPageNode.h"
#include "platform/core/CException.h"
#include "platform/core/CMemFile.h"
#include "tests/support/RewriteModel.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string RewriteBytes(const uint8_t* data, size_t size, CMetaContentList& edits, CPageNode& page)
{
    CMemFile input;
    if (size > 0)
        input.Write(data, static_cast<UINT>(size));
    input.SeekToBegin();
    CMemFile output;
    CMetaEditEngine engine(&edits, &page, &input, &output, nullptr);
    engine.Run();
    UINT nID = 0;
    engine.GetError(nID);
    if (engine.GetWriteFailed())
        std::abort();
    std::string copy(static_cast<size_t>(output.GetLength()), '\0');
    output.SeekToBegin();
    if (!copy.empty())
        output.Read(copy.data(), static_cast<UINT>(copy.size()));
    return copy;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RewriteModel();
    {
        CMetaContentList edits;
        CPageNode page;
        const std::string copy = RewriteBytes(data, size, edits, page);
        if (copy.size() != size || (size > 0 && std::memcmp(copy.data(), data, size) != 0))
            std::abort();
    }
    {
        CMetaContentList edits;
        CMetaContent* pContent = nullptr;
        edits.AddContent("Keywords", "fuzz, test", 1, pContent);
        edits.AddContent("Description", "", 1, pContent);
        CPageNode page;
        page.SetTitle("Fuzzed");
        page.SetTitleModified(1);
        const std::string copy = RewriteBytes(data, size, edits, page);
        // Edits replace tags and title text inside the head, whose start tag is always copied:
        // a page never rewrites to nothing.
        if (size > 0 && copy.empty())
            std::abort();
    }
    for (const char* pszCharset : {"text/html; charset=windows-1251", "text/html; charset=UTF-8"}) {
        CMetaContentList edits;
        CMetaContent* pContent = nullptr;
        edits.AddContent("Content-Type", pszCharset, 1, pContent);
        edits.AddContent("Description", "caf\xC3\xA9 \xE2\x86\x92", 1, pContent);
        CPageNode page;
        RewriteBytes(data, size, edits, page);
    }
    return 0;
}
