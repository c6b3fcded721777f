// The internet layer's handle type, flags, option and query numbers, error numbers and the raw
// functions that callers use beside the session, connection and file classes.
//
// Handles are opaque pointers to reference-counted objects kept in one process-wide table, so a
// handle closed by one thread stays safe to use (and fails) in another. Closing a handle aborts
// every blocking call on it and on the handles made from it, promptly. All functions here are
// callable from any thread; errors go to SetLastError with the numbers below.
#pragma once

#include "platform/core/FileAttributes.h"
#include "platform/core/SystemTime.h"
#include "platform/core/Types.h"
#include "platform/core/WinError.h"

typedef void* HINTERNET;
typedef HINTERNET* LPHINTERNET;
typedef WORD INTERNET_PORT;

// Access types of a session.
#define INTERNET_OPEN_TYPE_PRECONFIG 0u
#define INTERNET_OPEN_TYPE_DIRECT 1u
#define INTERNET_OPEN_TYPE_PROXY 3u
#define INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY 4u

#define INTERNET_INVALID_PORT_NUMBER 0
#define INTERNET_DEFAULT_FTP_PORT 21
#define INTERNET_DEFAULT_HTTP_PORT 80
#define INTERNET_DEFAULT_HTTPS_PORT 443

#define INTERNET_SERVICE_FTP 1u
#define INTERNET_SERVICE_HTTP 3u

// Session, connection and request flags.
#define INTERNET_FLAG_RELOAD 0x80000000u
#define INTERNET_FLAG_RAW_DATA 0x40000000u
#define INTERNET_FLAG_EXISTING_CONNECT 0x20000000u
#define INTERNET_FLAG_ASYNC 0x10000000u
#define INTERNET_FLAG_PASSIVE 0x08000000u
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000u
#define INTERNET_FLAG_DONT_CACHE INTERNET_FLAG_NO_CACHE_WRITE
#define INTERNET_FLAG_SECURE 0x00800000u
#define INTERNET_FLAG_KEEP_CONNECTION 0x00400000u
#define INTERNET_FLAG_NO_AUTO_REDIRECT 0x00200000u
#define INTERNET_FLAG_NO_COOKIES 0x00080000u
#define INTERNET_FLAG_NO_AUTH 0x00040000u
#define INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP 0x00008000u
#define INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS 0x00004000u
#define INTERNET_FLAG_IGNORE_CERT_DATE_INVALID 0x00002000u
#define INTERNET_FLAG_IGNORE_CERT_CN_INVALID 0x00001000u
#define INTERNET_FLAG_PRAGMA_NOCACHE 0x00000100u
#define INTERNET_FLAG_TRANSFER_ASCII 0x00000001u
#define INTERNET_FLAG_TRANSFER_BINARY 0x00000002u

#define FTP_TRANSFER_TYPE_ASCII 0x00000001u
#define FTP_TRANSFER_TYPE_BINARY 0x00000002u

#ifndef GENERIC_READ
#define GENERIC_READ 0x80000000u
#endif
#ifndef GENERIC_WRITE
#define GENERIC_WRITE 0x40000000u
#endif

// Options of InternetSetOption / InternetQueryOption. The time-outs are milliseconds.
#define INTERNET_OPTION_CONNECT_TIMEOUT 2u
#define INTERNET_OPTION_CONNECT_RETRIES 3u
#define INTERNET_OPTION_SEND_TIMEOUT 5u
#define INTERNET_OPTION_CONTROL_SEND_TIMEOUT 5u
#define INTERNET_OPTION_RECEIVE_TIMEOUT 6u
#define INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT 6u
#define INTERNET_OPTION_DATA_SEND_TIMEOUT 7u
#define INTERNET_OPTION_DATA_RECEIVE_TIMEOUT 8u
#define INTERNET_OPTION_HANDLE_TYPE 9u
#define INTERNET_OPTION_USERNAME 28u
#define INTERNET_OPTION_PASSWORD 29u
#define INTERNET_OPTION_SECURITY_FLAGS 31u
#define INTERNET_OPTION_URL 34u
#define INTERNET_OPTION_PROXY 38u
#define INTERNET_OPTION_USER_AGENT 41u
#define INTERNET_OPTION_PROXY_USERNAME 43u
#define INTERNET_OPTION_PROXY_PASSWORD 44u
#define INTERNET_OPTION_SECURITY_SELECT_CLIENT_CERT 47u
#define INTERNET_OPTION_MAX_CONNS_PER_SERVER 73u
#define INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER 74u
// This layer's own options, inherited like the time-outs: a limit on the whole of each transfer
// in milliseconds, and on the bytes of each reply body (0: no limit). A slow or endless server
// then ends a transfer instead of holding it for ever.
#define INTERNET_OPTION_TRANSFER_TIME_LIMIT 0x10001u
#define INTERNET_OPTION_TRANSFER_SIZE_LIMIT 0x10002u

// Values of INTERNET_OPTION_HANDLE_TYPE.
#define INTERNET_HANDLE_TYPE_INTERNET 1u
#define INTERNET_HANDLE_TYPE_CONNECT_FTP 2u
#define INTERNET_HANDLE_TYPE_CONNECT_HTTP 4u
#define INTERNET_HANDLE_TYPE_FTP_FIND 5u
#define INTERNET_HANDLE_TYPE_FTP_FILE 7u
#define INTERNET_HANDLE_TYPE_HTTP_REQUEST 13u

// Bits of INTERNET_OPTION_SECURITY_FLAGS.
#define SECURITY_FLAG_SECURE 0x00000001u
#define SECURITY_FLAG_IGNORE_REVOCATION 0x00000080u
#define SECURITY_FLAG_IGNORE_UNKNOWN_CA 0x00000100u
#define SECURITY_FLAG_IGNORE_WRONG_USAGE 0x00000200u
#define SECURITY_FLAG_IGNORE_CERT_CN_INVALID INTERNET_FLAG_IGNORE_CERT_CN_INVALID
#define SECURITY_FLAG_IGNORE_CERT_DATE_INVALID INTERNET_FLAG_IGNORE_CERT_DATE_INVALID

// What INTERNET_OPTION_PROXY reads: the access type and, for a proxy, the proxy list and the
// bypass list. The texts lie in the caller's buffer behind the record.
struct INTERNET_PROXY_INFO {
    DWORD dwAccessType;
    LPCSTR lpszProxy;
    LPCSTR lpszProxyBypass;
};
typedef INTERNET_PROXY_INFO* LPINTERNET_PROXY_INFO;

// HttpQueryInfo levels (the low 16 bits) and modifiers (the high bits).
#define HTTP_QUERY_CONTENT_TYPE 1u
#define HTTP_QUERY_CONTENT_LENGTH 5u
#define HTTP_QUERY_DATE 9u
#define HTTP_QUERY_EXPIRES 10u
#define HTTP_QUERY_LAST_MODIFIED 11u
#define HTTP_QUERY_VERSION 18u
#define HTTP_QUERY_STATUS_CODE 19u
#define HTTP_QUERY_STATUS_TEXT 20u
#define HTTP_QUERY_RAW_HEADERS 21u
#define HTTP_QUERY_RAW_HEADERS_CRLF 22u
#define HTTP_QUERY_CONTENT_ENCODING 29u
#define HTTP_QUERY_LOCATION 33u
#define HTTP_QUERY_SERVER 37u
#define HTTP_QUERY_WWW_AUTHENTICATE 40u
#define HTTP_QUERY_PROXY_AUTHENTICATE 41u
#define HTTP_QUERY_REQUEST_METHOD 45u
#define HTTP_QUERY_CONTENT_BASE 50u
#define HTTP_QUERY_CONTENT_LOCATION 51u
#define HTTP_QUERY_CUSTOM 65535u
#define HTTP_QUERY_HEADER_MASK 0x0000FFFFu
#define HTTP_QUERY_MODIFIER_FLAGS_MASK 0xF0000000u
#define HTTP_QUERY_FLAG_REQUEST_HEADERS 0x80000000u
#define HTTP_QUERY_FLAG_SYSTEMTIME 0x40000000u
#define HTTP_QUERY_FLAG_NUMBER 0x20000000u

#define HTTP_STATUS_OK 200
#define HTTP_STATUS_MOVED 301
#define HTTP_STATUS_REDIRECT 302
#define HTTP_STATUS_DENIED 401
#define HTTP_STATUS_NOT_FOUND 404
#define HTTP_STATUS_PROXY_AUTH_REQ 407

// The internet error numbers.
#define INTERNET_ERROR_BASE 12000u
#define ERROR_INTERNET_OUT_OF_HANDLES 12001u
#define ERROR_INTERNET_TIMEOUT 12002u
#define ERROR_INTERNET_EXTENDED_ERROR 12003u
#define ERROR_INTERNET_INTERNAL_ERROR 12004u
#define ERROR_INTERNET_INVALID_URL 12005u
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006u
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007u
#define ERROR_INTERNET_PROTOCOL_NOT_FOUND 12008u
#define ERROR_INTERNET_INVALID_OPTION 12009u
#define ERROR_INTERNET_BAD_OPTION_LENGTH 12010u
#define ERROR_INTERNET_OPTION_NOT_SETTABLE 12011u
#define ERROR_INTERNET_SHUTDOWN 12012u
#define ERROR_INTERNET_INCORRECT_USER_NAME 12013u
#define ERROR_INTERNET_INCORRECT_PASSWORD 12014u
#define ERROR_INTERNET_LOGIN_FAILURE 12015u
#define ERROR_INTERNET_INVALID_OPERATION 12016u
#define ERROR_INTERNET_OPERATION_CANCELLED 12017u
#define ERROR_INTERNET_INCORRECT_HANDLE_TYPE 12018u
#define ERROR_INTERNET_INCORRECT_HANDLE_STATE 12019u
#define ERROR_INTERNET_NOT_PROXY_REQUEST 12020u
#define ERROR_INTERNET_ITEM_NOT_FOUND 12028u
#define ERROR_INTERNET_CANNOT_CONNECT 12029u
#define ERROR_INTERNET_CONNECTION_ABORTED 12030u
#define ERROR_INTERNET_CONNECTION_RESET 12031u
#define ERROR_INTERNET_FORCE_RETRY 12032u
#define ERROR_INTERNET_INVALID_PROXY_REQUEST 12033u
#define ERROR_INTERNET_SEC_CERT_DATE_INVALID 12037u
#define ERROR_INTERNET_SEC_CERT_CN_INVALID 12038u
#define ERROR_INTERNET_HTTP_TO_HTTPS_ON_REDIR 12039u
#define ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR 12040u
#define ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED 12044u
#define ERROR_INTERNET_INVALID_CA 12045u
#define ERROR_FTP_TRANSFER_IN_PROGRESS 12110u
#define ERROR_FTP_DROPPED 12111u
#define ERROR_HTTP_HEADER_NOT_FOUND 12150u
#define ERROR_HTTP_DOWNLEVEL_SERVER 12151u
#define ERROR_HTTP_INVALID_SERVER_RESPONSE 12152u
#define ERROR_HTTP_INVALID_HEADER 12153u
#define ERROR_HTTP_INVALID_QUERY_REQUEST 12154u
#define ERROR_HTTP_REDIRECT_FAILED 12156u
#define ERROR_INTERNET_SECURITY_CHANNEL_ERROR 12157u
#define ERROR_INTERNET_SEC_INVALID_CERT 12169u
#define ERROR_INTERNET_SEC_CERT_REVOKED 12170u
#define ERROR_INTERNET_DECODING_FAILED 12175u
#define INTERNET_ERROR_LAST 12175u
// This layer's own errors: a transfer ended by its time or size limit.
#define ERROR_INTERNET_TRANSFER_TIME_LIMIT 12901u
#define ERROR_INTERNET_TRANSFER_SIZE_LIMIT 12902u

// A file found by an FTP directory search: attributes, times (UTC), size and names.
#ifndef VOSTREL_WIN32_FIND_DATA_DEFINED
#define VOSTREL_WIN32_FIND_DATA_DEFINED
struct WIN32_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATA* LPWIN32_FIND_DATA;
#endif

// Readies the transfer library; always ERROR_SUCCESS (there is no dial-up to attempt).
DWORD InternetAttemptConnect(DWORD dwReserved);

// Closes a handle of any kind; blocking calls on it or on handles made from it return at once
// with ERROR_INTERNET_OPERATION_CANCELLED. FALSE with ERROR_INVALID_HANDLE for a handle that is
// not open. Callable from any thread, also while another thread uses the handle.
BOOL InternetCloseHandle(HINTERNET hInternet);

// Options of a handle; a null handle means the process-wide settings (only
// INTERNET_OPTION_PROXY, INTERNET_OPTION_MAX_CONNS_PER_SERVER and ..._PER_1_0_SERVER there).
// DWORD options take and give a DWORD; texts are NUL-terminated, their length counted without
// the NUL. A buffer that is too small gives ERROR_INSUFFICIENT_BUFFER with the size needed.
BOOL InternetSetOption(HINTERNET hInternet, DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength);
BOOL InternetQueryOption(HINTERNET hInternet, DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength);

// Reads a reply header (or, with HTTP_QUERY_FLAG_REQUEST_HEADERS, a request header) of an HTTP
// request handle. For HTTP_QUERY_CUSTOM the buffer holds the header name on entry. *lpdwIndex,
// when given, picks the n-th header of that name and is advanced on success. A text that does
// not fit gives ERROR_INSUFFICIENT_BUFFER with the size needed, NUL included; on success the
// length is given without the NUL. ERROR_HTTP_HEADER_NOT_FOUND when there is no such header.
BOOL HttpQueryInfo(HINTERNET hRequest, DWORD dwInfoLevel, LPVOID lpBuffer, LPDWORD lpdwBufferLength,
                   LPDWORD lpdwIndex);

// The last reply text an FTP server sent to the calling thread's requests (its lines joined by
// "\r\n"), with its code in *lpdwError. The text is kept per thread.
BOOL InternetGetLastResponseInfo(LPDWORD lpdwError, LPSTR lpszBuffer, LPDWORD lpdwBufferLength);

// Lists a path (a file or a directory; null or empty for the current directory) on an FTP
// connection: the first entry goes to *lpFindFileData and the returned handle gives the next
// ones through InternetFindNextFile. Null with ERROR_NO_MORE_FILES for an empty listing, or with
// ERROR_INTERNET_EXTENDED_ERROR when the server refused (see InternetGetLastResponseInfo).
HINTERNET FtpFindFirstFile(HINTERNET hConnect, LPCSTR lpszSearchFile, LPWIN32_FIND_DATA lpFindFileData,
                           DWORD dwFlags, DWORD_PTR dwContext);
// FALSE with ERROR_NO_MORE_FILES after the last entry.
BOOL InternetFindNextFile(HINTERNET hFind, LPVOID lpvFindData);

// The layer's text for an internet error number; null for a number it does not know.
LPCSTR GetInternetErrorText(DWORD dwError);
