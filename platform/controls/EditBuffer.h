// The edit control's model: the text as UTF-8 bytes, the selection, the text limit, the modify
// flag and the one-level undo. Positions are byte offsets that always fall on a character's
// first byte; "\r\n" counts as one step for the caret.
#pragma once

#include <string>
#include <string_view>
#include <utility>

// What one change did to the text: bytes [pos, pos + removed) became [pos, pos + inserted).
struct EditChange {
    int pos = 0;
    int removed = 0;
    int inserted = 0;
};

// Told of every change of the text (the layout keeps its line starts through it).
class IEditWatcher {
public:
    virtual ~IEditWatcher() = default;
    virtual void TextChanged(const std::string& text, const EditChange& change) = 0;
    virtual void TextReset(const std::string& text) = 0;
};

// How a replacement joins the undo history: typed characters that follow each other undo
// together; everything else undoes on its own.
enum class UndoMerge { Separate, Typing };

class EditBuffer {
public:
    static constexpr int kDefaultLimit = 32767;
    static constexpr int kMaxLimit = 0x7FFFFFFE;

    void SetWatcher(IEditWatcher* watcher) { m_watcher = watcher; }

    const std::string& Text() const { return m_text; }
    int Length() const { return static_cast<int>(m_text.size()); }

    // Replaces the whole text: the selection goes to the start, the undo history and the modify
    // flag are cleared. The limit does not apply (it holds what the user may type).
    void SetText(std::string_view text);

    // ---- Selection: the anchor stays, the caret is the end that moves ----
    int Anchor() const { return m_anchor; }
    int Caret() const { return m_caret; }
    int SelStart() const { return m_anchor < m_caret ? m_anchor : m_caret; }
    int SelEnd() const { return m_anchor < m_caret ? m_caret : m_anchor; }
    bool HasSelection() const { return m_anchor != m_caret; }
    std::string SelectedText() const;
    // Both ends are clamped to the text and moved back to a character's start.
    void SetSel(int anchor, int caret);
    void MoveCaret(int pos, bool extend) { SetSel(extend ? m_anchor : pos, pos); }

    // ---- Editing ----
    // Replaces the selection with `text` (cut at the limit, on a whole character), leaving the
    // caret after it.
    struct ReplaceResult {
        bool whole = true;     // false: the text was cut at the limit
        bool changed = false;  // false: nothing was removed or inserted
    };
    ReplaceResult ReplaceSel(std::string_view text, UndoMerge merge = UndoMerge::Separate);
    // Deletes the selection, or the character after (forward) or before the caret.
    enum class Direction { Backward, Forward };
    bool DeleteChar(Direction direction);

    int Limit() const { return m_limit; }
    // 0 lifts the limit to the largest; a limit below the length keeps the text as it is.
    void SetLimit(int limit) { m_limit = limit <= 0 ? kMaxLimit : limit; }

    bool Modified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // Takes back the last replacement as if it had not been made (its undo step included): for
    // a change the control cannot show. False when there is nothing to take back.
    bool RevertLast();

    // Undo swaps the last change with its inverse, so undoing twice redoes.
    bool CanUndo() const { return m_undo.valid; }
    bool Undo();
    void EmptyUndo() { m_undo = UndoRecord{}; }

    // ---- Character and word steps ----
    int NextChar(int pos) const;
    int PrevChar(int pos) const;
    // The start of the next word (after the spaces that follow the caret's word), and the start
    // of the word before; a line break is a word of its own.
    int WordRight(int pos) const;
    int WordLeft(int pos) const;
    // The word (or the run of spaces) around a position.
    std::pair<int, int> WordAt(int pos) const;
    // The start of the line holding pos, and the end of its text (before "\r\n" or "\n").
    int LineStartOf(int pos) const;
    int LineEndOf(int pos) const;
    // A position clamped into the text and moved back to a character's first byte.
    int Snap(int pos) const;

private:
    struct UndoRecord {
        bool valid = false;
        bool typing = false;
        int pos = 0;
        std::string removed;
        std::string inserted;
    };
    void Apply(int pos, int removed, std::string_view inserted);

    // What RevertLast needs: the state before the last replacement.
    struct Before {
        bool valid = false;
        bool merged = false;        // the replacement joined the typing step before it
        size_t mergedLength = 0;
        UndoRecord undo;            // the undo step it replaced
        int anchor = 0;
        int caret = 0;
        bool modified = false;
    };

    std::string m_text;
    Before m_before;
    int m_anchor = 0;
    int m_caret = 0;
    int m_limit = kDefaultLimit;
    bool m_modified = false;
    UndoRecord m_undo;
    IEditWatcher* m_watcher = nullptr;
};

// The length in bytes of the UTF-8 character that starts with `lead` (1 for a stray byte).
int Utf8SequenceLength(unsigned char lead);
// The largest prefix of `text` no longer than `bytes` that ends on a whole character.
size_t Utf8Truncate(std::string_view text, size_t bytes);
