#include "platform/core/FormatMessage.h"
#include "platform/core/SystemServices.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

std::string FromArray(const char* format, std::initializer_list<DWORD_PTR> args, DWORD extraFlags = 0)
{
    std::vector<DWORD_PTR> array(args);
    char buffer[256] = {};
    DWORD n = FormatMessage(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | extraFlags, format, 0, 0,
                            buffer, sizeof buffer, reinterpret_cast<va_list*>(array.data()));
    EXPECT_EQ(std::strlen(buffer), n);
    return buffer;
}

std::string FromVaList(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    char buffer[256] = {};
    FormatMessage(FORMAT_MESSAGE_FROM_STRING, format, 0, 0, buffer, sizeof buffer, &args);
    va_end(args);
    return buffer;
}

} // namespace

TEST(FormatMessageTest, InsertsWithPrintfFormats)
{
    const char* sp = "Service Pack 6";
    EXPECT_EQ("WinNT V4.0 Build 1381 Service Pack 6",
              FromArray("WinNT V%1!u.!%2!u Build !%3!u !%4!s!", {4, 0, 1381, reinterpret_cast<DWORD_PTR>(sp)}));
    EXPECT_EQ("x86 (Family 6 Model 8 Stepping 3)",
              FromArray("x86 (Family %1!u Model !%2!u Stepping !%3!u)!", {6, 8, 3}));
    EXPECT_EQ("[00FF] [-5] [b]", FromArray("[%1!04X!] [%2!d!] [%3]", {255, static_cast<DWORD_PTR>(-5),
                                                                     reinterpret_cast<DWORD_PTR>("b")}));
    // Inserts may appear in any order and more than once.
    EXPECT_EQ("b a b", FromArray("%2 %1 %2", {reinterpret_cast<DWORD_PTR>("a"), reinterpret_cast<DWORD_PTR>("b")}));
}

TEST(FormatMessageTest, EscapesAndEndings)
{
    EXPECT_EQ("100% sure!\r\nnext\tcol", FromArray("100%% sure%!%nnext%tcol", {}));
    EXPECT_EQ("cut here", FromArray("cut here%0 and not this", {}));
    EXPECT_EQ("a b c", FromArray("a\r\nb\nc", {}, FORMAT_MESSAGE_MAX_WIDTH_MASK));
    // A printf directive in the text cannot read further arguments.
    EXPECT_EQ("7%s", FromArray("%1!u%s!", {7}));
}

TEST(FormatMessageTest, VaListArguments)
{
    EXPECT_EQ("3 files in C", FromVaList("%1!u! files in %2", static_cast<DWORD_PTR>(3), static_cast<const char*>("C")));
}

TEST(FormatMessageTest, IgnoreInsertsKeepsThem)
{
    char buffer[64];
    ASSERT_NE(0u, FormatMessage(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_IGNORE_INSERTS, "%1!u! of %2", 0, 0,
                                buffer, sizeof buffer, nullptr));
    EXPECT_STREQ("%1!u! of %2", buffer);
    // Inserts without arguments fail.
    EXPECT_EQ(0u, FormatMessage(FORMAT_MESSAGE_FROM_STRING, "%1", 0, 0, buffer, sizeof buffer, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(FormatMessageTest, SystemTextsAndUnknownCodes)
{
    char buffer[128];
    DWORD n = FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND,
                            0, buffer, sizeof buffer, nullptr);
    EXPECT_STREQ("The system cannot find the file specified.\r\n", buffer);
    EXPECT_EQ(std::strlen(buffer), n);

    EXPECT_EQ(0u, FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0xDEAD, 0, buffer, sizeof buffer, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND), GetLastError());

    char tiny[8];
    EXPECT_EQ(0u, FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, tiny, sizeof tiny, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}

TEST(FormatMessageTest, AllocatedBufferIsFreedWithLocalFree)
{
    LPSTR text = nullptr;
    DWORD n = FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, ERROR_ACCESS_DENIED,
                            0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("Access is denied.\r\n", text);
    EXPECT_EQ(19u, n);
    EXPECT_EQ(nullptr, LocalFree(text));
}
