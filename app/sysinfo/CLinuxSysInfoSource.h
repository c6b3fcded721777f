// CLinuxSysInfoSource: the system information report's facts as this system gives them: the host
// name, uname and os-release, /proc/cpuinfo and /proc/meminfo, the locale settings and the
// libraries loaded into the process.
#pragma once

#include "app/sysinfo/ISysInfoSource.h"

class CLinuxSysInfoSource : public ISysInfoSource {
public:
    CString GetHostName() override;
    CString GetSystemText() override;
    UINT GetProcessorCount() override;
    CString GetProcessorName() override;
    BOOL GetPhysicalMemory(ULONGLONG& nTotal, ULONGLONG& nAvailable) override;
    BOOL GetPagingFile(ULONGLONG& nTotal, ULONGLONG& nFree) override;
    UINT GetCodePage() override;
    BOOL GetLanguage(CString& strLanguage) override;
    std::vector<SysInfoLibrary> GetProgramLibraries() override;
    SysInfoLibrary FindLibrary(const CString& strName) override;

    // The version a library's file name carries after ".so." ("libX11.so.6.4.0" gives
    // "6.4.0"); empty when it carries none.
    static CString VersionFromFileName(const CString& strPath);
    // The value of one "Key: value" line of a /proc text ("MemTotal:  1024 kB" gives 1048576
    // bytes for the key "MemTotal"); FALSE when the key is missing.
    static BOOL ReadMemInfoValue(const CString& strText, LPCTSTR pszKey, ULONGLONG& nBytes);
};
