#include "platform/afx/app/CCommandLineInfo.h"

#include <strings.h>

void CCommandLineInfo::ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast)
{
    if (bFlag)
        ParseParamFlag(pszParam);
    else
        ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(LPCTSTR pszParam)
{
    if (strcasecmp(pszParam, "pt") == 0) {
        m_nShellCommand = FilePrintTo;
    } else if (strcasecmp(pszParam, "p") == 0) {
        m_nShellCommand = FilePrint;
    } else if (strcasecmp(pszParam, "Unregister") == 0 || strcasecmp(pszParam, "Unregserver") == 0) {
        m_nShellCommand = AppUnregister;
    } else if (strcasecmp(pszParam, "Register") == 0 || strcasecmp(pszParam, "Regserver") == 0) {
        m_nShellCommand = AppRegister;
    } else if (strcasecmp(pszParam, "dde") == 0) {
        m_nShellCommand = FileDDE;
    } else if (strcasecmp(pszParam, "Embedding") == 0) {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (strcasecmp(pszParam, "Automation") == 0) {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    } else if (strcasecmp(pszParam, "nologo") == 0) {
        m_bShowSplash = FALSE;
    }
}

void CCommandLineInfo::ParseParamNotFlag(LPCTSTR pszParam)
{
    // The file comes first; printing to a printer names the printer, driver and port after it.
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast)
{
    if (bLast && m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
}
