#include "keywords/KxApi.h"

#include "keywords/KxCharUtil.h"
#include "keywords/KxDocument.h"
#include "keywords/KxEngine.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

// The 256-byte tables of input and output character code 1. That code is never selected in
// this program, so the alternate code page is taken to be Latin-1 itself.
char ConvertAlternate(char c)
{
    return c;
}

} // namespace

extern "C" {

int kxCreateEngine(KxEngine** ppEngine)
{
    if (ppEngine == nullptr)
        return KX_ERR_NULL_ENGINE;
    *ppEngine = nullptr;
    try {
        auto engine = std::make_unique<KxEngine>();
        if (engine->Build() != kx::kHashOk)
            return KX_ERR_MEMORY;
        *ppEngine = engine.release();
        return KX_OK;
    } catch (...) {
        return KX_ERR_MEMORY;
    }
}

int kxCreateDocument(KxDocument** ppDocument)
{
    if (ppDocument == nullptr)
        return KX_ERR_NULL_DOCUMENT;
    *ppDocument = nullptr;
    try {
        auto document = std::make_unique<KxDocument>();
        if (document->Create() != 0)
            return KX_ERR_MEMORY;
        *ppDocument = document.release();
        return KX_OK;
    } catch (...) {
        return KX_ERR_MEMORY;
    }
}

int kxSetBeta(KxDocument* pDocument, double beta)
{
    if (pDocument == nullptr)
        return KX_ERR_NULL_DOCUMENT;
    // A value that is not a number is taken as the smallest beta rather than left to the
    // comparisons below, which would let it through.
    if (!(beta >= 3.0))
        beta = 3.0;
    pDocument->beta = std::min(beta, 30.0);
    return KX_OK;
}

int kxResetDocument(KxDocument* pDocument, const KxEngine* pEngine)
{
    if (pDocument == nullptr)
        return KX_ERR_NULL_DOCUMENT;
    if (pEngine == nullptr)
        return KX_ERR_NULL_ENGINE;
    pDocument->htmlInput = 1;
    pDocument->html.Clear();
    pDocument->html.references = &pEngine->charRefs;
    return KX_OK;
}

int kxAddText(KxDocument* pDocument, const KxEngine* pEngine, const char* pText, int nLength)
{
    if (pDocument == nullptr)
        return KX_ERR_NULL_DOCUMENT;
    if (pEngine == nullptr)
        return KX_ERR_NULL_ENGINE;
    try {
        KxDocument& doc = *pDocument;
        // No text, or a negative length, is an empty piece.
        size_t length = pText != nullptr && nLength > 0 ? static_cast<size_t>(nLength) : 0;
        if (doc.inputCharCode == 2 && length % 2 != 0)
            return KX_ERR_UCS2_LENGTH;
        doc.totalLength = length > static_cast<size_t>(INT_MAX - doc.totalLength)
                              ? INT_MAX
                              : doc.totalLength + static_cast<int>(length);
        // 8-bit text is read where it stands; the other codes are converted first.
        std::string converted;
        std::string_view piece(pText != nullptr ? pText : "", length);
        if (doc.inputCharCode == 2) {
            converted = kx::NarrowUcs2(reinterpret_cast<const unsigned char*>(pText), length);
            piece = converted;
        } else if (doc.inputCharCode == 1) {
            converted.assign(piece);
            std::transform(converted.begin(), converted.end(), converted.begin(), ConvertAlternate);
            piece = converted;
        }
        // The engine works on NUL-terminated text: a NUL byte ends the piece.
        if (const void* nul = std::memchr(piece.data(), '\0', piece.size()))
            piece = piece.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - piece.data()));
        std::string prepared;
        if (doc.htmlInput == 1) {
            if (doc.html.references == nullptr)
                doc.html.references = &pEngine->charRefs;
            prepared = kx::PrepareHtml(doc.html, piece);
            piece = prepared;
        }
        if (doc.mailInput == 1) {
            prepared = kx::PrepareMail(doc.mail, pEngine->mailHeaders, piece);
            piece = prepared;
        }
        return doc.FeedPrepared(*pEngine, piece) == 0 ? KX_OK : KX_ERR_MEMORY;
    } catch (...) {
        return KX_ERR_MEMORY;
    }
}

int kxExtract(KxDocument* pDocument, const KxEngine* pEngine)
{
    if (pDocument == nullptr)
        return KX_ERR_NULL_DOCUMENT;
    if (pEngine == nullptr)
        return KX_ERR_NULL_ENGINE;
    KxDocument& doc = *pDocument;
    if (doc.extracted == 1)
        return KX_OK;
    try {
        // A newline ends the word that may still be pending. It is clean text, so it bypasses
        // the preparations, which could swallow it inside an unfinished tag.
        int html = doc.htmlInput, mail = doc.mailInput, code = doc.inputCharCode;
        doc.htmlInput = doc.mailInput = doc.inputCharCode = 0;
        int status = kxAddText(pDocument, pEngine, "\n", 1);
        doc.htmlInput = html;
        doc.mailInput = mail;
        doc.inputCharCode = code;
        if (status != KX_OK)
            return status;
        doc.extracted = 1;
        int replayStatus = 0;
        if (!doc.DecideLanguage(*pEngine, 4, &replayStatus)) {
            doc.detectedLanguage = 0;
            doc.distinctCount = 0;
            doc.resultCount = 0;
            return KX_OK;
        }
        if (replayStatus != 0)
            return KX_ERR_MEMORY;
        return doc.Score(*pEngine) == 0 ? KX_OK : KX_ERR_MEMORY;
    } catch (...) {
        return KX_ERR_MEMORY;
    }
}

int kxGetPhraseCount(const KxDocument* pDocument, int* pnCount)
{
    if (pDocument == nullptr)
        return KX_ERR_NULL_DOCUMENT;
    if (pnCount != nullptr)
        *pnCount = pDocument->resultCount;
    return KX_OK;
}

int kxGetPhrase(const KxDocument* pDocument, int nIndex, const char** ppPhrase)
{
    if (pDocument == nullptr)
        return KX_ERR_NULL_DOCUMENT;
    if (nIndex < 0 || nIndex >= pDocument->resultCount)
        return KX_ERR_PHRASE_INDEX;
    const std::string* phrase = pDocument->results.At(nIndex);
    if (phrase == nullptr)
        return KX_ERR_PHRASE_INDEX;
    if (ppPhrase != nullptr)
        *ppPhrase = phrase->c_str();
    return KX_OK;
}

int kxDestroyDocument(KxDocument* pDocument)
{
    if (pDocument == nullptr)
        return KX_ERR_NULL_DOCUMENT;
    delete pDocument;
    return KX_OK;
}

int kxDestroyEngine(KxEngine* pEngine)
{
    if (pEngine == nullptr)
        return KX_ERR_NULL_ENGINE;
    delete pEngine;
    return KX_OK;
}

void kxGetErrorText(int nStatus, char** ppText)
{
    if (ppText == nullptr)
        return;
    const char* text = nullptr;
    switch (nStatus) {
    case 0: text = "All is OK. No errors were detected. \n"; break;
    case 1: text = "Memory allocation error. Out of RAM. \n"; break;
    case 2: text = "DocumentMemory pointer is NULL. \n"; break;
    case 3: text = "StopMemory pointer is NULL. \n"; break;
    case 4: text = "CharCodeID is out of range. \n"; break;
    case 5: text = "LanguageID is out of range. \n"; break;
    case 6:
        text = "The stop phrase is not entirely lower case. \nIt might contain a capital letter or "
               "a non-alphabetic character. \n";
        break;
    case 7:
        text = "The stop phrase is not entirely lower case. \nIt might contain a capital letter or "
               "a non-alphabetic character. \nWords in two- and three-word phrases should be "
               "separated by a single space. \nNote that (for example) \"j'ai\" is considered to "
               "be a two-word phrase, \nso it would be entered as \"j ai\". \n";
        break;
    case 8:
        text = "The stop word is not entirely lower case. \nIt might contain a capital, a space, "
               "or a non-alphabetic character. \n";
        break;
    case 9:
        text = "The stop word is not entirely lower case. \nIt might contain a capital, a space, "
               "or a non-alphabetic character. \nNote that (for example) \"j'ai\" is considered "
               "to be a two-word phrase. \n";
        break;
    case 10: text = "PhraseIndex is out of range. \n"; break;
    case 12:
        text = "When the input character code is Unicode UCS2, the buffer length, \nmeasured in "
               "bytes, must be a multiple of two.\n";
        break;
    default: text = "Error Code is UNKNOWN. \n"; break;
    }
    constexpr size_t kBufferSize = 1000;
    char* buffer = static_cast<char*>(std::malloc(kBufferSize));
    if (buffer != nullptr) {
        std::strncpy(buffer, text, kBufferSize - 1);
        buffer[kBufferSize - 1] = '\0';
    }
    *ppText = buffer;
}

} // extern "C"
