// Feeds arbitrary bytes to the keyword engine as a page: whatever they hold, extraction ends
// with status 0 and at most the phrase limit of well-formed phrases.
#include "keywords/KxApi.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    static KxEngine* engine = [] {
        KxEngine* e = nullptr;
        if (kxCreateEngine(&e) != KX_OK)
            std::abort();
        return e;
    }();

    KxDocument* doc = nullptr;
    if (kxCreateDocument(&doc) != KX_OK)
        std::abort();
    // The first byte picks the beta and whether the page is HTML; the rest is the page, fed in
    // the reference checkers' 511-byte pieces.
    if (size > 0) {
        if (kxSetBeta(doc, 3.0 + data[0] % 28) != KX_OK)
            std::abort();
        if ((data[0] & 0x80) == 0 && kxResetDocument(doc, engine) != KX_OK)
            std::abort();
        ++data;
        --size;
    }
    for (size_t at = 0; at < size; at += 511) {
        size_t n = size - at < 511 ? size - at : 511;
        if (kxAddText(doc, engine, reinterpret_cast<const char*>(data + at), static_cast<int>(n)) != KX_OK)
            std::abort();
    }
    if (kxExtract(doc, engine) != KX_OK)
        std::abort();
    int count = -1;
    if (kxGetPhraseCount(doc, &count) != KX_OK || count < 0 || count > 30)
        std::abort();
    for (int i = 0; i < count; ++i) {
        const char* phrase = nullptr;
        if (kxGetPhrase(doc, i, &phrase) != KX_OK || phrase == nullptr)
            std::abort();
        size_t len = std::strlen(phrase);
        // A phrase is one to three words and never longer than the engine forms.
        if (len == 0 || len > 256)
            std::abort();
    }
    const char* none = nullptr;
    if (kxGetPhrase(doc, count, &none) != KX_ERR_PHRASE_INDEX || none != nullptr)
        std::abort();
    if (kxDestroyDocument(doc) != KX_OK)
        std::abort();
    return 0;
}
