#include "fetch/FetchStringTable.h"
#include "fetch/ResultCodes.h"
#include "platform/core/CException.h"
#include "platform/core/CodePage.h"

#include <gtest/gtest.h>

namespace {

class ResultCodesTest : public ::testing::Test {
protected:
    void SetUp() override { InstallFetchStringTable(); }
};

// An exception with a fixed message of its own.
class CTextException : public CException {
public:
    explicit CTextException(LPCTSTR lpszText) : CException(FALSE), m_strText(lpszText) {}
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* = nullptr) const override
    {
        if (m_strText.IsEmpty())
            return FALSE;
        lstrcpyn(lpszError, m_strText, static_cast<int>(nMaxError));
        return TRUE;
    }
    CString m_strText;
};

TEST_F(ResultCodesTest, EveryRowIsFoundByItsCodeAndHasItsText)
{
    int nCount = 0;
    const RESULT_CODE_ENTRY* pTable = GetResultCodeTable(nCount);
    ASSERT_EQ(nCount, 101);
    for (int i = 0; i < nCount; ++i) {
        if (i > 0) {
            EXPECT_LT(pTable[i - 1].dwCode, pTable[i].dwCode) << "table must stay sorted at row " << i;
        }
        const RESULT_CODE_ENTRY& row = FindResultCode(pTable[i].dwCode);
        EXPECT_EQ(&row, &pTable[i]);
        EXPECT_NE(LookupFetchString(row.nStringId), nullptr) << std::hex << row.dwCode;
    }
}

TEST_F(ResultCodesTest, SpotChecksOfTheTable)
{
    EXPECT_EQ(FindResultCode(0x8000001d).dwClass, RESULT_CLASS_GOOD);
    EXPECT_EQ(FindResultCode(0x84000021).dwClass, RESULT_CLASS_NOT_FOUND);
    EXPECT_EQ(FindResultCode(0x85000005).dwClass, RESULT_CLASS_NOT_ALLOWED);
    EXPECT_EQ(FindResultCode(0x80000001).dwClass, RESULT_CLASS_BAD_SYNTAX);
    EXPECT_STREQ(LookupFetchString(FindResultCode(0x8000001b).nStringId), "Sec. Cert. authority not trustworty");
    EXPECT_STREQ(LookupFetchString(FindResultCode(0x8000001f).nStringId), " ");
    EXPECT_STREQ(LookupFetchString(FindResultCode(0x82000002).nStringId),
        "FTP Server Root/Login directories differ (See Help)");
}

TEST_F(ResultCodesTest, UnknownCodesGiveTheDefaultRow)
{
    // Gaps inside the table, the default code itself, and codes far below and above it, which
    // a signed difference of the codes would misplace.
    for (DWORD dwCode : {0x84000002u, 0x8400001cu, 0x80000000u, 0x80000020u, 0x86000001u, 0u, 1u, 0x7FFFFFFFu,
             0xFFFFFFFFu, 0x05000001u, 0xF4000001u}) {
        const RESULT_CODE_ENTRY& row = FindResultCode(dwCode);
        EXPECT_EQ(row.dwCode, 0x80000000u) << std::hex << dwCode;
        EXPECT_EQ(row.nStringId, 781u);
        EXPECT_EQ(row.dwClass, RESULT_CLASS_ERROR);
    }
    EXPECT_STREQ(LookupFetchString(781), "Problem: %1");
}

TEST_F(ResultCodesTest, KeepTheWorstRule)
{
    // A warning followed by "Checking...": not reported.
    EXPECT_FALSE(IsResultReportable(RESULT_CLASS_WARNING, RESULT_CLASS_IN_PROGRESS));
    EXPECT_FALSE(IsResultReportable(RESULT_CLASS_WARNING, RESULT_CLASS_GOOD));
    EXPECT_FALSE(IsResultReportable(RESULT_CLASS_WARNING, RESULT_CLASS_WARNING));
    // An error after a warning is; nothing after the error is, not even a second error.
    EXPECT_TRUE(IsResultReportable(RESULT_CLASS_WARNING, RESULT_CLASS_ERROR));
    EXPECT_FALSE(IsResultReportable(RESULT_CLASS_ERROR, RESULT_CLASS_ERROR));
    EXPECT_FALSE(IsResultReportable(RESULT_CLASS_ERROR, RESULT_CLASS_GOOD));
    // Before any warning everything goes.
    EXPECT_TRUE(IsResultReportable(RESULT_CLASS_NOT_CHECKED, RESULT_CLASS_IN_PROGRESS));
    EXPECT_TRUE(IsResultReportable(RESULT_CLASS_IN_PROGRESS, RESULT_CLASS_GOOD));
    EXPECT_TRUE(IsResultReportable(RESULT_CLASS_GOOD, RESULT_CLASS_WARNING));
}

TEST_F(ResultCodesTest, HttpStatusClassification)
{
    int nCount = 0;
    const HTTP_STATUS_ENTRY* pTable = GetHttpStatusTable(nCount);
    ASSERT_EQ(nCount, 37);
    for (int i = 0; i < nCount; ++i)
        EXPECT_EQ(FindHttpStatus(pTable[i].nStatus), &pTable[i]);

    CString strText;
    EXPECT_EQ(ClassifyHttpStatus(200, strText), HTTP_ACTION_SUCCESS);
    EXPECT_STREQ(strText, "200: OK");
    EXPECT_EQ(ClassifyHttpStatus(299, strText), HTTP_ACTION_SUCCESS);
    EXPECT_STREQ(strText, "299: Unrecognized server response");
    EXPECT_EQ(ClassifyHttpStatus(399, strText), HTTP_ACTION_ERROR);
    EXPECT_EQ(ClassifyHttpStatus(150, strText), HTTP_ACTION_CONTINUE);
    EXPECT_EQ(ClassifyHttpStatus(42, strText), HTTP_ACTION_ERROR);
    EXPECT_EQ(ClassifyHttpStatus(401, strText), HTTP_ACTION_AUTH_REFUSED);

    CString strInsert;
    EXPECT_EQ(GetHttpStatusResult(404, strInsert), 0x84000021u);
    EXPECT_TRUE(strInsert.IsEmpty());
    EXPECT_EQ(GetHttpStatusResult(403, strInsert), RC_HTTP_ERROR);
    EXPECT_STREQ(strInsert, "403: Forbidden");
    EXPECT_EQ(GetHttpStatusResult(599, strInsert), RC_HTTP_ERROR);
    EXPECT_STREQ(strInsert, "599: Unrecognized server response");
    EXPECT_STREQ(GetHttpStatusText(505), "505: HTTP Version Not Supported");
}

TEST_F(ResultCodesTest, ExceptionMessageText)
{
    EXPECT_STREQ(GetExceptionMessageText(12007, nullptr), "Host not found");
    EXPECT_STREQ(GetExceptionMessageText(12170, nullptr), "Sec. Cert. was revoked");
    CTextException own("line one\r\nline\ttwo");
    EXPECT_STREQ(GetExceptionMessageText(12999, &own), "line one  line two");
    CTextException none("");
    EXPECT_STREQ(GetExceptionMessageText(12999, &none), "Windows Error 12999");
    EXPECT_STREQ(GetExceptionMessageText(4, nullptr), "Windows Error 4");
}

TEST_F(ResultCodesTest, StringTableLeavesOtherIdsToTheApplication)
{
    EXPECT_EQ(LookupFetchString(1), nullptr);
    EXPECT_EQ(LookupFetchString(902), nullptr);
    CString strText;
    EXPECT_TRUE(strText.LoadString(927));
    EXPECT_STREQ(strText, "300 -> %1");
}

} // namespace
