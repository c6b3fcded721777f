// The PDF printer: a device context whose pages are drawn at the printer's resolution as shapes,
// text and pictures (VectorPage) and written, page by page, into a PDF document through cairo,
// which keeps them as its own vectors and fonts.
#include "platform/core/AtomicFile.h"
#include "platform/win/Gdi.h"
#include "platform/win/detail/DeviceContext.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kPrinterName = "PDF file";
constexpr int kDefaultDpi = 300;

int g_nextJob = 1;

DeviceContext* PrinterOf(HDC hdc)
{
    DeviceContext* dc = GdiDCs::Find(hdc);
    return dc && dc->m_printer ? dc : nullptr;
}

// A sheet in tenths of a millimetre.
struct Paper {
    int width;
    int length;
};

Paper PaperFor(const DEVMODE* mode)
{
    Paper paper{2159, 2794}; // Letter
    if (!mode) {
        return paper;
    }
    if (mode->dmFields & DM_PAPERSIZE) {
        switch (mode->dmPaperSize) {
        case DMPAPER_LEGAL: paper = {2159, 3556}; break;
        case DMPAPER_A4: paper = {2100, 2970}; break;
        case DMPAPER_A5: paper = {1480, 2100}; break;
        default: break;
        }
    }
    // An explicit size wins over the named one, as long as it is a sheet one could print on.
    if ((mode->dmFields & DM_PAPERWIDTH) && mode->dmPaperWidth >= 100) {
        paper.width = mode->dmPaperWidth;
    }
    if ((mode->dmFields & DM_PAPERLENGTH) && mode->dmPaperLength >= 100) {
        paper.length = mode->dmPaperLength;
    }
    if ((mode->dmFields & DM_ORIENTATION) && mode->dmOrientation == DMORIENT_LANDSCAPE) {
        std::swap(paper.width, paper.length);
    }
    return paper;
}

int DpiFor(const DEVMODE* mode)
{
    if (mode && (mode->dmFields & DM_PRINTQUALITY) && mode->dmPrintQuality > 0) {
        // Beyond 600 dots a page image would take hundreds of megabytes.
        return std::clamp<int>(mode->dmPrintQuality, 72, 600);
    }
    return kDefaultDpi;
}

cairo_status_t WriteToFd(void* closure, const unsigned char* data, unsigned int length)
{
    auto* printer = static_cast<PrinterDevice*>(closure);
    if (printer->fd < 0 || printer->writeFailed) {
        return printer->writeFailed ? CAIRO_STATUS_WRITE_ERROR : CAIRO_STATUS_SUCCESS;
    }
    while (length > 0) {
        ssize_t n = ::write(printer->fd, data, length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            printer->writeFailed = true;
            return CAIRO_STATUS_WRITE_ERROR;
        }
        data += n;
        length -= static_cast<unsigned int>(n);
    }
    return CAIRO_STATUS_SUCCESS;
}

// Puts the drawn page on the document's current page and starts the next one.
void EmitPage(DeviceContext& dc)
{
    PrinterDevice& p = *dc.m_printer;
    cairo_t* cr = cairo_create(p.pdf);
    cairo_scale(cr, 72.0 / p.dpi, 72.0 / p.dpi);
    p.page->PaintOn(cr, p.offsetX, p.offsetY);
    cairo_show_page(cr);
    cairo_destroy(cr);
}

void DropPage(DeviceContext& dc)
{
    if (dc.m_printer->page) {
        dc.m_printer->page->Clear();
    }
    dc.m_printer->inPage = false;
    dc.InvalidateClip();
}

} // namespace

PrinterDevice::~PrinterDevice()
{
    Abandon();
}

void PrinterDevice::Abandon()
{
    if (pdf) {
        // Whatever cairo still writes goes nowhere.
        writeFailed = true;
        cairo_surface_destroy(pdf);
        pdf = nullptr;
    }
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
    }
    jobId = 0;
    inPage = false;
    writeFailed = false;
}

bool GetPrinterCaps(const PrinterDevice& p, int index, int* answer)
{
    switch (index) {
    case TECHNOLOGY: *answer = DT_RASPRINTER; return true;
    case HORZRES:
    case DESKTOPHORZRES: *answer = p.HorzRes(); return true;
    case VERTRES:
    case DESKTOPVERTRES: *answer = p.VertRes(); return true;
    case HORZSIZE: *answer = GdiMulDiv(p.HorzRes(), 254, p.dpi * 10LL); return true;
    case VERTSIZE: *answer = GdiMulDiv(p.VertRes(), 254, p.dpi * 10LL); return true;
    case LOGPIXELSX:
    case LOGPIXELSY:
    case ASPECTX:
    case ASPECTY: *answer = p.dpi; return true;
    case ASPECTXY: *answer = GdiMulDiv(p.dpi, 14142, 10000); return true;
    case PHYSICALWIDTH: *answer = p.physicalWidth; return true;
    case PHYSICALHEIGHT: *answer = p.physicalHeight; return true;
    case PHYSICALOFFSETX: *answer = p.offsetX; return true;
    case PHYSICALOFFSETY: *answer = p.offsetY; return true;
    case RASTERCAPS:
        *answer = RC_BITBLT | RC_BANDING | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV |
                  RC_STRETCHBLT | RC_STRETCHDIB;
        return true;
    case VREFRESH: *answer = 0; return true;
    default: return false;
    }
}

BOOL GetDefaultPrinter(LPSTR buffer, LPDWORD size)
{
    if (!size) {
        return FALSE;
    }
    DWORD needed = static_cast<DWORD>(std::strlen(kPrinterName) + 1);
    if (!buffer || *size < needed) {
        *size = needed;
        return FALSE;
    }
    std::memcpy(buffer, kPrinterName, needed);
    *size = needed;
    return TRUE;
}

HDC CreateDC(LPCSTR, LPCSTR device, LPCSTR port, const DEVMODE* mode)
{
    if (!device || std::strcmp(device, kPrinterName) != 0) {
        return nullptr;
    }
    auto printer = std::make_unique<PrinterDevice>();
    printer->dpi = DpiFor(mode);
    Paper paper = PaperFor(mode);
    printer->physicalWidth = GdiMulDiv(paper.width, printer->dpi, 254);
    printer->physicalHeight = GdiMulDiv(paper.length, printer->dpi, 254);
    // A quarter inch all round that the printer cannot reach, as on most paper printers.
    printer->offsetX = printer->dpi / 4;
    printer->offsetY = printer->dpi / 4;
    if (port) {
        printer->port = port;
    }
    auto dc = std::make_unique<DeviceContext>(DeviceContext::Kind::Surface);
    dc->m_dpiX = printer->dpi;
    dc->m_dpiY = printer->dpi;
    dc->m_printer = std::move(printer);
    return GdiDCs::Add(std::move(dc));
}

int StartDoc(HDC hdc, const DOCINFO* info)
{
    DeviceContext* dc = PrinterOf(hdc);
    if (!dc || dc->m_printer->jobId != 0) {
        return SP_ERROR;
    }
    PrinterDevice& p = *dc->m_printer;
    std::string output = info && info->lpszOutput && *info->lpszOutput ? info->lpszOutput : p.port;
    if (output.empty()) {
        return SP_ERROR;
    }
    std::string temporary = output + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return SP_ERROR;
    }
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    // The new file takes the old one's mode; a new file gets the usual one.
    struct stat old {};
    mode_t mode = 0666;
    if (::stat(output.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode &= ~static_cast<mode_t>(CurrentUmask());
    }
    ::fchmod(fd, mode);
    p.fd = fd;
    p.output = output;
    p.temporary = temporary;
    p.writeFailed = false;
    p.pdf = cairo_pdf_surface_create_for_stream(WriteToFd, &p, p.physicalWidth * 72.0 / p.dpi,
                                                p.physicalHeight * 72.0 / p.dpi);
    if (cairo_surface_status(p.pdf) != CAIRO_STATUS_SUCCESS) {
        p.Abandon();
        return SP_ERROR;
    }
    if (info && info->lpszDocName) {
        cairo_pdf_surface_set_metadata(p.pdf, CAIRO_PDF_METADATA_TITLE, info->lpszDocName);
    }
    p.jobId = g_nextJob++;
    return p.jobId;
}

int StartPage(HDC hdc)
{
    DeviceContext* dc = PrinterOf(hdc);
    if (!dc || dc->m_printer->jobId == 0 || dc->m_printer->inPage) {
        return SP_ERROR;
    }
    PrinterDevice& p = *dc->m_printer;
    if (!p.page) {
        p.page = std::make_unique<VectorPage>(p.HorzRes(), p.VertRes());
        if (!p.page->Target().Valid()) {
            p.page.reset();
            return SP_OUTOFMEMORY;
        }
    }
    dc->m_origin = POINT{0, 0};
    dc->m_hasSystemClip = false;
    dc->InvalidateClip();
    p.inPage = true;
    return 1;
}

int EndPage(HDC hdc)
{
    DeviceContext* dc = PrinterOf(hdc);
    if (!dc || !dc->m_printer->inPage) {
        return SP_ERROR;
    }
    EmitPage(*dc);
    DropPage(*dc);
    if (dc->m_printer->writeFailed || cairo_surface_status(dc->m_printer->pdf) != CAIRO_STATUS_SUCCESS) {
        return SP_OUTOFDISK;
    }
    return 1;
}

int EndDoc(HDC hdc)
{
    DeviceContext* dc = PrinterOf(hdc);
    if (!dc || dc->m_printer->jobId == 0) {
        return SP_ERROR;
    }
    PrinterDevice& p = *dc->m_printer;
    if (p.inPage) {
        EmitPage(*dc);
        DropPage(*dc);
    }
    cairo_surface_finish(p.pdf);
    bool ok = cairo_surface_status(p.pdf) == CAIRO_STATUS_SUCCESS && !p.writeFailed;
    cairo_surface_destroy(p.pdf);
    p.pdf = nullptr;
    ok = ok && ::fsync(p.fd) == 0;
    ok = ::close(p.fd) == 0 && ok;
    p.fd = -1;
    ok = ok && ::rename(p.temporary.c_str(), p.output.c_str()) == 0;
    if (ok) {
        p.temporary.clear();
    }
    p.Abandon(); // removes the temporary file when anything failed
    return ok ? 1 : SP_ERROR;
}

int AbortDoc(HDC hdc)
{
    DeviceContext* dc = PrinterOf(hdc);
    if (!dc || dc->m_printer->jobId == 0) {
        return SP_ERROR;
    }
    DropPage(*dc);
    dc->m_printer->Abandon();
    return 1;
}
