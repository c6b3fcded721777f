// The keyword extraction engine's plain function interface: an engine of word tables shared
// by documents, each document fed the text of one page and asked for its key phrases.
#pragma once

struct KxEngine;
struct KxDocument;

// Status codes. 4 to 9 belong to option and stop-list operations this engine does not offer;
// kxGetErrorText still knows their texts.
#define KX_OK 0
#define KX_ERR_MEMORY 1
#define KX_ERR_NULL_DOCUMENT 2
#define KX_ERR_NULL_ENGINE 3
#define KX_ERR_CHARCODE_RANGE 4
#define KX_ERR_LANGUAGE_RANGE 5
#define KX_ERR_STOP_PHRASE_CASE 6
#define KX_ERR_STOP_PHRASE_FORM 7
#define KX_ERR_STOP_WORD_CASE 8
#define KX_ERR_STOP_WORD_FORM 9
#define KX_ERR_PHRASE_INDEX 10
#define KX_ERR_UCS2_LENGTH 12

// Nothing is thrown out of these functions. An engine may be used by several threads at once
// (it is only read after kxCreateEngine); a document belongs to one thread at a time.
extern "C" {

// Builds the engine's word sets. On failure *ppEngine is null.
int kxCreateEngine(KxEngine** ppEngine);
// A document with its counting tables and the default options (beta 7.0, language decided
// from the text, 8-bit input and output).
int kxCreateDocument(KxDocument** ppDocument);
// Beta, the desired number of key phrases, clamped to 3.0 .. 30.0.
int kxSetBeta(KxDocument* pDocument, double beta);
// Prepares the document for HTML text; counts and phrases stay.
int kxResetDocument(KxDocument* pDocument, const KxEngine* pEngine);
// Prepares and counts one piece of text; the buffer is not kept. Callable any number of times;
// a word cut between two pieces is joined.
int kxAddText(KxDocument* pDocument, const KxEngine* pEngine, const char* pText, int nLength);
// Ends the text, decides the language and fills the result list. A second call keeps the
// results of the first.
int kxExtract(KxDocument* pDocument, const KxEngine* pEngine);
int kxGetPhraseCount(const KxDocument* pDocument, int* pnCount);
// The phrase at a 0-based index; the text is owned by the document and lives as long as it.
int kxGetPhrase(const KxDocument* pDocument, int nIndex, const char** ppPhrase);
int kxDestroyDocument(KxDocument* pDocument);
int kxDestroyEngine(KxEngine* pEngine);
// A 1000-byte buffer holding the text of a status, allocated with malloc: the caller releases
// it with free. Null when the allocation fails.
void kxGetErrorText(int nStatus, char** ppText);

} // extern "C"
