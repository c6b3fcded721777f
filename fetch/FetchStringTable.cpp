#include "fetch/FetchStringTable.h"

#include "platform/core/CString.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <mutex>

namespace {

struct FetchString {
    UINT nID;
    LPCTSTR pszText;
};

// Sorted by id.
constexpr FetchString kStrings[] = {
    {234, "Windows Error %1!u!%0"},
    {235, "Timeout"},
    {236, "Invalid URL"},
    {237, "Unrecognized scheme"},
    {238, "Host not found"},
    {239, "Protocol not found"},
    {240, "Bad username"},
    {241, "Bad password"},
    {242, "Login failure"},
    {243, "Could not connect"},
    {244, "Connection aborted"},
    {245, "Connection reset"},
    {246, "Sec. Cert. date invalid"},
    {247, "Sec. Cert. hostname mismatch"},
    {248, "Sec. Cert. authority not trusted"},
    {249, "Sec. Cert. is invalid"},
    {250, "Sec. Cert. was revoked"},
    {781, "Problem: %1"},
    {782, "Bad URL Syntax"},
    {783, "Not checked"},
    {784, "Checking..."},
    {785, "Unsupported internet scheme"},
    {786, "Unsupported (server side image map)"},
    {787, "Wrong protocol for server side image map"},
    {788, "Unsafe chars in URL"},
    {789, "Cancelled by user"},
    {790, "Bad base URL (%1)"},
    {791, "Relative base URL (%1)"},
    {792, "%1"},
    {793, "Unknown problem"},
    {794, "Host not found"},
    {795, "Timeout"},
    {796, "Bad URL Syntax"},
    {797, "Unknown scheme"},
    {798, "Unknown host"},
    {799, "Protocol Not Found"},
    {800, "Bad Username"},
    {801, "Bad password"},
    {802, "Login failure"},
    {803, "Connection failure"},
    {804, "Connection aborted"},
    {805, "Connection reset"},
    {806, "Sec. Cert. Date Invalid"},
    {807, "Sec. Cert. hostname mismatch"},
    {808, "Sec. Cert. authority not trustworty"},
    {809, "Sec. Cert. invalid"},
    {810, "Sec Cert revoked"},
    {811, "Ok"},
    {812, "Security warning: File URL on remote host"},
    {813, "HTTP Server may issue 302 temporary redirect"},
    {814, "HTTP Server may issue 302 temporary redirect"},
    {815, "Bad last modified date"},
    {816, "Not found (%1)"},
    {817, "Could not open file: %1"},
    {818, "File protocol only defined for local host"},
    {819, "Ok"},
    {820, "FTP Server Root/Login directories differ (See Help)"},
    {821, "Not found"},
    {822, "%1"},
    {823, "Bad User/Password"},
    {824, "Login failure: %1"},
    {850, "Ok"},
    {851, "Not found"},
    {852, "%1"},
    {901, "OK"},
    {903, "Too many redirects (loop?)"},
    {904, "%1"},
    {905, "Illegal Ref. (%1 assumed)"},
    {906, "Unsupported (Redirect via proxy)"},
    {907, "Missing hostname"},
    {908, "Retrying (hostname lookup)"},
    {909, "Unsupported (Server push)"},
    {910, "Retrying (read timeout)"},
    {911, "Redirect to illegal URL (%1)"},
    {912, "Redirect to relative URL (%1)"},
    {913, "Redirect to relative URL (%1)"},
    {914, "302 -> %1"},
    {915, "301 -> %1"},
    {916, "Retrying (server requested)"},
    {917, "Too many retries (server problem?)"},
    {918, "Bad Last Modified date"},
    {919, "Unknown connect error"},
    {920, "Retrying (connect failure)"},
    {921, "Retrying (connect timeout)"},
    {922, "Retrying (connection reset)"},
    {923, "Retrying (connection aborted)"},
    {924, "Retrying (%1)"},
    {925, "Unknown parsing error"},
    {926, "Redirect to unspecified URL"},
    {927, "300 -> %1"},
    {990, "Ok"},
    {991, "Ok (Syntax Only)"},
    {992, "Bad syntax"},
    {993, "Syntax not always supported"},
    {994, "mailto: not allowed here"},
    {2100, "100: Continue"},
    {2101, "101: Switching protocols"},
    {2200, "200: OK"},
    {2201, "201: Created"},
    {2202, "202: Accepted"},
    {2203, "203: Non-Authoritative Information"},
    {2204, "204: No Content"},
    {2205, "205: Reset content"},
    {2206, "206: Partial content"},
    {2300, "300: Multiple choices"},
    {2301, "301: Moved Permanently"},
    {2302, "302: Moved Temporarily"},
    {2303, "303: See Other"},
    {2304, "304: Not Modified"},
    {2305, "305: Use Proxy"},
    {2400, "400: Bad Request (syntax)"},
    {2401, "401: Unauthorized"},
    {2402, "402: Payment required"},
    {2403, "403: Forbidden"},
    {2404, "404: Not Found"},
    {2405, "405: Method Not Allowed"},
    {2406, "406: Not Acceptable"},
    {2407, "407: Proxy Authentication Required"},
    {2408, "408: Request Timeout"},
    {2409, "409: Conflict"},
    {2410, "410: Gone"},
    {2411, "411: Length Required"},
    {2412, "412: Precondition Failed"},
    {2413, "413: Request Entity Too large"},
    {2414, "414: Request URI Too Long"},
    {2415, "415: Unsupported Media Type"},
    {2500, "500: Internal Server Error"},
    {2501, "501: Not Implemented"},
    {2502, "502: Bad Gateway"},
    {2503, "503: Service Unavailable"},
    {2504, "504: Gateway Timeout"},
    {2505, "505: HTTP Version Not Supported"},
    {2999, "%u: Unrecognized server response"},
    {63012, "%s"},
    {63035, " "},
};

std::atomic<AFX_STRING_RESOURCE_HOOK> g_previousHook{nullptr};

LPCTSTR FetchStringHook(UINT nID)
{
    if (LPCTSTR pszText = LookupFetchString(nID))
        return pszText;
    AFX_STRING_RESOURCE_HOOK previous = g_previousHook.load();
    return previous != nullptr ? previous(nID) : nullptr;
}

} // namespace

LPCTSTR LookupFetchString(UINT nID)
{
    const auto* it = std::lower_bound(std::begin(kStrings), std::end(kStrings), nID,
        [](const FetchString& entry, UINT id) { return entry.nID < id; });
    if (it == std::end(kStrings) || it->nID != nID)
        return nullptr;
    return it->pszText;
}

void InstallFetchStringTable()
{
    // Once only: a table installed after ours may chain to it, and installing again would then
    // make the two chain to each other.
    static std::once_flag s_once;
    std::call_once(s_once, [] { g_previousHook.store(AfxSetStringResourceHook(&FetchStringHook)); });
}
