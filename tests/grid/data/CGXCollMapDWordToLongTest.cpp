#include "grid/data/CGXCollMapDWordToLong.h"

#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::map<DWORD, LONG> Entries(const CGXCollMapDWordToLong& sizes)
{
    std::map<DWORD, LONG> out;
    DWORD key = 0;
    LONG value = 0;
    for (POSITION pos = sizes.GetStartPosition(); pos != nullptr;) {
        sizes.GetNextAssoc(pos, key, value);
        out[key] = value;
    }
    return out;
}

} // namespace

TEST(CGXCollMapDWordToLong, KeysShiftOnlyFromTheInsertionOrRemovalOn)
{
    CGXCollMapDWordToLong sizes;
    sizes[3] = 30;
    sizes[7] = 70;
    sizes.InsertKeys(8, 2);   // after the last key: nothing moves
    EXPECT_EQ(Entries(sizes), (std::map<DWORD, LONG>{{3, 30}, {7, 70}}));
    sizes.InsertKeys(7, 2);
    EXPECT_EQ(Entries(sizes), (std::map<DWORD, LONG>{{3, 30}, {9, 70}}));
    sizes.RemoveKey(9);
    sizes.SetAt(12, 120);
    sizes.InsertKeys(10, 1);   // the key removed does not hide the one added after it
    EXPECT_EQ(Entries(sizes), (std::map<DWORD, LONG>{{3, 30}, {13, 120}}));
    sizes.RemoveKeys(14, 20);
    sizes.RemoveKeys(1, 3);
    EXPECT_EQ(Entries(sizes), (std::map<DWORD, LONG>{{10, 120}}));
    sizes.RemoveAll();
    sizes[0] = 5;
    sizes.InsertKeys(0, 1);
    EXPECT_EQ(Entries(sizes), (std::map<DWORD, LONG>{{1, 5}}));
}

TEST(CGXCollMapDWordToLong, AMapReadFromAnArchiveOrCopiedShiftsItsKeys)
{
    CGXCollMapDWordToLong written;
    written[2] = 20;
    written[40] = 400;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        written.Serialize(ar);
    }
    file.SeekToBegin();
    CGXCollMapDWordToLong read;
    read[1] = 10;
    read.RemoveKey(1);
    {
        CArchive ar(&file, CArchive::load);
        read.Serialize(ar);
    }
    read.InsertKeys(30, 1);
    EXPECT_EQ(Entries(read), (std::map<DWORD, LONG>{{2, 20}, {41, 400}}));
    CGXCollMapDWordToLong copy(read);
    copy.InsertKeys(41, 1);
    EXPECT_EQ(Entries(copy), (std::map<DWORD, LONG>{{2, 20}, {42, 400}}));
}

TEST(CGXCollMapDWordToLong, AMapOfThousandsOfKeysGrowsItsTableAndKeepsEveryKey)
{
    CGXCollMapDWordToLong sizes;
    const UINT nSmallTable = sizes.GetHashTableSize();
    for (DWORD n = 1; n <= 20; ++n)
        sizes[n] = static_cast<LONG>(n);
    EXPECT_EQ(sizes.GetHashTableSize(), nSmallTable) << "a small map keeps its table";
    for (DWORD n = 21; n <= 10000; ++n)
        sizes.SetAt(n, static_cast<LONG>(n));
    EXPECT_GT(sizes.GetHashTableSize(), 100u);
    sizes.InsertKeys(5000, 1);
    ASSERT_EQ(sizes.GetCount(), 10000);
    for (DWORD n = 1; n <= 10001; ++n) {
        LONG value = 0;
        const BOOL bFound = sizes.Lookup(n, value);
        ASSERT_EQ(bFound, n != 5000) << n;
        if (bFound) {
            ASSERT_EQ(value, static_cast<LONG>(n < 5000 ? n : n - 1)) << n;
        }
    }
}
