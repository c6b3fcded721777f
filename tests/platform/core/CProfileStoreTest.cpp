#include "platform/core/CProfileStore.h"
#include "platform/core/PrivateProfile.h"
#include "platform/core/RegistryStore.h"

#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

const char kKey[] = "Wexmoor\\Vostrel\\1.0 Release Candidate 16";

class CProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegistryStore::Instance().Reload();
        m_profile.SetAppName("Vostrel");
        m_profile.SetRegistryKey(kKey);
    }
    void TearDown() override { CRegistryStore::Instance().Reload(); }

    ScopedTempDir m_dir;
    ScopedEnv m_env{"XDG_CONFIG_HOME", m_dir.Path()};
    CProfileStore m_profile;
};

} // namespace

TEST_F(CProfileStoreTest, ValuesLiveUnderTheApplicationKey)
{
    ASSERT_TRUE(m_profile.WriteProfileInt("ConnectOptions", "NumThreads", 12));
    ASSERT_TRUE(m_profile.WriteProfileString("ConnectOptions", "AgentName", "Vostrel/1.0"));
    ASSERT_TRUE(m_profile.WriteProfileInt("", "Warn After Scan", 1));

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyEx(HKEY_CURRENT_USER,
                           "Software\\Wexmoor\\Vostrel\\1.0 Release Candidate 16\\Vostrel\\ConnectOptions",
                           0, KEY_READ, &key));
    DWORD value = 0, size = 4, type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "NumThreads", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(REG_DWORD, type);
    EXPECT_EQ(12u, value);
    RegCloseKey(key);

    CRegistryStore::Instance().Reload();
    EXPECT_EQ(12u, m_profile.GetProfileInt("ConnectOptions", "NumThreads", 10));
    EXPECT_EQ(CString("Vostrel/1.0"), m_profile.GetProfileString("connectoptions", "agentname"));
    EXPECT_EQ(1u, m_profile.GetProfileInt("", "Warn After Scan", 0));
    EXPECT_EQ(static_cast<UINT>(-1), m_profile.GetProfileInt("ConnectOptions", "Missing", -1));
}

TEST_F(CProfileStoreTest, WrongTypesGiveTheDefault)
{
    ASSERT_TRUE(m_profile.WriteProfileString("S", "Number", "7"));
    ASSERT_TRUE(m_profile.WriteProfileInt("S", "Text", 7));
    EXPECT_EQ(3u, m_profile.GetProfileInt("S", "Number", 3));
    EXPECT_EQ(CString("dflt"), m_profile.GetProfileString("S", "Text", "dflt"));
    EXPECT_EQ(CString(""), m_profile.GetProfileString("S", "Missing"));
}

TEST_F(CProfileStoreTest, ReadingCreatesNoKeys)
{
    EXPECT_EQ(5u, m_profile.GetProfileInt("Never Written", "x", 5));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Wexmoor", 0, KEY_READ, &key));
}

TEST_F(CProfileStoreTest, SectionsWithBackslashesAreSubkeys)
{
    ASSERT_TRUE(m_profile.WriteProfileInt("BarState-Bar0", "BarID", 59393));
    ASSERT_TRUE(m_profile.WriteProfileInt("Grid\\Properties", "Zoom", 100));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyEx(HKEY_CURRENT_USER,
                           "Software\\Wexmoor\\Vostrel\\1.0 Release Candidate 16\\Vostrel\\Grid\\Properties",
                           0, KEY_READ, &key));
    RegCloseKey(key);
    // A section with subkeys is not deleted, as on the platform.
    EXPECT_FALSE(m_profile.WriteProfileString("Grid", nullptr, nullptr));
    EXPECT_EQ(100u, m_profile.GetProfileInt("Grid\\Properties", "Zoom", 0));
    EXPECT_TRUE(m_profile.WriteProfileString("Grid\\Properties", nullptr, nullptr));
    EXPECT_EQ(0u, m_profile.GetProfileInt("Grid\\Properties", "Zoom", 0));
    EXPECT_TRUE(m_profile.WriteProfileString("Grid", nullptr, nullptr));
}

TEST_F(CProfileStoreTest, NullValueDeletesTheEntry)
{
    ASSERT_TRUE(m_profile.WriteProfileString("S", "a", "1"));
    ASSERT_TRUE(m_profile.WriteProfileString("S", "a", nullptr));
    EXPECT_EQ(CString("gone"), m_profile.GetProfileString("S", "a", "gone"));
    EXPECT_FALSE(m_profile.WriteProfileString("S", "a", nullptr));
}

TEST_F(CProfileStoreTest, BinaryRoundTripInTheRegistry)
{
    const BYTE data[] = {0x00, 0x10, 0xFF, 0x7A, 0x00};
    ASSERT_TRUE(m_profile.WriteProfileBinary("Layout", "Bars", data, sizeof data));
    BYTE* read = nullptr;
    UINT size = 0;
    ASSERT_TRUE(m_profile.GetProfileBinary("Layout", "Bars", &read, &size));
    std::unique_ptr<BYTE[]> owner(read);
    ASSERT_EQ(sizeof data, size);
    EXPECT_EQ(0, std::memcmp(data, read, size));

    BYTE* none = reinterpret_cast<BYTE*>(1);
    EXPECT_FALSE(m_profile.GetProfileBinary("Layout", "Missing", &none, &size));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(0u, size);
}

TEST_F(CProfileStoreTest, WithoutARegistryKeyTheIniFileIsUsed)
{
    CProfileStore ini("Vostrel");
    EXPECT_FALSE(ini.UsesRegistry());
    ASSERT_TRUE(ini.WriteProfileInt("ScanOptions", "Depth", -4));
    ASSERT_TRUE(ini.WriteProfileString("ScanOptions", "Name", "x y"));
    const BYTE data[] = {0x12, 0xAB};
    ASSERT_TRUE(ini.WriteProfileBinary("ScanOptions", "Blob", data, sizeof data));

    char buffer[64];
    GetPrivateProfileString("ScanOptions", "Blob", "", buffer, sizeof buffer, "Vostrel.ini");
    EXPECT_STREQ("CBLK", buffer); // low nibble first, 'A' based
    EXPECT_EQ(static_cast<UINT>(-4), ini.GetProfileInt("ScanOptions", "Depth", 0));
    EXPECT_EQ(CString("x y"), ini.GetProfileString("ScanOptions", "Name"));
    BYTE* read = nullptr;
    UINT size = 0;
    ASSERT_TRUE(ini.GetProfileBinary("ScanOptions", "Blob", &read, &size));
    std::unique_ptr<BYTE[]> owner(read);
    ASSERT_EQ(2u, size);
    EXPECT_EQ(0x12, read[0]);
    EXPECT_EQ(0xAB, read[1]);

    // Long values are not cut at a fixed buffer size.
    std::string longValue(5000, 'q');
    ASSERT_TRUE(ini.WriteProfileString("ScanOptions", "Long", longValue.c_str()));
    EXPECT_EQ(5000, ini.GetProfileString("ScanOptions", "Long").GetLength());

    ASSERT_TRUE(ini.WriteProfileString("ScanOptions", nullptr, nullptr));
    EXPECT_EQ(9u, ini.GetProfileInt("ScanOptions", "Depth", 9));
}
