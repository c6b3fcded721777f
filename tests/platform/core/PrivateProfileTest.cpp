#include "platform/core/PrivateProfile.h"
#include "platform/core/AtomicFile.h"

#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    void WriteText(const std::string& text)
    {
        std::ofstream out(m_path, std::ios::binary);
        out << text;
    }
    std::string ReadText() const
    {
        std::string text;
        EXPECT_EQ(0, ReadWholeFile(m_path, text));
        return text;
    }
    std::string Get(const char* section, const char* key, const char* def = "")
    {
        char buffer[256];
        GetPrivateProfileString(section, key, def, buffer, sizeof buffer, m_path.c_str());
        return buffer;
    }

    ScopedTempDir m_dir;
    ScopedEnv m_env{"XDG_CONFIG_HOME", m_dir.Path()};
    std::string m_path = m_dir.File("test.ini");
};

std::string AsList(const char* buffer, DWORD length)
{
    return std::string(buffer, length);
}

} // namespace

TEST_F(PrivateProfileTest, CaseInsensitiveTrimmedAndUnquoted)
{
    WriteText("; top comment\n[Colors]\n  Keyword = 0,0,255  \nQuoted=\"  spaced  \"\nSingle='x'\n"
              "Half=\"open\nEmpty=\n[Other]\nKeyword=1\n");
    EXPECT_EQ("0,0,255", Get("colors", "KEYWORD"));
    EXPECT_EQ("  spaced  ", Get("Colors", "Quoted"));
    EXPECT_EQ("x", Get("Colors", "Single"));
    EXPECT_EQ("\"open", Get("Colors", "Half"));
    EXPECT_EQ("", Get("Colors", "Empty", "dflt"));
    EXPECT_EQ("1", Get("Other", "Keyword"));
    EXPECT_EQ("dflt", Get("Colors", "Missing", "dflt  "));
    EXPECT_EQ("", Get("Colors", "Missing", nullptr));
    EXPECT_EQ("dflt", Get("Nowhere", "Keyword", "dflt"));
}

TEST_F(PrivateProfileTest, ValueTruncationReturnsSizeMinusOne)
{
    WriteText("[S]\nk=abcdefgh\n");
    char buffer[5];
    EXPECT_EQ(4u, GetPrivateProfileString("S", "k", "", buffer, sizeof buffer, m_path.c_str()));
    EXPECT_STREQ("abcd", buffer);
    char exact[9];
    EXPECT_EQ(7u, GetPrivateProfileString("S", "k", "", exact, 8, m_path.c_str()));
    EXPECT_EQ(8u, GetPrivateProfileString("S", "k", "", exact, sizeof exact, m_path.c_str()));
    EXPECT_STREQ("abcdefgh", exact);
    // The default is truncated the same way.
    EXPECT_EQ(4u, GetPrivateProfileString("S", "missing", "123456", buffer, sizeof buffer, m_path.c_str()));
    EXPECT_STREQ("1234", buffer);
}

TEST_F(PrivateProfileTest, ListsOfSectionsAndKeys)
{
    WriteText("[alpha]\none=1\n;two=2\nthree=3\n[beta]\n[Gamma]\nx=y\n");
    char buffer[64];
    DWORD length = GetPrivateProfileString(nullptr, nullptr, "", buffer, sizeof buffer, m_path.c_str());
    EXPECT_EQ(std::string("alpha\0beta\0Gamma\0", 17), AsList(buffer, length));
    EXPECT_EQ('\0', buffer[length]);
    EXPECT_EQ(length, GetPrivateProfileSectionNames(buffer, sizeof buffer, m_path.c_str()));

    length = GetPrivateProfileString("ALPHA", nullptr, "", buffer, sizeof buffer, m_path.c_str());
    EXPECT_EQ(std::string("one\0three\0", 10), AsList(buffer, length));

    length = GetPrivateProfileSection("alpha", buffer, sizeof buffer, m_path.c_str());
    EXPECT_EQ(std::string("one=1\0three=3\0", 14), AsList(buffer, length));

    // A section without keys and a missing section both give an empty list.
    EXPECT_EQ(0u, GetPrivateProfileString("beta", nullptr, "dflt", buffer, sizeof buffer, m_path.c_str()));
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ(0u, GetPrivateProfileString("none", nullptr, "dflt", buffer, sizeof buffer, m_path.c_str()));
}

TEST_F(PrivateProfileTest, TruncatedListEndsWithTwoNulsAndReturnsSizeMinusTwo)
{
    WriteText("[alpha]\n[beta]\n");
    char buffer[10];
    std::memset(buffer, 'X', sizeof buffer);
    // "alpha\0beta\0" and the final NUL need 12 bytes.
    EXPECT_EQ(8u, GetPrivateProfileString(nullptr, nullptr, "", buffer, sizeof buffer, m_path.c_str()));
    EXPECT_EQ(std::string("alpha\0be\0\0", 10), std::string(buffer, 10));
    char exact[12];
    EXPECT_EQ(11u, GetPrivateProfileString(nullptr, nullptr, "", exact, sizeof exact, m_path.c_str()));
}

TEST_F(PrivateProfileTest, IntegersAsTheyAreRead)
{
    WriteText("[N]\nplain=42\ntrail=102abc\nneg=-1\nhex=0x1F\nword=abc\nempty=\nquoted=\"7\"\n");
    EXPECT_EQ(42u, GetPrivateProfileInt("N", "plain", 5, m_path.c_str()));
    EXPECT_EQ(102u, GetPrivateProfileInt("N", "trail", 5, m_path.c_str()));
    EXPECT_EQ(0xFFFFFFFFu, GetPrivateProfileInt("N", "neg", 5, m_path.c_str()));
    EXPECT_EQ(31u, GetPrivateProfileInt("N", "hex", 5, m_path.c_str()));
    EXPECT_EQ(0u, GetPrivateProfileInt("N", "word", 5, m_path.c_str()));
    EXPECT_EQ(5u, GetPrivateProfileInt("N", "empty", 5, m_path.c_str()));
    EXPECT_EQ(7u, GetPrivateProfileInt("N", "quoted", 5, m_path.c_str()));
    EXPECT_EQ(static_cast<UINT>(-3), GetPrivateProfileInt("N", "missing", -3, m_path.c_str()));
}

TEST_F(PrivateProfileTest, WritesCreateReplaceAndKeepComments)
{
    ASSERT_TRUE(WritePrivateProfileString("ScanOptions", "Depth", "3", m_path.c_str()));
    EXPECT_EQ("[ScanOptions]\nDepth=3\n", ReadText());

    WriteText("; keep me\n[ScanOptions]\nDepth=3\n; inner comment\n\n[Other]\nA=1\n");
    ASSERT_TRUE(WritePrivateProfileString("scanoptions", "DEPTH", "4", m_path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("ScanOptions", "Width", "9", m_path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("New", "K", "v", m_path.c_str()));
    EXPECT_EQ("; keep me\n[ScanOptions]\nDepth=4\nWidth=9\n; inner comment\n\n[Other]\nA=1\n\n[New]\nK=v\n",
              ReadText());
}

TEST_F(PrivateProfileTest, NullDeletesKeyOrSection)
{
    WriteText("[A]\nx=1\ny=2\n[B]\nz=3\n");
    ASSERT_TRUE(WritePrivateProfileString("a", "X", nullptr, m_path.c_str()));
    EXPECT_EQ("[A]\ny=2\n[B]\nz=3\n", ReadText());
    ASSERT_TRUE(WritePrivateProfileString("A", nullptr, nullptr, m_path.c_str()));
    EXPECT_EQ("[B]\nz=3\n", ReadText());
    // Deleting what is not there succeeds and changes nothing.
    ASSERT_TRUE(WritePrivateProfileString("Missing", nullptr, nullptr, m_path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("B", "missing", nullptr, m_path.c_str()));
    EXPECT_EQ("[B]\nz=3\n", ReadText());
}

TEST_F(PrivateProfileTest, CrLfFilesStayCrLfAndModeIsKept)
{
    WriteText("[A]\r\nx=1\r\n");
    ASSERT_EQ(0, chmod(m_path.c_str(), 0644));
    EXPECT_EQ("1", Get("A", "x"));
    ASSERT_TRUE(WritePrivateProfileString("A", "y", "2", m_path.c_str()));
    EXPECT_EQ("[A]\r\nx=1\r\ny=2\r\n", ReadText());
    struct stat st{};
    ASSERT_EQ(0, stat(m_path.c_str(), &st));
    EXPECT_EQ(0644u, st.st_mode & 0777);
}

TEST_F(PrivateProfileTest, LineBreaksInValuesAreRefused)
{
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "one\ntwo", m_path.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("A", "k=v", "x", m_path.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("A]", "k", "x", m_path.c_str()));
    struct stat st{};
    EXPECT_NE(0, stat(m_path.c_str(), &st));
}

TEST_F(PrivateProfileTest, BareNamesLiveInTheConfigFolder)
{
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", "Vostrel.ini"));
    EXPECT_EQ(m_dir.File("vostrel/Vostrel.ini"), ResolvePrivateProfilePath("Vostrel.ini"));
    char buffer[16];
    GetPrivateProfileString("S", "k", "", buffer, sizeof buffer, "Vostrel.ini");
    EXPECT_STREQ("v", buffer);
    struct stat st{};
    ASSERT_EQ(0, stat(m_dir.File("vostrel/Vostrel.ini").c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
}

TEST_F(PrivateProfileTest, SeesChangesMadeBehindItsBack)
{
    WriteText("[A]\nx=1\n");
    EXPECT_EQ("1", Get("A", "x"));
    WriteText("[A]\nx=22\n");
    EXPECT_EQ("22", Get("A", "x"));
}
