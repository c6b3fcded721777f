#include "platform/core/AtomTable.h"
#include "platform/core/WinError.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

std::string NameOf(ATOM atom, int size = 1000)
{
    std::vector<char> buffer(static_cast<size_t>(size), 'x');
    UINT length = GetAtomName(atom, buffer.data(), size);
    return std::string(buffer.data(), length);
}

TEST(AtomTable, StringAtomsLiveInTheUpperRangeAndMatchWithoutCase)
{
    ATOM atom = AddAtom("Scan Completed");
    ASSERT_GE(atom, 0xC000);
    EXPECT_EQ(FindAtom("SCAN completed"), atom);
    EXPECT_EQ(AddAtom("scan COMPLETED"), atom);
    EXPECT_EQ(NameOf(atom), "Scan Completed");   // the first spelling is kept
    EXPECT_EQ(DeleteAtom(atom), 0);
    EXPECT_EQ(DeleteAtom(atom), 0);
    EXPECT_EQ(FindAtom("Scan Completed"), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(AtomTable, EachAddNeedsItsOwnDelete)
{
    ATOM atom = AddAtom("counted line");
    AddAtom("counted line");
    AddAtom("counted line");
    EXPECT_EQ(DeleteAtom(atom), 0);
    EXPECT_EQ(DeleteAtom(atom), 0);
    EXPECT_EQ(NameOf(atom), "counted line");
    EXPECT_EQ(DeleteAtom(atom), 0);
    EXPECT_EQ(NameOf(atom), "");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    // Deleting a freed atom fails by answering the atom.
    EXPECT_EQ(DeleteAtom(atom), atom);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(AtomTable, NamesOfUpTo255BytesArriveWhole)
{
    std::string longest(255, 'q');
    longest[0] = 'L';
    ATOM atom = AddAtom(longest.c_str());
    ASSERT_NE(atom, 0);
    EXPECT_EQ(NameOf(atom), longest);
    DeleteAtom(atom);

    std::string tooLong(256, 'q');
    SetLastError(0);
    EXPECT_EQ(AddAtom(tooLong.c_str()), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(AddAtom(""), 0);
    EXPECT_EQ(AddAtom(nullptr), 0);
}

TEST(AtomTable, GetAtomNameCutsToTheBufferAndAlwaysTerminates)
{
    ATOM atom = AddAtom("abcdefgh");
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetAtomName(atom, buffer, 5), 4u);
    EXPECT_STREQ(buffer, "abcd");
    char one[1] = {'x'};
    EXPECT_EQ(GetAtomName(atom, one, 1), 0u);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(GetAtomName(atom, buffer, 0), 0u);
    EXPECT_EQ(GetAtomName(atom, nullptr, 10), 0u);
    DeleteAtom(atom);
}

TEST(AtomTable, IntegerAtomsAreTheirOwnNumbersAndNeverFreed)
{
    EXPECT_EQ(AddAtom("#123"), 123);
    EXPECT_EQ(AddAtom(MAKEINTATOM(456)), 456);
    EXPECT_EQ(FindAtom("#123"), 123);
    EXPECT_EQ(NameOf(123), "#123");
    EXPECT_EQ(DeleteAtom(123), 0);
    EXPECT_EQ(DeleteAtom(123), 0);
    EXPECT_EQ(NameOf(123), "#123");
    EXPECT_EQ(AddAtom("#49151"), 0xBFFF);
    EXPECT_EQ(AddAtom("#49152"), 0);
    EXPECT_EQ(AddAtom("#0"), 0);
    EXPECT_EQ(AddAtom("#99999999999999999999"), 0);
    EXPECT_EQ(AddAtom(MAKEINTATOM(0xC000)), 0);
    // Not all digits: an ordinary string atom.
    ATOM named = AddAtom("#12a");
    EXPECT_GE(named, 0xC000);
    DeleteAtom(named);
}

TEST(AtomTable, LocalAndGlobalTablesAreSeparate)
{
    ATOM local = AddAtom("only local");
    EXPECT_EQ(GlobalFindAtom("only local"), 0);
    ATOM global = GlobalAddAtom("Only Local");
    ASSERT_NE(global, 0);
    char buffer[32];
    EXPECT_EQ(GlobalGetAtomName(global, buffer, sizeof buffer), 10u);
    EXPECT_STREQ(buffer, "Only Local");
    EXPECT_EQ(GlobalDeleteAtom(global), 0);
    EXPECT_EQ(FindAtom("ONLY LOCAL"), local);
    DeleteAtom(local);
}

TEST(AtomTable, FullTableRefusesAndRecoversAfterDeletes)
{
    kernel::AtomTable table;
    std::vector<ATOM> atoms;
    for (size_t i = 0; i < kernel::AtomTable::kCapacity; ++i) {
        ATOM atom = table.Add(("line " + std::to_string(i)).c_str());
        ASSERT_NE(atom, 0) << i;
        atoms.push_back(atom);
    }
    EXPECT_EQ(atoms.front(), 0xC000);
    EXPECT_EQ(atoms.back(), 0xFFFF);
    SetLastError(0);
    EXPECT_EQ(table.Add("one too many"), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_NE(table.Add("line 7"), 0);   // an existing name still gains a reference
    EXPECT_EQ(table.Delete(atoms[100]), 0);
    EXPECT_EQ(table.Add("one too many"), atoms[100]);
}

TEST(AtomTable, WorkerThreadsPassLinesThroughTheTable)
{
    // Each worker adds its lines; the receiver reads and deletes each atom once.
    std::vector<std::vector<ATOM>> posted(4);
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([w, &posted] {
            for (int i = 0; i < 500; ++i) {
                std::string line = "worker " + std::to_string(w) + " line " + std::to_string(i % 50);
                posted[static_cast<size_t>(w)].push_back(AddAtom(line.c_str()));
            }
        });
    }
    for (auto& worker : workers)
        worker.join();
    for (int w = 0; w < 4; ++w) {
        for (size_t i = 0; i < posted[static_cast<size_t>(w)].size(); ++i) {
            ATOM atom = posted[static_cast<size_t>(w)][i];
            ASSERT_NE(atom, 0);
            EXPECT_EQ(NameOf(atom), "worker " + std::to_string(w) + " line " + std::to_string(i % 50));
            EXPECT_EQ(DeleteAtom(atom), 0);
        }
    }
    EXPECT_EQ(FindAtom("worker 0 line 0"), 0);
}

} // namespace
