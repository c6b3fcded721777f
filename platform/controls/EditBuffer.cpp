#include "platform/controls/EditBuffer.h"

#include <algorithm>

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool IsBreak(char c) { return c == '\r' || c == '\n'; }

} // namespace

int Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0xC2)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    if (lead < 0xF5)
        return 4;
    return 1;
}

// The bytes a character starting at `pos` takes: its sequence when all of it is there, else one
// stray byte.
static int CharLength(std::string_view text, size_t pos)
{
    int n = Utf8SequenceLength(static_cast<unsigned char>(text[pos]));
    if (pos + static_cast<size_t>(n) > text.size())
        return 1;
    for (int i = 1; i < n; ++i)
        if (!IsContinuation(static_cast<unsigned char>(text[pos + static_cast<size_t>(i)])))
            return 1;
    return n;
}

size_t Utf8Truncate(std::string_view text, size_t bytes)
{
    if (bytes >= text.size())
        return text.size();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t next = pos + static_cast<size_t>(CharLength(text, pos));
        if (next > bytes)
            break;
        pos = next;
    }
    return pos;
}

void EditBuffer::SetText(std::string_view text)
{
    m_text.assign(text);
    m_anchor = m_caret = 0;
    m_undo = UndoRecord{};
    m_before = Before{};
    m_modified = false;
    if (m_watcher)
        m_watcher->TextReset(m_text);
}

std::string EditBuffer::SelectedText() const
{
    return m_text.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelEnd() - SelStart()));
}

int EditBuffer::Snap(int pos) const
{
    int len = Length();
    if (pos <= 0)
        return 0;
    if (pos >= len)
        return len;
    if (m_text[static_cast<size_t>(pos)] == '\n' && m_text[static_cast<size_t>(pos) - 1] == '\r')
        return pos - 1;
    if (!IsContinuation(static_cast<unsigned char>(m_text[static_cast<size_t>(pos)])))
        return pos;
    for (int start = pos - 1; start >= 0 && start >= pos - 3; --start) {
        if (IsContinuation(static_cast<unsigned char>(m_text[static_cast<size_t>(start)])))
            continue;
        if (start + CharLength(m_text, static_cast<size_t>(start)) > pos)
            return start;
        break;
    }
    return pos;
}

void EditBuffer::SetSel(int anchor, int caret)
{
    m_anchor = Snap(anchor);
    m_caret = Snap(caret);
}

int EditBuffer::NextChar(int pos) const
{
    int len = Length();
    if (pos >= len)
        return len;
    if (pos < 0)
        return 0;
    auto p = static_cast<size_t>(pos);
    if (m_text[p] == '\r' && p + 1 < m_text.size() && m_text[p + 1] == '\n')
        return pos + 2;
    return pos + CharLength(m_text, p);
}

int EditBuffer::PrevChar(int pos) const
{
    if (pos <= 0)
        return 0;
    pos = std::min(pos, Length());
    if (pos >= 2 && m_text[static_cast<size_t>(pos) - 1] == '\n' && m_text[static_cast<size_t>(pos) - 2] == '\r')
        return pos - 2;
    return Snap(pos - 1);
}

int EditBuffer::WordRight(int pos) const
{
    int len = Length();
    if (pos >= len)
        return len;
    if (IsBreak(m_text[static_cast<size_t>(pos)])) {
        pos = NextChar(pos);
    } else {
        while (pos < len && !IsSpace(m_text[static_cast<size_t>(pos)]) && !IsBreak(m_text[static_cast<size_t>(pos)]))
            pos = NextChar(pos);
    }
    while (pos < len && IsSpace(m_text[static_cast<size_t>(pos)]))
        ++pos;
    return pos;
}

int EditBuffer::WordLeft(int pos) const
{
    if (pos <= 0)
        return 0;
    pos = PrevChar(pos);
    while (pos > 0 && IsSpace(m_text[static_cast<size_t>(pos)]))
        pos = PrevChar(pos);
    if (IsBreak(m_text[static_cast<size_t>(pos)]))
        return pos;
    while (pos > 0) {
        int prev = PrevChar(pos);
        char c = m_text[static_cast<size_t>(prev)];
        if (IsSpace(c) || IsBreak(c))
            break;
        pos = prev;
    }
    return pos;
}

std::pair<int, int> EditBuffer::WordAt(int pos) const
{
    int len = Length();
    pos = Snap(pos);
    if (len == 0)
        return {0, 0};
    if (pos >= len || IsBreak(m_text[static_cast<size_t>(pos)])) {
        // Past the end of a line: the word that ends there.
        if (pos == 0 || IsBreak(m_text[static_cast<size_t>(PrevChar(pos))]))
            return {pos, pos};
        pos = PrevChar(pos);
    }
    auto kind = [&](int p) {
        char c = m_text[static_cast<size_t>(p)];
        return IsBreak(c) ? 2 : IsSpace(c) ? 1 : 0;
    };
    int k = kind(pos);
    int start = pos;
    while (start > 0 && kind(PrevChar(start)) == k)
        start = PrevChar(start);
    int end = pos;
    while (end < len && kind(end) == k)
        end = NextChar(end);
    return {start, end};
}

int EditBuffer::LineStartOf(int pos) const
{
    pos = std::clamp(pos, 0, Length());
    size_t nl = pos == 0 ? std::string::npos : m_text.rfind('\n', static_cast<size_t>(pos) - 1);
    return nl == std::string::npos ? 0 : static_cast<int>(nl) + 1;
}

int EditBuffer::LineEndOf(int pos) const
{
    pos = std::clamp(pos, 0, Length());
    size_t nl = m_text.find('\n', static_cast<size_t>(pos));
    if (nl == std::string::npos)
        return Length();
    if (nl > 0 && m_text[nl - 1] == '\r' && static_cast<int>(nl) - 1 >= pos)
        return static_cast<int>(nl) - 1;
    return static_cast<int>(nl);
}

void EditBuffer::Apply(int pos, int removed, std::string_view inserted)
{
    m_text.replace(static_cast<size_t>(pos), static_cast<size_t>(removed), inserted);
    m_modified = true;
    if (m_watcher)
        m_watcher->TextChanged(m_text, EditChange{pos, removed, static_cast<int>(inserted.size())});
}

EditBuffer::ReplaceResult EditBuffer::ReplaceSel(std::string_view text, UndoMerge merge)
{
    int start = SelStart();
    int removed = SelEnd() - start;
    bool whole = true;
    long long room = static_cast<long long>(m_limit) - (Length() - removed);
    if (room < static_cast<long long>(text.size())) {
        text = text.substr(0, Utf8Truncate(text, room > 0 ? static_cast<size_t>(room) : 0));
        whole = false;
    }
    if (removed == 0 && text.empty())
        return ReplaceResult{whole, false};

    bool joins = merge == UndoMerge::Typing && removed == 0 && m_undo.valid && m_undo.typing &&
                 m_undo.pos + static_cast<int>(m_undo.inserted.size()) == start;
    m_before.valid = true;
    m_before.merged = joins;
    m_before.mergedLength = text.size();
    m_before.anchor = m_anchor;
    m_before.caret = m_caret;
    m_before.modified = m_modified;
    if (joins) {
        m_undo.inserted.append(text);
    } else {
        m_before.undo = std::move(m_undo);
        m_undo.valid = true;
        m_undo.typing = merge == UndoMerge::Typing;
        m_undo.pos = start;
        m_undo.removed = m_text.substr(static_cast<size_t>(start), static_cast<size_t>(removed));
        m_undo.inserted.assign(text);
    }
    Apply(start, removed, text);
    m_anchor = m_caret = start + static_cast<int>(text.size());
    return ReplaceResult{whole, true};
}

bool EditBuffer::DeleteChar(Direction direction)
{
    if (!HasSelection()) {
        int from = direction == Direction::Forward ? m_caret : PrevChar(m_caret);
        int to = direction == Direction::Forward ? NextChar(m_caret) : m_caret;
        if (from == to)
            return false;
        m_anchor = from;
        m_caret = to;
    }
    ReplaceSel({});
    return true;
}

bool EditBuffer::RevertLast()
{
    if (!m_before.valid)
        return false;
    Before before = std::move(m_before);
    m_before = Before{};
    if (before.merged) {
        size_t keep = m_undo.inserted.size() - before.mergedLength;
        Apply(m_undo.pos + static_cast<int>(keep), static_cast<int>(before.mergedLength), {});
        m_undo.inserted.resize(keep);
    } else {
        Apply(m_undo.pos, static_cast<int>(m_undo.inserted.size()), m_undo.removed);
        m_undo = std::move(before.undo);
    }
    m_anchor = before.anchor;
    m_caret = before.caret;
    m_modified = before.modified;
    return true;
}

bool EditBuffer::Undo()
{
    if (!m_undo.valid)
        return false;
    m_before = Before{};
    UndoRecord record = std::move(m_undo);
    Apply(record.pos, static_cast<int>(record.inserted.size()), record.removed);
    // The inverse takes its place, so that a second undo puts the change back.
    m_undo.valid = true;
    m_undo.typing = false;
    m_undo.pos = record.pos;
    m_undo.removed = std::move(record.inserted);
    m_undo.inserted = std::move(record.removed);
    m_anchor = record.pos;
    m_caret = record.pos + static_cast<int>(m_undo.inserted.size());
    return true;
}
