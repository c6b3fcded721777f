// The FTP side of the internet layer: logging in (FtpConnect), directory searches
// (FtpFindHandle), files opened for reading (FtpFileHandle), the directory-listing parser, and
// opening a whole URL of any supported scheme (OpenUrlHandle). Internal to the layer.
#pragma once

#include "platform/net/InternetHandle.h"

#include <memory>
#include <string>
#include <vector>

namespace vostrel::net {

class FtpFindHandle : public InternetHandle {
public:
    FtpFindHandle(const std::shared_ptr<ConnectionHandle>& connection, std::vector<WIN32_FIND_DATA> entries,
                  DWORD_PTR dwContext);
    // The next entry; false at the end.
    bool Next(WIN32_FIND_DATA& data);

private:
    std::vector<WIN32_FIND_DATA> m_entries;
    size_t m_nNext = 0;
};

// A file being received over FTP (or any stream the layer reads whole, from the start).
class FtpFileHandle : public InternetHandle {
public:
    FtpFileHandle(const std::shared_ptr<ConnectionHandle>& connection, std::string path, DWORD_PTR dwContext);
    ConnectionHandle& Connection() const { return static_cast<ConnectionHandle&>(*Parent()); }
    const std::string& Path() const { return m_strPath; }

    // Starts the transfer and waits for its first data (or its end).
    DWORD Open(DWORD dwFlags);
    BOOL Read(void* lpBuffer, DWORD dwCount, LPDWORD lpdwRead);
    BOOL QueryDataAvailable(LPDWORD lpdwAvailable);
    const std::string& Detail() const { return m_strDetail; }

private:
    std::string m_strPath;
    std::unique_ptr<Transfer> m_pTransfer;
    std::string m_strDetail;
};

// Logs in to an FTP server; null with the last error (and, for a refusal, the detail in
// *pDetail) on failure. An empty user name logs in anonymously.
std::shared_ptr<ConnectionHandle> FtpConnect(const std::shared_ptr<SessionHandle>& session, LPCSTR lpszServer,
                                             INTERNET_PORT nPort, LPCSTR lpszUserName, LPCSTR lpszPassword,
                                             DWORD dwFlags, DWORD_PTR dwContext, std::string* pDetail);
HINTERNET ConnectFtp(HINTERNET hSession, LPCSTR lpszServer, INTERNET_PORT nPort, LPCSTR lpszUserName,
                     LPCSTR lpszPassword, DWORD dwFlags, DWORD_PTR dwContext, std::string* pDetail);
// Opens a file for reading; null with the last error on failure.
HINTERNET OpenFtpFile(HINTERNET hConnect, LPCSTR lpszFileName, DWORD dwAccess, DWORD dwFlags, DWORD_PTR dwContext,
                      std::string* pDetail);
// Opens a URL (http, https or ftp; ftp through a proxy when the session names one for it) and
// returns a request handle (HTTP, status readable) or a file handle (FTP). Null with the last
// error on failure.
HINTERNET OpenUrlHandle(HINTERNET hSession, LPCSTR lpszUrl, LPCSTR lpszHeaders, DWORD dwHeadersLength,
                        DWORD dwFlags, DWORD_PTR dwContext, std::string* pDetail);

// Reads one line of a directory listing (the Unix "ls -l" form or the DOS form). Lines that
// name no file ("total 12", ".", "..") give false. A time without a year is in the current
// year, as the listing shows it.
bool ParseFtpListLine(const std::string& line, WIN32_FIND_DATA& data);

} // namespace vostrel::net
