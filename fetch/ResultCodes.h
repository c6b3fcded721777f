// Result codes of the fetch engine with their messages and severity classes, the HTTP status
// table, the internet error texts, and the keep-the-worst rule by which a checker reports
// only a URL's worst result.
#pragma once

#include "engine/html/ITaskManager.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CException;

// Severity classes, best to worst.
enum : DWORD {
    RESULT_CLASS_NOT_CHECKED = 1,       // not checked, or cancelled
    RESULT_CLASS_IN_PROGRESS = 2,       // checking or retrying
    RESULT_CLASS_GOOD = 3,
    RESULT_CLASS_WARNING = 0x10000,
    RESULT_CLASS_BAD_SYNTAX = 0x1000000,
    RESULT_CLASS_NOT_ALLOWED = 0x2000000,
    RESULT_CLASS_ERROR = 0x3000000,
    RESULT_CLASS_NOT_FOUND = 0x4000000,
};

// The result codes the engine itself names (0x8G0000NN: G the group, NN the result).
enum : DWORD {
    RC_DEFAULT = 0x80000000,
    RC_CHECKING = 0x80000003,
    RC_UNSUPPORTED_SCHEME = 0x80000004,
    RC_SERVER_MAP_UNSUPPORTED = 0x80000005,
    RC_SERVER_MAP_WRONG_PROTOCOL = 0x80000006,
    RC_UNSAFE_CHARS = 0x80000007,
    RC_CANCELLED = ITaskManager::kCodeCancelled,
    RC_BAD_BASE_URL = 0x80000009,
    RC_RELATIVE_BASE_URL = 0x8000000a,
    RC_ERROR_TEXT = 0x8000000b,
    RC_UNKNOWN_PROBLEM = 0x8000000c,
    RC_HOST_NOT_FOUND = 0x8000000d,
    RC_WARNING_TEXT = 0x8000001e,
    RC_BAD_PORT = 0x8000001f,
    RC_FILE_OK = 0x81000001,
    RC_FILE_REMOTE_HOST = 0x81000002,
    RC_FILE_FOLDER_REDIRECT = 0x81000003,
    RC_FILE_NO_INDEX = 0x81000004,
    RC_FILE_BAD_DATE = 0x81000005,
    RC_FILE_NOT_FOUND = ITaskManager::kCodeFileNotFound,
    RC_FILE_OPEN_FAILED = ITaskManager::kCodeFileOpenFailed,
    // The engine's own, reported with their texts rather than through the table below.
    RC_FILE_UNREADABLE = ITaskManager::kCodeFileUnreadable,
    RC_FILE_NOT_SAVABLE = ITaskManager::kCodePageNotSavable,
    RC_FILE_TOO_LARGE = ITaskManager::kCodePageTooLarge,
    RC_FTP_OK = 0x82000001,
    RC_FTP_ROOT_DIFFERS = 0x82000002,
    RC_FTP_NOT_FOUND = 0x82000003,
    RC_FTP_ERROR = 0x82000004,
    RC_FTP_BAD_LOGIN = 0x82000005,
    RC_FTP_LOGIN_FAILURE = 0x82000006,
    RC_HTTP_OK = 0x84000001,
    RC_HTTP_ERROR = 0x84000004,
    RC_MAILTO_OK = 0x85000002,
    RC_MAILTO_BAD_SYNTAX = 0x85000003,
    RC_MAILTO_NOT_ALWAYS = 0x85000004,
    RC_MAILTO_NOT_ALLOWED = 0x85000005,
};

// One row of the result table.
struct RESULT_CODE_ENTRY {
    DWORD dwCode;
    UINT nStringId;
    DWORD dwClass;
};

// The row of a result code: a binary search of the 101-row table. A code the table lacks gives
// the default row (0x80000000, "Problem: %1", an error). Never fails. Callable from any thread.
const RESULT_CODE_ENTRY& FindResultCode(DWORD dwCode);
// The table itself, sorted by code (for tests and reports).
const RESULT_CODE_ENTRY* GetResultCodeTable(int& nCount);

// What the HTTP checker does with a reply.
enum : int {
    HTTP_ACTION_SUCCESS = 0,
    HTTP_ACTION_ERROR = 1,
    HTTP_ACTION_AUTH_REFUSED = 2,
    HTTP_ACTION_PROXY_AUTH_REFUSED = 3,
    HTTP_ACTION_REDIRECT = 4,
    HTTP_ACTION_CONTINUE = 5,
    HTTP_ACTION_PROXY_REDIRECT = 6,
    HTTP_ACTION_NO_CONTENT = 7,
};

struct HTTP_STATUS_ENTRY {
    UINT nStatus;
    int nAction;
    UINT nStringId;
    DWORD dwCode;
};

// The row of a status, or null when the 37-row table lacks it. Callable from any thread.
const HTTP_STATUS_ENTRY* FindHttpStatus(UINT nStatus);
const HTTP_STATUS_ENTRY* GetHttpStatusTable(int& nCount);
// The action kind of a status and its text; a status not in the table takes the action of a
// substitute (below 100: 400; 100s: 100; 200s: 200; 300 on: 400) and the text
// "%u: Unrecognized server response". Callable from any thread.
int ClassifyHttpStatus(UINT nStatus, CString& strText);
// The code to report for a status and its first insert (the status text when the code is the
// plain "%1" error, else empty). Callable from any thread.
DWORD GetHttpStatusResult(UINT nStatus, CString& strInsert);
// The status's text alone. Callable from any thread.
CString GetHttpStatusText(UINT nStatus);

// The string id of an internet error's text, 0 when the 16-row table lacks it.
UINT FindInternetErrorString(DWORD dwError);
// The text of an exception that carries an internet error number: the table's text, else the
// exception's own message (up to 255 characters, control characters blanked), else
// "Windows Error <number>". Callable from any thread.
CString GetExceptionMessageText(DWORD dwError, const CException* pException);

// An exception's message, cut to nMax characters, control characters blanked.
CString GetBlankedErrorMessage(const CException* pException, UINT nMax);

// The keep-the-worst rule: whether a result of class dwNew may follow the kept class of the URL.
// Nothing follows an error-level result; after a warning only error-level results follow.
bool IsResultReportable(DWORD dwKeptClass, DWORD dwNewClass);
