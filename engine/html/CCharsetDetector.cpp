#include "engine/html/CCharsetDetector.h"

#include <uchardet/uchardet.h>

#include <algorithm>
#include <string_view>

namespace {

uchardet_t Handle(void* p)
{
    return static_cast<uchardet_t>(p);
}

// The label browsers know a charset by, for the few the detector names otherwise. Latin-1 is
// read as Windows-1252, its superset, as browsers read pages labelled so.
std::string_view LabelOf(std::string_view name)
{
    static constexpr std::pair<std::string_view, std::string_view> kOther[] = {
        {"ISO-8859-1", "windows-1252"}, {"UHC", "windows-949"}, {"MAC-CYRILLIC", "x-mac-cyrillic"}};
    for (const auto& [detected, label] : kOther) {
        if (name == detected)
            return label;
    }
    return name;
}

} // namespace

CCharsetDetector::CCharsetDetector(Look look) : m_pDetector(uchardet_new()), m_look(look) {}

CCharsetDetector::~CCharsetDetector()
{
    if (m_pDetector != nullptr)
        uchardet_delete(Handle(m_pDetector));
}

void CCharsetDetector::Add(const char* pBytes, size_t nLength)
{
    if (m_bConcluded)
        return;
    const auto* p = reinterpret_cast<const unsigned char*>(pBytes);
    if (m_look == Look::Whole) {
        AddWhole(pBytes, nLength);
        return;
    }
    size_t nFrom = 0;
    if (m_nBeyondAscii == 0) {
        const size_t nFound = static_cast<size_t>(std::find_if(p, p + nLength, IsBeyondAscii) - p);
        // Until it is found, the sample holds the ASCII text before it, as much as leads in.
        const size_t nKeep = std::min(nFound, kLeadIn);
        m_sample.append(pBytes + nFound - nKeep, nKeep);
        if (m_sample.size() > kLeadIn)
            m_sample.erase(0, m_sample.size() - kLeadIn);
        if (nFound == nLength)
            return;
        m_nFirstBeyond = m_sample.size();
        nFrom = nFound;
    }
    size_t nTaken = 0;
    const size_t nRoom = std::min(nLength - nFrom, m_nFirstBeyond + kSampleSize - m_sample.size());
    for (; nTaken < nRoom && m_nBeyondAscii < kEnoughBeyondAscii; ++nTaken)
        m_nBeyondAscii += IsBeyondAscii(p[nFrom + nTaken]) ? 1 : 0;
    m_sample.append(pBytes + nFrom, nTaken);
    if (m_sample.size() >= m_nFirstBeyond + kSampleSize || m_nBeyondAscii >= kEnoughBeyondAscii)
        Conclude();
}

void CCharsetDetector::AddWhole(const char* pBytes, size_t nLength)
{
    const auto* p = reinterpret_cast<const unsigned char*>(pBytes);
    const size_t nBeyond = static_cast<size_t>(std::count_if(p, p + nLength, IsBeyondAscii));
    m_nBeyondAscii += nBeyond;
    m_bEightBit = m_bEightBit || std::any_of(p, p + nLength, [](unsigned char ch) { return ch >= 0x80; });
    if (m_nBeyondGiven >= kWholeBeyondAscii || m_pDetector == nullptr)
        return;
    m_nBeyondGiven += nBeyond;
    while (nLength > 0) {
        const size_t nTaken = std::min(nLength, kSampleSize - m_sample.size());
        m_sample.append(pBytes, nTaken);
        pBytes += nTaken;
        nLength -= nTaken;
        if (m_sample.size() == kSampleSize) {
            uchardet_handle_data(Handle(m_pDetector), m_sample.data(), m_sample.size());
            m_sample.clear();
        }
    }
}

void CCharsetDetector::Finish()
{
    Conclude();
}

void CCharsetDetector::Conclude()
{
    if (m_bConcluded)
        return;
    m_bConcluded = true;
    // Text of ASCII alone has no sample: nothing it holds tells a charset.
    if (m_nBeyondAscii == 0) {
        m_sample.clear();
        return;
    }
    if (m_pDetector == nullptr)
        return;
    // In pieces of a sample's size, so that the detector stops reading once it is sure.
    const bool bSevenBit = m_look == Look::Sample
        ? std::none_of(m_sample.begin(), m_sample.end(), [](char ch) { return (ch & 0x80) != 0; })
        : !m_bEightBit;
    for (size_t at = 0; at < m_sample.size(); at += kSampleSize)
        uchardet_handle_data(Handle(m_pDetector), m_sample.data() + at, std::min(kSampleSize, m_sample.size() - at));
    uchardet_data_end(Handle(m_pDetector));
    if (m_look == Look::Whole) {
        m_sample.clear();
        m_sample.shrink_to_fit();
    }
    m_answer.strName = uchardet_get_charset(Handle(m_pDetector));
    if (m_answer.strName.empty())
        return;
    // A name no page is written in (a DOS or Mac code page of Central Europe, UTF-16) is no
    // answer for a web page.
    m_answer.charset = CPageCharset::ForWriting(LabelOf(m_answer.strName));
    // The shifts of the 7-bit Japanese charset tell it however short the text is.
    m_answer.bSure = m_nBeyondAscii >= kSureBytes || (bSevenBit && m_answer.charset.IsMultiByte());
}
