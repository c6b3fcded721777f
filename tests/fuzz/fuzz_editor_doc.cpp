// Feeds arbitrary bytes to the editor's document as pasted text and as a run of edits: nothing
// crashes, no line passes the width limit, and Undo back to the start restores the text.
#include "toolkit/editor/SECEditDoc.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Text(const SECEditDoc& doc)
{
    std::string text;
    for (const SECEditLine* line = doc.GetFirstLine(); line != nullptr; line = line->pNext)
        text.append(line->pText, static_cast<size_t>(line->nLength));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 1u << 16)
        return 0;
    static SECEditDoc* doc = new SECEditDoc;
    doc->Init();
    doc->SetTabSize(1 + data[0] % 8);
    doc->SetLineEndType(data[1] % 4);
    data += 2;
    size -= 2;
    // The first half is the text; the second drives edits, four bytes each.
    size_t half = size / 2;
    SECEditPos pos{doc->GetFirstLine(), 0};
    doc->InsertText(pos, reinterpret_cast<const char*>(data), static_cast<int>(half), FALSE);
    doc->SetModified(FALSE);
    std::string start = Text(*doc);
    bool blocks = false;
    for (size_t i = half; i + 4 <= size; i += 4) {
        int line = 1 + data[i + 1] % doc->GetLineCount();
        SECEditLine* l = doc->GetLine(line);
        SECEditPos at{l, data[i + 2] % (l->nLength + 3)};
        char ch = static_cast<char>(data[i + 3]);
        switch (data[i] % 9) {
        case 0: doc->InsertChar(at, ch, TRUE, TRUE); break;
        case 1: doc->InsertChar(at, ch, FALSE, TRUE); break;
        case 2: doc->DeleteChar(at, TRUE); break;
        case 3: doc->SplitLine(at, TRUE); break;
        case 4: doc->JoinLine(at, TRUE); break;
        case 5: doc->DeleteChars(at, 1 + ch % 5, TRUE); break;
        case 6: doc->InsertText(at, "a\r\n\tb\n", -1, TRUE); break;
        case 7: doc->DeleteRange(at, SECEditPos{doc->GetLine(line + 1), ch & 7}, TRUE); break;
        default: blocks = doc->InsertColumnBlock(at, "xy\r\nz\r\n", -1, TRUE) == 0 || blocks; break;
        }
    }
    for (const SECEditLine* l = doc->GetFirstLine(); l != nullptr; l = l->pNext) {
        if (doc->ColumnFromOffset(l, doc->TextLength(l)) > SECEDIT_MAX_WIDTH)
            std::abort();
    }
    std::string end = Text(*doc);
    int records = doc->GetUndoCount();
    while (doc->Undo()) {
    }
    // With every record kept, Undo reaches the pasted text again (a column block's padding
    // aside, which stays by design) and Redo the edited one.
    if (records < SECEDIT_UNDO_SLOTS && Text(*doc) != start && !blocks)
        std::abort();
    while (doc->Redo()) {
    }
    if (records < SECEDIT_UNDO_SLOTS && Text(*doc) != end && !blocks)
        std::abort();
    return 0;
}
