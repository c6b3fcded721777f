// Shared pieces of the keyword tests: one engine built for the whole program, Latin-1 text
// from UTF-8 literals, and a document fed plain or HTML text.
#pragma once

#include "keywords/KxApi.h"
#include "keywords/KxDocument.h"
#include "keywords/KxEngine.h"
#include "keywords/KxWordFilter.h"
#include "keywords/KxWordTables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

inline const KxEngine& TestEngine()
{
    static KxEngine* engine = [] {
        KxEngine* e = nullptr;
        if (kxCreateEngine(&e) != KX_OK)
            std::abort();
        return e;
    }();
    return *engine;
}

inline std::string L1(std::string_view utf8)
{
    return kx::Latin1FromUtf8(utf8);
}

struct DocumentDeleter {
    void operator()(KxDocument* d) const { (void)kxDestroyDocument(d); }
};
using DocumentPtr = std::unique_ptr<KxDocument, DocumentDeleter>;

inline DocumentPtr NewDocument()
{
    KxDocument* d = nullptr;
    if (kxCreateDocument(&d) != KX_OK)
        std::abort();
    return DocumentPtr(d);
}

inline int Feed(KxDocument* d, std::string_view text)
{
    return kxAddText(d, &TestEngine(), text.data(), static_cast<int>(text.size()));
}

inline std::vector<std::string> Phrases(const KxDocument* d)
{
    std::vector<std::string> out;
    int count = 0;
    EXPECT_EQ(kxGetPhraseCount(d, &count), KX_OK);
    for (int i = 0; i < count; ++i) {
        const char* p = nullptr;
        EXPECT_EQ(kxGetPhrase(d, i, &p), KX_OK);
        out.emplace_back(p != nullptr ? p : "");
    }
    return out;
}

inline int CountOf(const KxDocument* d, const char* phrase)
{
    return d->PhraseCount(phrase);
}
