// CCharsetDetector: the charset a page's bytes look like, as the system's charset detector
// judges the text they hold. A page that declares nothing is read in it, and a label whose
// reading of the text the detector's outweighs is not converted from. The detector is given the
// page's text (CPageTextFilter), not its markup: the scan gives it a sample, the text before its
// first byte beyond ASCII, which tells it what language the page is in, and what follows, no more
// than a sample's worth; a page given another charset has its text given as it comes, until the
// detector has seen far more of it than it needs to be sure. It is given the text in pieces of a
// sample's size, cut where the text's own count says, so that pages read in pieces of any size
// have the same answer.
#pragma once

#include "engine/html/CPageCharset.h"

#include <cstddef>
#include <string>

class CCharsetDetector {
public:
    // How many bytes of text the detector is given at most from the text's first byte beyond
    // ASCII, and before it, in a sample. It reads Western and Cyrillic text at some tens of
    // megabytes a second: two kilobytes of text tell it the charset as the whole page does, at a
    // cost the scan of a large site can bear, and the sample ends sooner once it holds enough
    // bytes beyond ASCII.
    static constexpr size_t kSampleSize = 2048;
    static constexpr size_t kLeadIn = 512;
    static constexpr size_t kEnoughBeyondAscii = 512;
    // Below so many bytes beyond ASCII the detector's answer is no more than a hint: a title of a
    // few Chinese characters is taken for Western text.
    static constexpr size_t kSureBytes = 32;
    // How many bytes beyond ASCII of a page looked at whole the detector is given at most: its
    // answer does not change after so many, while it would take seconds over a page of some tens
    // of megabytes.
    static constexpr size_t kWholeBeyondAscii = 64 * 1024;

    // Whether the detector is given a sample of the text or all of it.
    enum class Look { Sample, Whole };
    explicit CCharsetDetector(Look look);
    ~CCharsetDetector();
    CCharsetDetector(const CCharsetDetector&) = delete;
    CCharsetDetector& operator=(const CCharsetDetector&) = delete;

    // The page's text from its first, in pieces.
    void Add(const char* pBytes, size_t nLength);
    // The end of the page.
    void Finish();
    // More text changes nothing: the sample is whole.
    bool IsSettled() const { return m_bConcluded; }

    // The sample the detector was given, once settled; empty for text of ASCII alone, and for a
    // page looked at whole, of which it keeps none.
    const std::string& GetSample() const { return m_sample; }
    // How many of the text's bytes are beyond ASCII (of a page looked at whole, all of them).
    size_t GetBytesBeyondAscii() const { return m_nBeyondAscii; }

    struct Answer {
        CPageCharset charset; // Undeclared when it named none, or one no page is written in
        std::string strName;  // the name the detector gave, empty when it gave none
        bool bSure = false;   // it had text enough to tell
    };
    // The detector's answer, once settled.
    const Answer& GetAnswer() const { return m_answer; }

    // A byte that no ASCII text holds: one of 8 bits, or the escape that begins the shifts of
    // the 7-bit Japanese charset.
    static bool IsBeyondAscii(unsigned char ch) { return ch >= 0x80 || ch == 0x1B; }

private:
    void AddWhole(const char* pBytes, size_t nLength);
    void Conclude();

    void* m_pDetector = nullptr; // the detector's handle
    Look m_look;
    std::string m_sample;        // Whole: the piece not yet given, less than a sample's size
    size_t m_nFirstBeyond = 0;   // where the first byte beyond ASCII stands in the sample
    size_t m_nBeyondAscii = 0;
    size_t m_nBeyondGiven = 0;   // Whole: how many of them the detector was given
    bool m_bEightBit = false;    // Whole: a byte of 8 bits was seen
    bool m_bConcluded = false;
    Answer m_answer;
};
