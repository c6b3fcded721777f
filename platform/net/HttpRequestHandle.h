// HttpRequestHandle: one HTTP request on a connection (verb, object, headers, credentials and
// security flags), sent through a Transfer, with the reply's status, headers and body.
// Internal to the layer; the class library's CHttpFile drives it through its handle.
#pragma once

#include "platform/net/HttpReplyHeaders.h"
#include "platform/net/InternetHandle.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#ifndef HTTP_ADDREQ_FLAG_ADD
#define HTTP_ADDREQ_FLAG_ADD_IF_NEW 0x10000000u
#define HTTP_ADDREQ_FLAG_ADD 0x20000000u
#define HTTP_ADDREQ_FLAG_REPLACE 0x80000000u
#endif
#ifndef ERROR_HTTP_HEADER_ALREADY_EXISTS
#define ERROR_HTTP_HEADER_ALREADY_EXISTS 12155u
#endif

namespace vostrel::net {

class HttpRequestHandle : public InternetHandle {
public:
    // lpszAbsoluteUrl, when given, is requested instead of the connection's server and the
    // object (a URL of another scheme sent through a proxy).
    HttpRequestHandle(const std::shared_ptr<ConnectionHandle>& connection, LPCSTR lpszVerb, LPCSTR lpszObject,
                      LPCSTR lpszVersion, LPCSTR lpszReferer, LPCSTR* lplpszAcceptTypes, DWORD dwFlags,
                      DWORD_PTR dwContext, LPCSTR lpszAbsoluteUrl = nullptr);

    ConnectionHandle& Connection() const { return static_cast<ConnectionHandle&>(*Parent()); }
    const std::string& Verb() const { return m_strVerb; }
    const std::string& Object() const { return m_strObject; }
    // The URL requested, or after a followed redirect the URL that answered.
    std::string Url() const;

    // Header lines separated by CRLF; each goes by the modifier (add, add if new, replace).
    BOOL AddHeaders(const char* lpszHeaders, size_t nLength, DWORD dwModifiers);
    // Sends the request (again, when it was sent before) and waits for the reply headers.
    BOOL Send(const char* lpszHeaders, size_t nHeadersLength, const void* lpOptional, DWORD dwOptionalLength);
    // Reads up to dwCount body bytes; fewer only at the end.
    BOOL Read(void* lpBuffer, DWORD dwCount, LPDWORD lpdwRead);
    // The body bytes that can be read without waiting (at least one unless at the end).
    BOOL QueryDataAvailable(LPDWORD lpdwAvailable);
    BOOL QueryInfo(DWORD dwInfoLevel, LPVOID lpBuffer, LPDWORD lpdwBufferLength, LPDWORD lpdwIndex);

    // The detail of the last failure, for the exception's message.
    const std::string& Detail() const { return m_strDetail; }

    BOOL SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength) override;
    BOOL QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength) override;

private:
    DWORD SendOnce(const std::vector<std::string>& headers, const void* lpOptional, DWORD dwOptionalLength,
                   DWORD dwSecurityFlags);
    std::vector<std::string> RequestHeaderLines() const;
    bool Secure() const;
    // The scheme whose proxy the request goes through: "ftp" for an FTP URL carried by an HTTP
    // proxy, else "https" or "http".
    std::string ProxyScheme() const;

    std::string m_strVerb;
    std::string m_strObject;
    std::string m_strVersion;
    std::string m_strAbsoluteUrl;
    DWORD m_dwFlags;
    DWORD m_dwSecurityFlags = 0;
    std::vector<std::string> m_headers;
    std::unique_ptr<Transfer> m_pTransfer;
    bool m_bSent = false;
    std::string m_strEffectiveUrl;
    std::string m_strDetail;
};

// Opens an HTTP connection handle under a session; null with the last error on failure.
HINTERNET ConnectHttp(HINTERNET hSession, LPCSTR lpszServer, INTERNET_PORT nPort, LPCSTR lpszUserName,
                      LPCSTR lpszPassword, DWORD dwFlags, DWORD_PTR dwContext);
// Opens a request handle on an HTTP connection; null with the last error on failure.
HINTERNET OpenHttpRequest(HINTERNET hConnect, LPCSTR lpszVerb, LPCSTR lpszObject, LPCSTR lpszVersion,
                          LPCSTR lpszReferer, LPCSTR* lplpszAcceptTypes, DWORD dwFlags, DWORD_PTR dwContext);

} // namespace vostrel::net
