#include "platform/net/FtpHandles.h"

#include "platform/net/HttpRequestHandle.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <sstream>

namespace vostrel::net {

namespace {

bool IsDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

int MonthIndex(const std::string& token)
{
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    if (token.size() != 3)
        return 0;
    for (int i = 0; i < 12; ++i)
        if (std::tolower(static_cast<unsigned char>(token[0])) == kMonths[i][0]
            && std::tolower(static_cast<unsigned char>(token[1])) == kMonths[i][1]
            && std::tolower(static_cast<unsigned char>(token[2])) == kMonths[i][2])
            return i + 1;
    return 0;
}

int CurrentYear()
{
    std::time_t now = std::time(nullptr);
    std::tm tmNow{};
    gmtime_r(&now, &tmNow);
    return tmNow.tm_year + 1900;
}

void SetFileTime(WIN32_FIND_DATA& data, int nYear, int nMonth, int nDay, int nHour, int nMinute)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(nYear);
    st.wMonth = static_cast<WORD>(nMonth);
    st.wDay = static_cast<WORD>(nDay);
    st.wHour = static_cast<WORD>(nHour);
    st.wMinute = static_cast<WORD>(nMinute);
    FILETIME ft{};
    if (SystemTimeToFileTime(&st, &ft)) {
        data.ftLastWriteTime = ft;
        data.ftCreationTime = ft;
        data.ftLastAccessTime = ft;
    }
}

void SetName(WIN32_FIND_DATA& data, const std::string& name)
{
    const size_t n = std::min(name.size(), sizeof(data.cFileName) - 1);
    std::memcpy(data.cFileName, name.data(), n);
    data.cFileName[n] = '\0';
}

void SetSize(WIN32_FIND_DATA& data, unsigned long long size)
{
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
}

// Splits on blanks, remembering where each token starts so that a name keeps its blanks.
std::vector<std::pair<std::string, size_t>> Tokens(const std::string& line)
{
    std::vector<std::pair<std::string, size_t>> tokens;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t start = line.find_first_not_of(" \t", pos);
        if (start == std::string::npos)
            break;
        size_t end = line.find_first_of(" \t", start);
        if (end == std::string::npos)
            end = line.size();
        tokens.emplace_back(line.substr(start, end - start), start);
        pos = end;
    }
    return tokens;
}

bool ParseDosLine(const std::vector<std::pair<std::string, size_t>>& tokens, const std::string& line,
                  WIN32_FIND_DATA& data)
{
    // "01-02-20  10:00AM  <DIR>  name" or "01-02-2020  10:00PM  1234 name"
    if (tokens.size() < 4)
        return false;
    int nMonth = 0, nDay = 0, nYear = 0, nHour = 0, nMinute = 0;
    char ampm[3] = {};
    if (std::sscanf(tokens[0].first.c_str(), "%d-%d-%d", &nMonth, &nDay, &nYear) != 3
        || std::sscanf(tokens[1].first.c_str(), "%d:%d%2s", &nHour, &nMinute, ampm) < 2)
        return false;
    if (nYear < 100)
        nYear += nYear < 70 ? 2000 : 1900;
    if ((ampm[0] == 'P' || ampm[0] == 'p') && nHour < 12)
        nHour += 12;
    if ((ampm[0] == 'A' || ampm[0] == 'a') && nHour == 12)
        nHour = 0;
    if (tokens[2].first == "<DIR>")
        data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    else if (IsDigits(tokens[2].first))
        SetSize(data, std::strtoull(tokens[2].first.c_str(), nullptr, 10));
    else
        return false;
    SetFileTime(data, nYear, nMonth, nDay, nHour, nMinute);
    SetName(data, line.substr(tokens[3].second));
    return true;
}

std::string FtpPathInUrl(const std::string& path)
{
    // Beside what no URL path may hold, ";" and "?" would be read as the URL's own parts.
    std::string escaped;
    for (char c : EscapeUrlPath(path)) {
        if (c == ';')
            escaped += "%3B";
        else if (c == '?')
            escaped += "%3F";
        else
            escaped += c;
    }
    // The path goes to the server as it stands (no directory changes): an absolute path keeps
    // its leading slash by way of "%2F".
    if (!escaped.empty() && escaped.front() == '/')
        return "/%2F" + escaped.substr(1);
    return "/" + escaped;
}

std::string FtpBaseUrl(const ConnectionHandle& connection)
{
    std::string url = "ftp://" + connection.UrlHost();
    if (connection.Port() != INTERNET_INVALID_PORT_NUMBER)
        url += ":" + std::to_string(connection.Port());
    return url;
}

// The settings every FTP transfer on a connection shares.
void ConfigureFtp(Transfer& transfer, const ConnectionHandle& connection, const InternetHandle& owner,
                  const std::string& url)
{
    transfer.m_bFtp = true;
    CURL* easy = transfer.Easy();
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    const std::string user = owner.ResolveString(&OptionValues::userName).value_or("");
    const std::string password = owner.ResolveString(&OptionValues::password).value_or("");
    curl_easy_setopt(easy, CURLOPT_USERNAME, user.empty() ? "anonymous" : user.c_str());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, user.empty() && password.empty() ? "anonymous@" : password.c_str());
    curl_easy_setopt(easy, CURLOPT_FTPPORT, (connection.Flags() & INTERNET_FLAG_PASSIVE) ? nullptr : "-");
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    const DWORD dwControl = owner.ResolveDword(&OptionValues::receiveTimeout, kDefaultReceiveTimeout);
    const DWORD dwData = owner.ResolveDword(&OptionValues::dataReceiveTimeout, kDefaultReceiveTimeout);
    transfer.Start(std::max(dwControl, dwData), owner.ResolveDword(&OptionValues::connectTimeout, kDefaultConnectTimeout));
}

bool HasLineBreak(const char* text)
{
    return text != nullptr && std::strpbrk(text, "\r\n") != nullptr;
}

// The open FTP connection behind the handle; null with the last error set when there is none.
std::shared_ptr<ConnectionHandle> LookupFtpConnection(HINTERNET hConnect)
{
    auto connection = LookupHandleAs<ConnectionHandle>(hConnect);
    if (connection == nullptr || connection->IsAborted()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (connection->Kind() != HandleKind::FtpConnection) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return nullptr;
    }
    return connection;
}

} // namespace

bool ParseFtpListLine(const std::string& rawLine, WIN32_FIND_DATA& data)
{
    std::string line = rawLine;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    data = WIN32_FIND_DATA{};
    data.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    const auto tokens = Tokens(line);
    if (tokens.empty())
        return false;
    bool bParsed = false;
    if (std::isdigit(static_cast<unsigned char>(tokens[0].first[0]))) {
        bParsed = ParseDosLine(tokens, line, data);
    } else {
        // Unix form: find "<size> <month> <day> <time or year> <name...>".
        for (size_t i = 1; i + 3 < tokens.size() && !bParsed; ++i) {
            const int nMonth = MonthIndex(tokens[i].first);
            if (nMonth == 0 || !IsDigits(tokens[i - 1].first) || !IsDigits(tokens[i + 1].first))
                continue;
            const int nDay = std::atoi(tokens[i + 1].first.c_str());
            const std::string& when = tokens[i + 2].first;
            int nYear = CurrentYear(), nHour = 0, nMinute = 0;
            if (when.find(':') != std::string::npos) {
                if (std::sscanf(when.c_str(), "%d:%d", &nHour, &nMinute) != 2)
                    continue;
            } else if (IsDigits(when)) {
                nYear = std::atoi(when.c_str());
            } else {
                continue;
            }
            std::string name = line.substr(tokens[i + 3].second);
            if (tokens[0].first[0] == 'l') {
                const size_t arrow = name.find(" -> ");
                if (arrow != std::string::npos)
                    name.erase(arrow);
            }
            if (tokens[0].first[0] == 'd')
                data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
            SetSize(data, std::strtoull(tokens[i - 1].first.c_str(), nullptr, 10));
            SetFileTime(data, nYear, nMonth, nDay, nHour, nMinute);
            SetName(data, name);
            bParsed = true;
        }
    }
    return bParsed && std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0
        && data.cFileName[0] != '\0';
}

FtpFindHandle::FtpFindHandle(const std::shared_ptr<ConnectionHandle>& connection, std::vector<WIN32_FIND_DATA> entries,
                             DWORD_PTR dwContext)
    : InternetHandle(HandleKind::FtpFind, connection, dwContext), m_entries(std::move(entries))
{
}

bool FtpFindHandle::Next(WIN32_FIND_DATA& data)
{
    if (m_nNext >= m_entries.size())
        return false;
    data = m_entries[m_nNext++];
    return true;
}

FtpFileHandle::FtpFileHandle(const std::shared_ptr<ConnectionHandle>& connection, std::string path, DWORD_PTR dwContext)
    : InternetHandle(HandleKind::FtpFile, connection, dwContext), m_strPath(std::move(path))
{
}

DWORD FtpFileHandle::Open(DWORD dwFlags)
{
    m_pTransfer = std::make_unique<Transfer>(*this, Connection());
    curl_easy_setopt(m_pTransfer->Easy(), CURLOPT_TRANSFERTEXT,
                     (dwFlags & FTP_TRANSFER_TYPE_ASCII) != 0 && (dwFlags & FTP_TRANSFER_TYPE_BINARY) == 0 ? 1L : 0L);
    ConfigureFtp(*m_pTransfer, Connection(), *this, FtpBaseUrl(Connection()) + FtpPathInUrl(m_strPath));
    const DWORD dwError = m_pTransfer->Pump([this] { return m_pTransfer->Available() > 0; });
    if (dwError != 0)
        m_strDetail = m_pTransfer->Detail();
    return dwError;
}

BOOL FtpFileHandle::Read(void* lpBuffer, DWORD dwCount, LPDWORD lpdwRead)
{
    return m_pTransfer->ReadBody(lpBuffer, dwCount, lpdwRead, m_strDetail);
}

BOOL FtpFileHandle::QueryDataAvailable(LPDWORD lpdwAvailable)
{
    return m_pTransfer->QueryAvailable(lpdwAvailable);
}

std::shared_ptr<ConnectionHandle> FtpConnect(const std::shared_ptr<SessionHandle>& session, LPCSTR lpszServer,
                                             INTERNET_PORT nPort, LPCSTR lpszUserName, LPCSTR lpszPassword,
                                             DWORD dwFlags, DWORD_PTR dwContext, std::string* pDetail)
{
    if (session == nullptr || session->IsAborted()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (lpszServer == nullptr || *lpszServer == '\0' || HasLineBreak(lpszUserName) || HasLineBreak(lpszPassword)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A proxy named for FTP is never gone round unasked.
    if (std::string refusal = session->ProxyRefusal("ftp", lpszServer, true); !refusal.empty()) {
        if (pDetail != nullptr)
            *pDetail = std::move(refusal);
        SetLastError(ERROR_INTERNET_INVALID_PROXY_REQUEST);
        return nullptr;
    }
    auto connection = std::make_shared<ConnectionHandle>(HandleKind::FtpConnection, session, lpszServer,
                                                         nPort == 0 ? INTERNET_DEFAULT_FTP_PORT : nPort, dwFlags, dwContext);
    if (lpszUserName != nullptr && *lpszUserName != '\0')
        connection->SetOption(INTERNET_OPTION_USERNAME, const_cast<char*>(lpszUserName), 0);
    if (lpszPassword != nullptr && *lpszPassword != '\0')
        connection->SetOption(INTERNET_OPTION_PASSWORD, const_cast<char*>(lpszPassword), 0);
    session->AddChild(connection);

    // Log in at once, as the caller expects a refused login here and not at the first search.
    Transfer login(*connection, *connection);
    curl_easy_setopt(login.Easy(), CURLOPT_NOBODY, 1L);
    ConfigureFtp(login, *connection, *connection, FtpBaseUrl(*connection) + "/");
    const DWORD dwError = login.Pump([] { return false; });
    if (dwError != 0) {
        if (pDetail != nullptr)
            *pDetail = login.Detail();
        SetLastError(dwError);
        return nullptr;
    }
    char* entry = nullptr;
    curl_easy_getinfo(login.Easy(), CURLINFO_FTP_ENTRY_PATH, &entry);
    connection->m_strCurrentDirectory = entry != nullptr ? entry : "/";
    return connection;
}

HINTERNET ConnectFtp(HINTERNET hSession, LPCSTR lpszServer, INTERNET_PORT nPort, LPCSTR lpszUserName,
                     LPCSTR lpszPassword, DWORD dwFlags, DWORD_PTR dwContext, std::string* pDetail)
{
    auto connection = FtpConnect(LookupHandleAs<SessionHandle>(hSession), lpszServer, nPort, lpszUserName,
                                 lpszPassword, dwFlags, dwContext, pDetail);
    return connection != nullptr ? RegisterHandle(connection) : nullptr;
}

HINTERNET OpenFtpFile(HINTERNET hConnect, LPCSTR lpszFileName, DWORD dwAccess, DWORD dwFlags, DWORD_PTR dwContext,
                      std::string* pDetail)
{
    auto connection = LookupFtpConnection(hConnect);
    if (connection == nullptr)
        return nullptr;
    if (lpszFileName == nullptr || *lpszFileName == '\0' || HasLineBreak(lpszFileName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (dwAccess != GENERIC_READ) {
        // Nothing in the program uploads.
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto file = std::make_shared<FtpFileHandle>(connection, lpszFileName, dwContext);
    connection->AddChild(file);
    if (DWORD dwError = file->Open(dwFlags)) {
        if (pDetail != nullptr)
            *pDetail = file->Detail();
        SetLastError(dwError);
        return nullptr;
    }
    return RegisterHandle(file);
}

HINTERNET OpenUrlHandle(HINTERNET hSession, LPCSTR lpszUrl, LPCSTR lpszHeaders, DWORD dwHeadersLength, DWORD dwFlags,
                        DWORD_PTR dwContext, std::string* pDetail)
{
    auto session = LookupHandleAs<SessionHandle>(hSession);
    if (session == nullptr || session->IsAborted()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (lpszUrl == nullptr || HasLineBreak(lpszUrl)) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    CURLU* parsed = curl_url();
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> guard(parsed, &curl_url_cleanup);
    if (curl_url_set(parsed, CURLUPART_URL, lpszUrl, CURLU_NON_SUPPORT_SCHEME | CURLU_PATH_AS_IS) != CURLUE_OK) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    auto part = [&](CURLUPart which, unsigned flags = 0) {
        char* value = nullptr;
        std::string text;
        if (curl_url_get(parsed, which, &value, flags) == CURLUE_OK && value != nullptr)
            text = value;
        curl_free(value);
        return text;
    };
    std::string scheme = part(CURLUPART_SCHEME);
    for (char& c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string host = part(CURLUPART_HOST);
    const std::string portText = part(CURLUPART_PORT);
    const INTERNET_PORT nPort = portText.empty() ? 0 : static_cast<INTERNET_PORT>(std::atoi(portText.c_str()));
    const std::string user = part(CURLUPART_USER, CURLU_URLDECODE);
    const std::string password = part(CURLUPART_PASSWORD, CURLU_URLDECODE);
    std::string path = part(CURLUPART_PATH, CURLU_URLDECODE);
    if (host.empty()) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    if (std::string refusal = session->ProxyRefusal(scheme, host, false); !refusal.empty()) {
        if (pDetail != nullptr)
            *pDetail = std::move(refusal);
        SetLastError(ERROR_INTERNET_INVALID_PROXY_REQUEST);
        return nullptr;
    }

    if (scheme == "http" || scheme == "https" || (scheme == "ftp" && !session->ProxyFor("ftp", host).empty())) {
        const bool bFtp = scheme == "ftp";
        const DWORD dwRequestFlags = dwFlags | (scheme == "https" ? INTERNET_FLAG_SECURE : 0u);
        auto connection = std::make_shared<ConnectionHandle>(HandleKind::HttpConnection, session, host, nPort,
                                                             dwRequestFlags, dwContext);
        if (!user.empty())
            connection->SetOption(INTERNET_OPTION_USERNAME, const_cast<char*>(user.c_str()), 0);
        if (!password.empty())
            connection->SetOption(INTERNET_OPTION_PASSWORD, const_cast<char*>(password.c_str()), 0);
        session->AddChild(connection);
        std::string object = part(CURLUPART_PATH);
        const std::string query = part(CURLUPART_QUERY);
        if (!query.empty())
            object += "?" + query;
        auto request = std::make_shared<HttpRequestHandle>(connection, "GET", object.c_str(), nullptr, nullptr, nullptr,
                                                           dwRequestFlags, dwContext, bFtp ? lpszUrl : nullptr);
        connection->AddChild(request);
        if (!request->Send(lpszHeaders, lpszHeaders != nullptr ? (dwHeadersLength == 0 ? static_cast<size_t>(-1) : dwHeadersLength) : 0,
                           nullptr, 0)) {
            if (pDetail != nullptr)
                *pDetail = request->Detail();
            return nullptr;
        }
        if (bFtp) {
            DWORD dwStatus = 0, dwSize = sizeof dwStatus;
            if (request->QueryInfo(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &dwSize, nullptr)
                && dwStatus >= 400) {
                // The proxy could not fetch it: to the caller the file is simply not there.
                SetLastError(ERROR_INTERNET_ITEM_NOT_FOUND);
                return nullptr;
            }
        }
        return RegisterHandle(request);
    }
    if (scheme == "ftp") {
        auto connection = FtpConnect(session, host.c_str(), nPort, user.c_str(), password.c_str(), 0, dwContext, pDetail);
        if (connection == nullptr)
            return nullptr;
        if (path.empty() || path == "/") {
            SetLastError(ERROR_INTERNET_INVALID_URL);
            return nullptr;
        }
        auto file = std::make_shared<FtpFileHandle>(connection, path.substr(1), dwContext);
        connection->AddChild(file);
        const DWORD dwTransfer = (dwFlags & INTERNET_FLAG_TRANSFER_BINARY) ? FTP_TRANSFER_TYPE_BINARY : FTP_TRANSFER_TYPE_ASCII;
        if (DWORD dwError = file->Open(dwTransfer)) {
            if (pDetail != nullptr)
                *pDetail = file->Detail();
            SetLastError(dwError);
            return nullptr;
        }
        return RegisterHandle(file);
    }
    SetLastError(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    return nullptr;
}

} // namespace vostrel::net

using namespace vostrel::net;

HINTERNET FtpFindFirstFile(HINTERNET hConnect, LPCSTR lpszSearchFile, LPWIN32_FIND_DATA lpFindFileData,
                           DWORD /*dwFlags*/, DWORD_PTR dwContext)
{
    auto connection = LookupFtpConnection(hConnect);
    if (connection == nullptr)
        return nullptr;
    if (HasLineBreak(lpszSearchFile)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Transfer listing(*connection, *connection);
    std::string command = "LIST";
    if (lpszSearchFile != nullptr && *lpszSearchFile != '\0')
        command += std::string(" ") + lpszSearchFile;
    curl_easy_setopt(listing.Easy(), CURLOPT_CUSTOMREQUEST, command.c_str());
    ConfigureFtp(listing, *connection, *connection, FtpBaseUrl(*connection) + "/");
    const DWORD dwError = listing.Pump([] { return false; });
    if (dwError != 0) {
        SetLastError(dwError);
        return nullptr;
    }
    std::string text(listing.Available(), '\0');
    listing.Take(text.data(), text.size());
    std::vector<WIN32_FIND_DATA> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        WIN32_FIND_DATA data;
        if (ParseFtpListLine(line, data))
            entries.push_back(data);
    }
    if (entries.empty()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return nullptr;
    }
    auto find = std::make_shared<FtpFindHandle>(connection, std::move(entries), dwContext);
    connection->AddChild(find);
    WIN32_FIND_DATA first;
    find->Next(first);
    if (lpFindFileData != nullptr)
        *lpFindFileData = first;
    return RegisterHandle(find);
}

BOOL InternetFindNextFile(HINTERNET hFind, LPVOID lpvFindData)
{
    auto find = LookupHandleAs<FtpFindHandle>(hFind);
    if (find == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    WIN32_FIND_DATA data;
    if (!find->Next(data)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    if (lpvFindData != nullptr)
        *static_cast<WIN32_FIND_DATA*>(lpvFindData) = data;
    return TRUE;
}
