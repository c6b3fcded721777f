// The edit control's rows: where each shown line starts, kept up to date change by change, so
// that typing into a large text touches only the line it changes. A multi-line control without
// horizontal scrolling wraps its lines at word boundaries to the formatting width.
#pragma once

#include "platform/controls/EditBuffer.h"

#include <string_view>
#include <vector>

// Measures text for the layout and the control.
class IEditMeasure {
public:
    virtual ~IEditMeasure() = default;
    // Fills `ends` with the x after each byte of `text` drawn from x = 0 (tabs expanded to the
    // tab stops); every byte of a multi-byte character carries that character's end.
    virtual void Advances(std::string_view text, std::vector<int>& ends) = 0;
};

class EditLayout : public IEditWatcher {
public:
    explicit EditLayout(IEditMeasure& measure) : m_measure(measure) {}

    // The width rows wrap at; 0 or less: no wrapping. Takes effect at the next Rebuild.
    void SetWrapWidth(int width) { m_wrapWidth = width; }
    // A single-line control shows its whole text as one row, line breaks included.
    void SetSingleLine(bool single) { m_singleLine = single; }
    int WrapWidth() const { return m_wrapWidth; }
    void Rebuild(const std::string& text);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int RowStart(int row) const;
    // The end of the text the row shows: before its line break, or where the next row begins.
    int RowEnd(int row) const;
    // The row that holds a position (a position where a wrapped row ends opens the next row).
    int RowOf(int pos) const;

    // IEditWatcher
    void TextChanged(const std::string& text, const EditChange& change) override;
    void TextReset(const std::string& text) override { Rebuild(text); }

private:
    // Appends the rows of the lines in [from, to); `toEnd` when the range runs to the text's
    // end (the last line has no line break).
    void WrapLines(int from, int to, bool toEnd, std::vector<int>& out);
    void WrapLine(int start, int end, std::vector<int>& out);

    IEditMeasure& m_measure;
    const std::string* m_text = nullptr;
    std::vector<int> m_rows{0};
    std::vector<int> m_ends;   // scratch for measuring
    int m_wrapWidth = 0;
    bool m_singleLine = false;
};
