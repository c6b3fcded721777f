#include "fetch/ResultCodes.h"

#include "engine/html/CCharClassSet.h"
#include "platform/core/CException.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

constexpr DWORD W = RESULT_CLASS_WARNING;
constexpr DWORD E = RESULT_CLASS_ERROR;

// Sorted by code: FindResultCode relies on it.
constexpr RESULT_CODE_ENTRY kResultCodes[] = {
    {0x80000001, 782, RESULT_CLASS_BAD_SYNTAX},
    {0x80000002, 783, RESULT_CLASS_NOT_CHECKED},
    {0x80000003, 784, RESULT_CLASS_IN_PROGRESS},
    {0x80000004, 785, W},
    {0x80000005, 786, W},
    {0x80000006, 787, E},
    {0x80000007, 788, W},
    {0x80000008, 789, RESULT_CLASS_NOT_CHECKED},
    {0x80000009, 790, E},
    {0x8000000a, 791, E},
    {0x8000000b, 792, E},
    {0x8000000c, 793, E},
    {0x8000000d, 794, E},
    {0x8000000e, 795, E},
    {0x8000000f, 796, E},
    {0x80000010, 797, W},
    {0x80000011, 798, E},
    {0x80000012, 799, E},
    {0x80000013, 800, E},
    {0x80000014, 801, E},
    {0x80000015, 802, E},
    {0x80000016, 803, E},
    {0x80000017, 804, E},
    {0x80000018, 805, E},
    {0x80000019, 806, E},
    {0x8000001a, 807, E},
    {0x8000001b, 808, E},
    {0x8000001c, 809, E},
    {0x8000001d, 810, RESULT_CLASS_GOOD},
    {0x8000001e, 63012, W},
    {0x8000001f, 63035, E},
    {0x81000001, 811, RESULT_CLASS_GOOD},
    {0x81000002, 812, W},
    {0x81000003, 813, W},
    {0x81000004, 814, W},
    {0x81000005, 815, W},
    {0x81000006, 816, E},
    {0x81000007, 817, E},
    {0x81000008, 818, W},
    {0x82000001, 819, RESULT_CLASS_GOOD},
    {0x82000002, 820, W},
    {0x82000003, 821, E},
    {0x82000004, 822, E},
    {0x82000005, 823, E},
    {0x82000006, 824, E},
    {0x83000001, 850, RESULT_CLASS_GOOD},
    {0x83000002, 851, E},
    {0x83000003, 852, E},
    {0x84000001, 901, RESULT_CLASS_GOOD},
    {0x84000003, 903, E},
    {0x84000004, 904, E},
    {0x84000005, 905, W},
    {0x84000006, 906, W},
    {0x84000007, 907, E},
    {0x84000008, 908, RESULT_CLASS_IN_PROGRESS},
    {0x84000009, 909, W},
    {0x8400000a, 910, RESULT_CLASS_IN_PROGRESS},
    {0x8400000b, 911, E},
    {0x8400000c, 912, E},
    {0x8400000d, 913, W},
    {0x8400000e, 914, W},
    {0x8400000f, 915, W},
    {0x84000010, 916, RESULT_CLASS_IN_PROGRESS},
    {0x84000011, 917, E},
    {0x84000012, 918, W},
    {0x84000013, 919, E},
    {0x84000014, 920, RESULT_CLASS_IN_PROGRESS},
    {0x84000015, 921, RESULT_CLASS_IN_PROGRESS},
    {0x84000016, 922, RESULT_CLASS_IN_PROGRESS},
    {0x84000017, 923, RESULT_CLASS_IN_PROGRESS},
    {0x84000018, 924, RESULT_CLASS_IN_PROGRESS},
    {0x84000019, 925, E},
    {0x8400001a, 926, E},
    {0x8400001b, 927, RESULT_CLASS_IN_PROGRESS},
    {0x8400001d, 2400, E},
    {0x8400001e, 2401, E},
    {0x8400001f, 2402, E},
    {0x84000020, 2403, E},
    {0x84000021, 2404, RESULT_CLASS_NOT_FOUND},
    {0x84000022, 2405, E},
    {0x84000023, 2406, E},
    {0x84000024, 2407, E},
    {0x84000025, 2408, E},
    {0x84000026, 2409, E},
    {0x84000027, 2410, E},
    {0x84000028, 2411, E},
    {0x84000029, 2412, E},
    {0x8400002a, 2413, E},
    {0x8400002b, 2414, E},
    {0x8400002c, 2415, E},
    {0x8400002d, 2500, E},
    {0x8400002e, 2501, E},
    {0x8400002f, 2502, E},
    {0x84000030, 2503, E},
    {0x84000031, 2504, E},
    {0x84000032, 2505, E},
    {0x85000001, 990, RESULT_CLASS_GOOD},
    {0x85000002, 991, RESULT_CLASS_GOOD},
    {0x85000003, 992, E},
    {0x85000004, 993, W},
    {0x85000005, 994, RESULT_CLASS_NOT_ALLOWED},
};
static_assert(std::size(kResultCodes) == 101);

constexpr RESULT_CODE_ENTRY kDefaultRow = {RC_DEFAULT, 781, E};

constexpr HTTP_STATUS_ENTRY kHttpStatuses[] = {
    {100, HTTP_ACTION_CONTINUE, 2100, 0x84000004},
    {101, HTTP_ACTION_CONTINUE, 2101, 0x84000004},
    {200, HTTP_ACTION_SUCCESS, 2200, 0x84000001},
    {201, HTTP_ACTION_ERROR, 2201, 0x84000004},
    {202, HTTP_ACTION_ERROR, 2202, 0x84000004},
    {203, HTTP_ACTION_SUCCESS, 2203, 0x84000004},
    {204, HTTP_ACTION_NO_CONTENT, 2204, 0x8000001e},
    {205, HTTP_ACTION_ERROR, 2205, 0x84000004},
    {206, HTTP_ACTION_ERROR, 2206, 0x84000004},
    {300, HTTP_ACTION_REDIRECT, 2300, 0x84000004},
    {301, HTTP_ACTION_REDIRECT, 2301, 0x84000004},
    {302, HTTP_ACTION_REDIRECT, 2302, 0x84000004},
    {303, HTTP_ACTION_REDIRECT, 2303, 0x84000004},
    {304, HTTP_ACTION_ERROR, 2304, 0x84000004},
    {305, HTTP_ACTION_PROXY_REDIRECT, 2305, 0x84000004},
    {400, HTTP_ACTION_ERROR, 2400, 0x84000004},
    {401, HTTP_ACTION_AUTH_REFUSED, 2401, 0x8400001e},
    {402, HTTP_ACTION_ERROR, 2402, 0x84000004},
    {403, HTTP_ACTION_ERROR, 2403, 0x84000004},
    {404, HTTP_ACTION_ERROR, 2404, 0x84000021},
    {405, HTTP_ACTION_ERROR, 2405, 0x84000004},
    {406, HTTP_ACTION_ERROR, 2406, 0x84000004},
    {407, HTTP_ACTION_PROXY_AUTH_REFUSED, 2407, 0x84000004},
    {408, HTTP_ACTION_ERROR, 2408, 0x84000004},
    {409, HTTP_ACTION_ERROR, 2409, 0x84000004},
    {410, HTTP_ACTION_ERROR, 2410, 0x84000004},
    {411, HTTP_ACTION_ERROR, 2411, 0x84000004},
    {412, HTTP_ACTION_ERROR, 2412, 0x84000004},
    {413, HTTP_ACTION_ERROR, 2413, 0x84000004},
    {414, HTTP_ACTION_ERROR, 2414, 0x84000004},
    {415, HTTP_ACTION_ERROR, 2415, 0x84000004},
    {500, HTTP_ACTION_ERROR, 2500, 0x84000004},
    {501, HTTP_ACTION_ERROR, 2501, 0x84000004},
    {502, HTTP_ACTION_ERROR, 2502, 0x84000004},
    {503, HTTP_ACTION_ERROR, 2503, 0x84000004},
    {504, HTTP_ACTION_ERROR, 2504, 0x84000004},
    {505, HTTP_ACTION_ERROR, 2505, 0x84000004},
};
static_assert(std::size(kHttpStatuses) == 37);

constexpr UINT kUnrecognizedStatusString = 2999;

struct INTERNET_ERROR_ENTRY {
    DWORD dwError;
    UINT nStringId;
};

constexpr INTERNET_ERROR_ENTRY kInternetErrors[] = {
    {12002, 235}, {12005, 236}, {12006, 237}, {12007, 238}, {12008, 239}, {12013, 240},
    {12014, 241}, {12015, 242}, {12029, 243}, {12030, 244}, {12031, 245}, {12037, 246},
    {12038, 247}, {12045, 248}, {12169, 249}, {12170, 250},
};
static_assert(std::size(kInternetErrors) == 16);

CString UnrecognizedStatusText(UINT nStatus)
{
    CString strFormat;
    strFormat.LoadString(kUnrecognizedStatusString);
    CString strText;
    strText.Format(strFormat, nStatus);
    return strText;
}

} // namespace

const RESULT_CODE_ENTRY& FindResultCode(DWORD dwCode)
{
    // Codes compare as unsigned numbers: a code without the top bit, or one far above the
    // table, must sort below or above every row rather than wrap around a signed difference.
    const auto* it = std::lower_bound(std::begin(kResultCodes), std::end(kResultCodes), dwCode,
        [](const RESULT_CODE_ENTRY& row, DWORD code) { return row.dwCode < code; });
    if (it == std::end(kResultCodes) || it->dwCode != dwCode)
        return kDefaultRow;
    return *it;
}

const RESULT_CODE_ENTRY* GetResultCodeTable(int& nCount)
{
    nCount = static_cast<int>(std::size(kResultCodes));
    return kResultCodes;
}

const HTTP_STATUS_ENTRY* FindHttpStatus(UINT nStatus)
{
    const auto* it = std::lower_bound(std::begin(kHttpStatuses), std::end(kHttpStatuses), nStatus,
        [](const HTTP_STATUS_ENTRY& row, UINT status) { return row.nStatus < status; });
    if (it == std::end(kHttpStatuses) || it->nStatus != nStatus)
        return nullptr;
    return it;
}

const HTTP_STATUS_ENTRY* GetHttpStatusTable(int& nCount)
{
    nCount = static_cast<int>(std::size(kHttpStatuses));
    return kHttpStatuses;
}

int ClassifyHttpStatus(UINT nStatus, CString& strText)
{
    if (const HTTP_STATUS_ENTRY* pRow = FindHttpStatus(nStatus)) {
        strText.LoadString(pRow->nStringId);
        return pRow->nAction;
    }
    UINT nSubstitute = 400;
    if (nStatus >= 100 && nStatus < 200)
        nSubstitute = 100;
    else if (nStatus >= 200 && nStatus < 300)
        nSubstitute = 200;
    strText = UnrecognizedStatusText(nStatus);
    return FindHttpStatus(nSubstitute)->nAction;
}

DWORD GetHttpStatusResult(UINT nStatus, CString& strInsert)
{
    strInsert.Empty();
    if (const HTTP_STATUS_ENTRY* pRow = FindHttpStatus(nStatus)) {
        if (pRow->dwCode == RC_HTTP_ERROR)
            strInsert.LoadString(pRow->nStringId);
        return pRow->dwCode;
    }
    strInsert = UnrecognizedStatusText(nStatus);
    return RC_HTTP_ERROR;
}

CString GetHttpStatusText(UINT nStatus)
{
    CString strText;
    if (const HTTP_STATUS_ENTRY* pRow = FindHttpStatus(nStatus))
        strText.LoadString(pRow->nStringId);
    else
        strText = UnrecognizedStatusText(nStatus);
    return strText;
}

UINT FindInternetErrorString(DWORD dwError)
{
    for (const INTERNET_ERROR_ENTRY& row : kInternetErrors) {
        if (row.dwError == dwError)
            return row.nStringId;
    }
    return 0;
}

CString GetBlankedErrorMessage(const CException* pException, UINT nMax)
{
    CString strText;
    if (pException != nullptr) {
        std::vector<TCHAR> buffer(nMax + 1, '\0');
        if (pException->GetErrorMessage(buffer.data(), nMax + 1))
            strText = buffer.data();
    }
    BlankControlChars(strText);
    return strText;
}

CString GetExceptionMessageText(DWORD dwError, const CException* pException)
{
    CString strText;
    if (UINT nId = FindInternetErrorString(dwError)) {
        strText.LoadString(nId);
        return strText;
    }
    strText = GetBlankedErrorMessage(pException, 255);
    CString strTrimmed = strText;
    if (strTrimmed.Trim().IsEmpty()) {
        CString strFormat;
        strFormat.LoadString(234);
        strText.FormatMessage(strFormat.GetString(), dwError);
    }
    return strText;
}

bool IsResultReportable(DWORD dwKeptClass, DWORD dwNewClass)
{
    if (dwKeptClass > 0xFFFFFF)
        return false;
    return (dwNewClass & 0xFF000000) != 0 || (dwKeptClass & 0xFF0000) == 0;
}
