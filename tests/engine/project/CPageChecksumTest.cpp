#include "engine/project/CPageChecksum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

uint64_t ChecksumInPieces(const std::string& bytes, size_t nPiece)
{
    CPageChecksum checksum;
    for (size_t at = 0; at < bytes.size(); at += nPiece)
        checksum.Add(bytes.data() + at, std::min(nPiece, bytes.size() - at));
    return checksum.Get();
}

} // namespace

// A page read in pieces of any size, as the scan reads it, has the checksum of the page read
// whole, as the save reads it; a byte changed anywhere, or a NUL more at the end, changes it.
TEST(CPageChecksumTest, PiecesOfAnySizeGiveTheWholeChecksumAndAnyChangedByteAnother)
{
    std::string page;
    for (int i = 0; page.size() < 1000; ++i)
        page += "<p>line " + std::to_string(i) + " \xC3\xA9</p>\n";
    const uint64_t whole = ChecksumInPieces(page, page.size());
    for (const size_t nPiece : {1u, 7u, 31u, 32u, 33u, 4096u})
        EXPECT_EQ(ChecksumInPieces(page, nPiece), whole) << nPiece;
    for (size_t at = 0; at < page.size(); ++at) {
        std::string changed = page;
        changed[at] = static_cast<char>(changed[at] ^ 0x20);
        ASSERT_NE(ChecksumInPieces(changed, 64), whole) << at;
    }
    EXPECT_NE(ChecksumInPieces(page + '\0', 64), whole);
}
