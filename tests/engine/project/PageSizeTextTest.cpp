// The size of a page as the Output Area tells it: three figures at most, in the largest unit
// that leaves one before the point.
#include "engine/project/PageReadability.h"

#include <gtest/gtest.h>

#include <string>

TEST(PageSizeTextTest, SizesAreToldInTheLargestUnitWithThreeFiguresAtMost)
{
    const struct {
        unsigned long long nBytes;
        const char* text;
    } rows[] = {
        {1, "1 byte"},
        {1536, "1.5 KB"},
        {(10ull << 20) - 1, "10 MB"},       // 9.999... rounds up, and loses its zeros
        {(1ull << 30) - 1, "1024 MB"},      // no exponent however close to the next unit
        {2621440000ull, "2.44 GB"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(std::string(PageSizeText(row.nBytes).GetString()), row.text) << row.nBytes;
}
