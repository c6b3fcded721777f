// File exception causes, system error mapping and message texts.
#include "platform/core/CFileException.h"

#include "platform/core/WinError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

std::string MessageOf(const CException& e)
{
    char text[256];
    EXPECT_TRUE(e.GetErrorMessage(text, sizeof(text)));
    return text;
}

} // namespace

TEST(CFileExceptionTest, CauseNumbersAreStable)
{
    // Callers store and compare the numbers; the order is fixed.
    EXPECT_EQ(CFileException::genericException, 1);
    EXPECT_EQ(CFileException::fileNotFound, 2);
    EXPECT_EQ(CFileException::accessDenied, 5);
    EXPECT_EQ(CFileException::sharingViolation, 11);
    EXPECT_EQ(CFileException::diskFull, 13);
    EXPECT_EQ(CFileException::endOfFile, 14);
}

TEST(CFileExceptionTest, OsErrorsMapToCauses)
{
    EXPECT_EQ(CFileException::OsErrorToException(NO_ERROR), CFileException::none);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_FILE_NOT_FOUND), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_PATH_NOT_FOUND), CFileException::badPath);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_ACCESS_DENIED), CFileException::accessDenied);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_SHARING_VIOLATION), CFileException::sharingViolation);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_LOCK_VIOLATION), CFileException::lockViolation);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_DISK_FULL), CFileException::diskFull);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_NEGATIVE_SEEK), CFileException::badSeek);
    EXPECT_EQ(CFileException::OsErrorToException(-1), CFileException::genericException);
}

TEST(CFileExceptionTest, ErrnoValuesMapToCauses)
{
    EXPECT_EQ(CFileException::ErrnoToException(ENOENT), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::ErrnoToException(ENOTDIR), CFileException::badPath);
    EXPECT_EQ(CFileException::ErrnoToException(EACCES), CFileException::accessDenied);
    EXPECT_EQ(CFileException::ErrnoToException(EMFILE), CFileException::tooManyOpenFiles);
    EXPECT_EQ(CFileException::ErrnoToException(ENOSPC), CFileException::diskFull);
    EXPECT_EQ(CFileException::ErrnoToException(EIO), CFileException::hardIO);
    EXPECT_EQ(CFileException::ErrnoToException(EXDEV), CFileException::genericException);
    // Both mappings agree through the platform error code.
    for (int err : {ENOENT, EACCES, EMFILE, ENOSPC, EBADF, ESPIPE})
        EXPECT_EQ(CFileException::ErrnoToException(err),
                  CFileException::OsErrorToException(static_cast<LONG>(ErrnoToLastError(err))))
            << err;
}

TEST(CFileExceptionTest, ThrowFunctionsKeepCauseErrorAndName)
{
    try {
        CFileException::ThrowOsError(ERROR_FILE_NOT_FOUND, "site/index.html");
        ADD_FAILURE() << "nothing was raised";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e->m_lOsError, ERROR_FILE_NOT_FOUND);
        EXPECT_STREQ(e->m_strFileName, "site/index.html");
        e->Delete();
    }
    try {
        CFileException::ThrowErrno(EACCES);
        ADD_FAILURE() << "nothing was raised";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::accessDenied);
        EXPECT_EQ(e->m_lOsError, EACCES);
        EXPECT_TRUE(e->m_strFileName.IsEmpty());
        e->Delete();
    }
    try {
        AfxThrowFileException(CFileException::genericException);
        ADD_FAILURE() << "nothing was raised";
    } catch (CException* e) {
        ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CFileException)));
        EXPECT_EQ(static_cast<CFileException*>(e)->m_lOsError, -1);
        e->Delete();
    }
}

TEST(CFileExceptionTest, MessagesNameTheFile)
{
    CFileException notFound(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "/tmp/a.vsp");
    notFound.m_bAutoDelete = FALSE;
    EXPECT_EQ(MessageOf(notFound), "/tmp/a.vsp was not found.");

    CFileException denied(CFileException::accessDenied);
    EXPECT_EQ(MessageOf(denied), "Access to an unnamed file was denied.");

    // Every cause, and a cause out of range, has a text that names the file.
    for (int cause = CFileException::none; cause <= CFileException::endOfFile + 1; ++cause) {
        CFileException e(cause, -1, "x.htm");
        EXPECT_NE(MessageOf(e).find("x.htm"), std::string::npos) << cause;
    }
}
