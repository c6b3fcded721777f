// CKeptSpelling: how a page spells a text the rewriting engine may replace (a title, a META tag's
// CONTENT value), as the lexer hands it over piece by piece, each piece with what it reads as. A
// new text written in its place keeps the page's bytes for what it shares with the old text at
// its start and at its end, character references and line breaks as they stood; only the changed
// middle is written anew.
#pragma once

#include "engine/html/CPageCharset.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CKeptSpelling {
public:
    // How the page's reader takes the text: a title folds each run of whitespace into one blank
    // and drops the whitespace it ends with; a value drops the whitespace it begins and ends with.
    enum class Reading { Title, Value };

    // Forgets the pieces: a new text begins.
    void Clear() { m_pieces.clear(); }
    // The text's next piece, the bytes [nFrom, nFrom + nLength) of those later given to Respell:
    // bytes that read as themselves in the page's charset,
    void AddText(int nFrom, int nLength) { Add(nFrom, nLength, Kind::Text); }
    // a character reference and the UTF-8 it reads as,
    void AddDecoded(int nFrom, int nLength, std::string_view utf8);
    // a run of whitespace between a title's words,
    void AddSpace(int nFrom, int nLength) { Add(nFrom, nLength, Kind::Space); }
    // bytes that read as nothing (the line breaks in a quoted value).
    void AddSilent(int nFrom, int nLength) { Add(nFrom, nLength, Kind::Silent); }
    // How many pieces there are.
    size_t GetCount() const { return m_pieces.size(); }
    // The pieces as bytes, after those out holds, for a text too long to keep them in memory.
    void Save(std::string& out) const;
    // Pieces saved so, after those there are; FALSE when the bytes are not such pieces.
    bool AddSaved(std::string_view saved);

    // The new text (UTF-8) spelled for the page, in place of the old one at [nBegin, nEnd) of
    // the page's bytes, which are in the charset given: the old bytes of what the two texts share
    // at their start and at their end, and write's spelling of the rest. A reference or character
    // on either edge of the change is kept whole or written anew whole, and a kept start never
    // ends in a reference or "<" that the new letters after it would read differently. All of
    // the text is written anew when the pieces do not cover the old text exactly (it held a tag
    // or a comment) or the charset shifts its mode with escapes.
    std::string Respell(std::string_view raw, int nBegin, int nEnd, std::string_view text, Reading reading,
                        const CPageCharset& charset, const std::function<std::string(std::string_view)>& write) const;

private:
    enum class Kind { Text, Decoded, Space, Silent };
    struct Piece {
        int nFrom;
        int nLength;
        Kind kind;
        std::string decoded; // Decoded only
    };
    void Add(int nFrom, int nLength, Kind kind) { m_pieces.push_back(Piece{nFrom, nLength, kind, {}}); }

    std::vector<Piece> m_pieces;
};
