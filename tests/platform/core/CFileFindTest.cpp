// CFileFind: wildcard matching, the iteration protocol and what is said about each entry.
#include "platform/core/CFileFind.h"

#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

std::vector<std::string> FindAll(const std::string& pattern)
{
    std::vector<std::string> names;
    CFileFind finder;
    BOOL bWorking = finder.FindFile(pattern.c_str());
    while (bWorking) {
        bWorking = finder.FindNextFile();
        names.emplace_back(finder.GetFileName().GetString());
    }
    return names;
}

} // namespace

TEST(CFileFindTest, PatternsMatchWithStarAndQuestionMark)
{
    EXPECT_TRUE(CFileFind::MatchPattern("*.htm", "index.htm"));
    EXPECT_FALSE(CFileFind::MatchPattern("*.htm", "index.html"));
    EXPECT_TRUE(CFileFind::MatchPattern("*.htm*", "index.html"));
    EXPECT_TRUE(CFileFind::MatchPattern("p?ge.*", "page.txt"));
    EXPECT_FALSE(CFileFind::MatchPattern("p?ge.*", "pge.txt"));
    EXPECT_TRUE(CFileFind::MatchPattern("*a*b*c", "xxaxxbxxbcxc"));
    EXPECT_FALSE(CFileFind::MatchPattern("*.HTM", "index.htm")); // case-sensitive names
    EXPECT_TRUE(CFileFind::MatchPattern("*.*", "README"));      // matches every name
    EXPECT_TRUE(CFileFind::MatchPattern("*", ""));
    EXPECT_FALSE(CFileFind::MatchPattern("?", ""));
    // A pathological pattern finishes quickly.
    EXPECT_FALSE(CFileFind::MatchPattern("*a*a*a*a*a*a*a*a*b", std::string(200, 'a').c_str()));
}

TEST(CFileFindTest, ListsMatchingEntriesInNameOrder)
{
    ScopedTempDir folder;
    folder.WriteFile("b.htm", "bb");
    folder.WriteFile("a.htm", "a");
    folder.WriteFile("c.html", "");
    folder.WriteFile("notes.txt", "");
    std::filesystem::create_directory(folder.File("sub.htm"));

    EXPECT_EQ(FindAll(folder.File("*.htm")), (std::vector<std::string>{"a.htm", "b.htm", "sub.htm"}));
    EXPECT_EQ(FindAll(folder.File("*.*")),
              (std::vector<std::string>{".", "..", "a.htm", "b.htm", "c.html", "notes.txt", "sub.htm"}));
    EXPECT_EQ(FindAll(folder.File("notes.txt")), (std::vector<std::string>{"notes.txt"}));
    EXPECT_TRUE(FindAll(folder.File("*.xyz")).empty());
    EXPECT_TRUE(FindAll(folder.File("missing/*.*")).empty());
}

TEST(CFileFindTest, FindNextFileReportsWhetherMoreFollow)
{
    ScopedTempDir folder;
    folder.WriteFile("one.txt", "1");
    folder.WriteFile("two.txt", "22");
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(folder.File("*.txt").c_str()));
    EXPECT_STREQ(finder.GetFileName(), ""); // nothing is current before FindNextFile
    EXPECT_TRUE(finder.FindNextFile());
    EXPECT_STREQ(finder.GetFileName(), "one.txt");
    EXPECT_FALSE(finder.FindNextFile()); // the last one is current now
    EXPECT_STREQ(finder.GetFileName(), "two.txt");
    EXPECT_EQ(finder.GetLength(), 2u);
    EXPECT_FALSE(finder.FindNextFile());
    finder.Close();
    EXPECT_FALSE(finder.FindNextFile());
}

TEST(CFileFindTest, DescribesTheCurrentEntry)
{
    ScopedTempDir folder;
    folder.WriteFile("my page.html", "<html>");
    folder.WriteFile(".hidden", "");
    chmod(folder.File("my page.html").c_str(), 0444);
    std::filesystem::create_directory(folder.File("dir"));

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(folder.File("my page.html").c_str()));
    finder.FindNextFile();
    EXPECT_STREQ(finder.GetRoot(), folder.Path().c_str());
    EXPECT_STREQ(finder.GetFilePath(), folder.File("my page.html").c_str());
    EXPECT_STREQ(finder.GetFileTitle(), "my page");
    EXPECT_STREQ(finder.GetFileURL(), ("file://" + folder.Path() + "/my%20page.html").c_str());
    EXPECT_EQ(finder.GetLength(), 6u);
    EXPECT_TRUE(finder.IsReadOnly());
    EXPECT_TRUE(finder.IsArchived());
    EXPECT_FALSE(finder.IsDirectory());
    EXPECT_FALSE(finder.IsHidden());
    EXPECT_FALSE(finder.IsDots());
    CTime written;
    EXPECT_TRUE(finder.GetLastWriteTime(written));
    FILETIME ft;
    EXPECT_TRUE(finder.GetLastWriteTime(&ft));
    const ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    EXPECT_EQ(ticks, 116444736000000000ull + static_cast<ULONGLONG>(written.GetTime()) * 10000000ull);

    ASSERT_TRUE(finder.FindFile(folder.File(".hidden").c_str()));
    finder.FindNextFile();
    EXPECT_TRUE(finder.IsHidden());

    ASSERT_TRUE(finder.FindFile(folder.File("d*").c_str()));
    finder.FindNextFile();
    EXPECT_TRUE(finder.IsDirectory());
    EXPECT_TRUE(finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));

    ASSERT_TRUE(finder.FindFile(folder.File(".*").c_str()));
    finder.FindNextFile();
    EXPECT_TRUE(finder.IsDots());
    EXPECT_FALSE(finder.IsHidden());
}

TEST(CFileFindTest, RelativePatternsSearchTheCurrentFolder)
{
    ScopedTempDir folder;
    folder.WriteFile("x.cfg", "");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    CFileFind finder;
    const BOOL found = finder.FindFile("*.cfg");
    if (found)
        finder.FindNextFile();
    std::filesystem::current_path(previous);
    ASSERT_TRUE(found);
    EXPECT_STREQ(finder.GetFilePath(), folder.File("x.cfg").c_str());
}
