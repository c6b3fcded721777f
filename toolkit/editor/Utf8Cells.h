// Display cells of editor text: a valid UTF-8 sequence is one character in one cell (two when
// East Asian wide, none when it is a mark drawn on the character before it), any other byte one
// cell of its own, a tab runs to the next tab stop. A character with the marks drawn on it is
// one cluster: the caret and the columns step over it whole.
#pragma once

namespace editor {

// The length of the valid UTF-8 sequence of two to four bytes at p (never reading at or past
// end), or 1 for an ASCII byte or a byte that starts no valid sequence. cells gets the
// character's own width: 0, 1 or 2.
int SequenceAt(const char* p, const char* end, int* cells = nullptr);

// The length of the cluster at p: its first character with the marks, joiners and selectors
// drawn with it, the character a joiner joins, and the second letter of a flag. cells gets the
// sum of their widths, so that a count over characters and one over clusters agree.
int ClusterAt(const char* p, const char* end, int* cells = nullptr);

// Whether a byte continues a UTF-8 sequence (10xxxxxx).
inline bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The width in cells of one cluster starting at column col; bytes gets its length.
int CellsAt(const char* p, const char* end, int col, int tabSize, int* bytes);

// Runs a column count over text, a piece at a time.
struct ColumnCounter {
    int tabSize;
    int column = 0;
    void Feed(const char* p, int length);
};

// The number of leading bytes of the text whose width from column startCol stays within
// maxCol columns, never splitting a character, nor a mark from the character before it.
int FitColumns(const char* p, int length, int startCol, int maxCol, int tabSize);

} // namespace editor
