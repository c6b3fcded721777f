// Printing the project's grid to a PDF file: a site of 100,000 scanned pages with deep paths
// against a shown META setting, 2,440 sheets of paper. Measured: File > Print as the user
// runs it (its dialog answered at once, the job's window counting the pages and handing out the
// program's messages between them), the time of the whole job and the size of the file it
// writes. The floors, in the same run: the same sheets drawn by the view onto the PDF printer
// one after the other with nothing between them (the job as it ran before it had a window), and
// the same pages' cell texts written by cairo and pango alone, each text where the printout puts
// its cell, with the page's grid lines as plain rectangles.
#include "app/frame/CVostrelApp.h"
#include "app/views/CGroupView.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/features/CGXGridPrintImp.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/controls/PrinterSettings.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/doc/CPreviewWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/win/Gdi.h"

#include "ProgramStart.h"

#include <benchmark/benchmark.h>

#include <cairo-pdf.h>
#include <pango/pangocairo.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kPages = 100000;
constexpr int kSettings = 1;

std::string TempFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

// The pages of a PDF file as pdfinfo counts them ("" without it).
std::string PageCount(const std::string& path)
{
    std::string out;
    if (FILE* pipe = popen(("pdfinfo '" + path + "' 2>/dev/null | sed -n 's/^Pages: *//p'").c_str(), "r")) {
        char buffer[64];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            out += buffer;
        pclose(pipe);
    }
    return out;
}

long FileSize(const std::string& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? -1 : static_cast<long>(size);
}

struct PrintFixture {
    HeadlessBackend* backend = nullptr;
    std::optional<CVostrelApp> app;
    CGroupView* view = nullptr;
    std::vector<std::unique_ptr<CPageNode>> pages;
    CSelNodesCol selection;

    PrintFixture()
    {
        backend = &StartProgram(app, "vostrel-print-bench");
        // Printed in the real fonts, as a user's printout is.
        SetTestFontMode(false);

        const std::vector<CString> names =
            ShowNewSettings(*app, kSettings, "SETTING", [](int) -> CMetaSetting* { return new CMetaEditSetting; });
        CProjectSettings* pSettings = nullptr;
        app->NewProjectSettings(pSettings);
        pSettings->m_bShowTitle = 1;
        for (int n = 0; n < kPages; ++n) {
            auto pPage = std::make_unique<CPageNode>();
            char folder[64], page[32];
            std::snprintf(folder, sizeof folder, "/srv/www/site/sec%02d/dir%04d", n / 100, 1000 + n / 10);
            std::snprintf(page, sizeof page, "page%05d.html", n);
            pPage->SetFolder(folder);
            pPage->SetName(page);
            pPage->SetTitle(("Page " + std::to_string(n) + " of the site").c_str());
            CMetaContentList* pContents = nullptr;
            pPage->CreateContentList(pContents);
            for (int i = 0; i < kSettings; ++i) {
                CMetaContent* pContent = nullptr;
                pContents->AddContent(names[static_cast<size_t>(i)], ("value " + std::to_string(n * 7 + i)).c_str(), 0,
                                      pContent);
            }
            selection.AddTail(pPage.get());
            pages.push_back(std::move(pPage));
        }
        view = app->ShowGroupView("Bench", 1);
        if (view != nullptr)
            view->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&selection));
        backend->ProcessMessages();
    }
};

PrintFixture& Fixture()
{
    static PrintFixture fixture;
    return fixture;
}

// The view's print job into the file, its pages drawn one after the other with nothing between
// them; the number of pages written, 0 when the job failed.
UINT PrintView(CGroupView& view, const std::string& file)
{
    HDC hdc = ::CreateDC(nullptr, "PDF file", nullptr, nullptr);
    if (hdc == nullptr)
        return 0;
    CPrintInfo info;
    CDC dc;
    dc.Attach(hdc);
    dc.m_bPrinting = TRUE;
    DOCINFO doc{sizeof(DOCINFO), "Bench", file.c_str(), nullptr, 0};
    view.OnBeginPrinting(&dc, &info);
    UINT nPrinted = 0;
    if (dc.StartDoc(&doc) > 0) {
        for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= info.GetToPage(); ++info.m_nCurPage) {
            view.OnPrepareDC(&dc, &info);
            if (!info.m_bContinuePrinting || dc.StartPage() <= 0)
                break;
            view.OnPrint(&dc, &info);
            if (dc.EndPage() <= 0)
                break;
            ++nPrinted;
        }
        if (dc.EndDoc() <= 0)
            nPrinted = 0;
    }
    view.OnEndPrinting(&dc, &info);
    dc.Detach();
    ::DeleteDC(hdc);
    return nPrinted;
}

void BM_PrintGridToPdf(benchmark::State& state)
{
    PrintFixture& f = Fixture();
    if (f.view == nullptr) {
        state.SkipWithError("no group view");
        return;
    }
    const std::string file = TempFile("vostrel-print-bench.pdf");
    UINT nPages = 0;
    for (auto _ : state)
        nPages = PrintView(*f.view, file);
    state.counters["pages"] = nPages;
    state.counters["MB"] = FileSize(file) / 1e6;
    // Kept for a person to look at when asked.
    if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
        std::filesystem::copy_file(file, std::string(keep) + "/print-bench.pdf", std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(file);
}
BENCHMARK(BM_PrintGridToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

// File > Print: the Print dialog, OK pressed as soon as it waits, with the file chosen for the
// document's printer; then the job with its window.
void BM_FilePrintCommand(benchmark::State& state)
{
    PrintFixture& f = Fixture();
    auto* pDevice = f.view != nullptr ? dynamic_cast<CGXPrintDevice*>(f.view->GetPrintDevice()) : nullptr;
    if (pDevice == nullptr) {
        state.SkipWithError("no group view");
        return;
    }
    const std::string file = TempFile("vostrel-print-command.pdf");
    PRINTDLG pd{};
    pd.lStructSize = sizeof pd;
    PrinterSettings settings = PrinterSettings::Defaults();
    settings.output = file;
    if (!settings.To(pd.hDevMode, pd.hDevNames) || !pDevice->SetPrinter(pd)) {
        state.SkipWithError("no printer");
        return;
    }
    ::GlobalFree(pd.hDevMode);
    ::GlobalFree(pd.hDevNames);
    for (auto _ : state) {
        std::filesystem::remove(file);
        f.backend->WhenIdle([] {
            if (HWND dlg = ::GetActiveWindow())
                ::PostMessage(dlg, WM_COMMAND, IDOK, 0);
        });
        f.view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
    }
    const std::string pages = PageCount(file);
    state.counters["pages"] = std::atof(pages.c_str());
    state.counters["MB"] = FileSize(file) / 1e6;
    if (FileSize(file) <= 0)
        state.SkipWithError("nothing was printed");
    std::filesystem::remove(file);
}
BENCHMARK(BM_FilePrintCommand)->Unit(benchmark::kMillisecond)->Iterations(2);

// File > Print Preview: the preview laid out and its first page shown, then closed by its
// Close button and the grid shown again ("open_ms", "close_ms").
void BM_PrintPreviewOpenAndClose(benchmark::State& state)
{
    PrintFixture& f = Fixture();
    if (f.view == nullptr) {
        state.SkipWithError("no group view");
        return;
    }
    double dOpen = 0, dClose = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        f.view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
        f.backend->ProcessMessages();
        const auto t1 = std::chrono::steady_clock::now();
        CFrameWnd* pFrame = f.view->GetTopLevelFrame();
        CWnd* pPreview = pFrame != nullptr ? pFrame->GetDlgItem(AFX_IDW_PANE_FIRST) : nullptr;
        if (pPreview == nullptr || pPreview->GetSafeHwnd() == f.view->GetSafeHwnd()) {
            state.SkipWithError("no preview");
            return;
        }
        pPreview->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
        f.backend->ProcessMessages();
        const auto t2 = std::chrono::steady_clock::now();
        dOpen += std::chrono::duration<double, std::milli>(t1 - t0).count();
        dClose += std::chrono::duration<double, std::milli>(t2 - t1).count();
    }
    state.counters["open_ms"] = dOpen / static_cast<double>(state.iterations());
    state.counters["close_ms"] = dClose / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PrintPreviewOpenAndClose)->Unit(benchmark::kMillisecond)->Iterations(2);

// The floor: the texts of the same cells on the same number of pages, laid out in the same
// rows and columns with the grid's lines, by cairo and pango alone.
void BM_FloorCairoTextToPdf(benchmark::State& state)
{
    PrintFixture& f = Fixture();
    if (f.view == nullptr) {
        state.SkipWithError("no group view");
        return;
    }
    // The rows and columns each page holds, from the printing feature's own cut.
    HDC hdc = ::CreateDC(nullptr, "PDF file", nullptr, nullptr);
    CPrintInfo info;
    CDC dc;
    dc.Attach(hdc);
    dc.m_bPrinting = TRUE;
    f.view->OnBeginPrinting(&dc, &info);
    const auto* pPrint = dynamic_cast<const CGXGridPrintImp*>(f.view->m_pPrintImp);
    const std::vector<ROWCOL> rowBreaks = pPrint != nullptr ? pPrint->GetRowBreaks() : std::vector<ROWCOL>();
    const std::vector<ROWCOL> colBreaks = pPrint != nullptr ? pPrint->GetColBreaks() : std::vector<ROWCOL>();
    f.view->OnEndPrinting(&dc, &info);
    dc.Detach();
    ::DeleteDC(hdc);
    if (rowBreaks.empty() || colBreaks.empty()) {
        state.SkipWithError("no pages");
        return;
    }
    const ROWCOL nRows = f.view->GetRowCount();
    const ROWCOL nCols = f.view->GetColCount();
    std::vector<std::vector<std::string>> cells(nRows + 1, std::vector<std::string>(nCols + 1));
    for (ROWCOL r = 0; r <= nRows; ++r)
        for (ROWCOL c = 1; c <= nCols; ++c) {
            CString text;
            if (r == 0)
                text = f.view->GetCellValue(0, c);
            else
                f.view->GetCellText(r, c, text);
            cells[r][c] = static_cast<LPCTSTR>(text);
        }
    // Letter, one-inch margins, rows of 16 points, the columns sharing the width.
    const double kLeft = 72, kTop = 72, kWidth = 612 - 144, kRow = 16;
    const std::string file = TempFile("vostrel-print-floor.pdf");
    for (auto _ : state) {
        cairo_surface_t* pdf = cairo_pdf_surface_create(file.c_str(), 612, 792);
        cairo_t* cr = cairo_create(pdf);
        PangoLayout* layout = pango_cairo_create_layout(cr);
        PangoFontDescription* desc = pango_font_description_from_string("Liberation Sans 8");
        pango_layout_set_font_description(layout, desc);
        // Down first, then across, as the printout goes; the file column repeats on every page.
        for (size_t colBand = 0; colBand < colBreaks.size(); ++colBand) {
            const ROWCOL firstCol = colBreaks[colBand];
            const ROWCOL lastCol = colBand + 1 < colBreaks.size() ? colBreaks[colBand + 1] - 1 : nCols;
            const double colWidth = kWidth / (lastCol - firstCol + 2);
            for (size_t band = 0; band < rowBreaks.size(); ++band) {
                const ROWCOL first = rowBreaks[band];
                const ROWCOL last = band + 1 < rowBreaks.size() ? rowBreaks[band + 1] - 1 : nRows;
                double y = kTop;
                for (ROWCOL r = 0; r <= last; r = r == 0 ? first : r + 1) {
                    cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
                    cairo_rectangle(cr, kLeft, y + kRow - 0.25, kWidth, 0.25);
                    cairo_fill(cr);
                    cairo_set_source_rgb(cr, 0, 0, 0);
                    double x = kLeft;
                    for (ROWCOL c = colBand == 0 ? 1 : firstCol; c <= lastCol; c = c == 1 && colBand != 0 ? firstCol : c + 1) {
                        cairo_move_to(cr, x + 2, y + 2);
                        pango_layout_set_text(layout, cells[r][c].c_str(), -1);
                        pango_cairo_show_layout(cr, layout);
                        x += colWidth;
                    }
                    y += kRow;
                }
                cairo_show_page(cr);
            }
        }
        pango_font_description_free(desc);
        g_object_unref(layout);
        cairo_destroy(cr);
        cairo_surface_destroy(pdf);
    }
    state.counters["pages"] = static_cast<double>(rowBreaks.size() * colBreaks.size());
    state.counters["MB"] = FileSize(file) / 1e6;
    std::filesystem::remove(file);
}
BENCHMARK(BM_FloorCairoTextToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
