// Reads a PDF back as pixels through poppler's pdftoppm, so that printing tests can check what
// a page really shows, and its text, fonts and pictures through poppler's other tools.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

// What one of poppler's tools writes about the file, given its other arguments (pdftotext with
// "-" for its standard output, pdffonts, pdfimages -list).
inline std::string PdfToolOutput(const std::string& tool, const std::string& args, const std::string& pdf,
                                 const std::string& after = std::string())
{
    std::string out;
    const std::string command = "timeout 60 " + tool + " " + args + " '" + pdf + "' " + after + " 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// The pictures of a PDF as pdfimages lists them: the page each is drawn on and its own size.
struct PdfPicture {
    int page = 0;
    int width = 0;
    int height = 0;
};
inline std::vector<PdfPicture> PdfPictures(const std::string& pdf)
{
    std::vector<PdfPicture> pictures;
    std::istringstream lines(PdfToolOutput("pdfimages", "-list", pdf));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        PdfPicture p;
        std::string num, type;
        if (fields >> p.page >> num >> type >> p.width >> p.height)
            pictures.push_back(p);
    }
    return pictures;
}

class PdfPage {
public:
    // Rasterises one page (1-based) of the file at the given resolution; Valid() says whether
    // it worked.
    PdfPage(const std::string& pdf, int page, int dpi)
    {
        std::string prefix = pdf + ".page";
        std::string command = "timeout 60 pdftoppm -q -r " + std::to_string(dpi) + " -f " + std::to_string(page) +
                              " -l " + std::to_string(page) + " -singlefile -png '" + pdf + "' '" + prefix + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) {
            return;
        }
        m_surface = cairo_image_surface_create_from_png((prefix + ".png").c_str());
        std::error_code ec;
        std::filesystem::remove(prefix + ".png", ec);
        if (cairo_surface_status(m_surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(m_surface);
            m_surface = nullptr;
        }
    }
    ~PdfPage()
    {
        if (m_surface) {
            cairo_surface_destroy(m_surface);
        }
    }
    PdfPage(const PdfPage&) = delete;
    PdfPage& operator=(const PdfPage&) = delete;

    bool Valid() const { return m_surface != nullptr; }
    int Width() const { return m_surface ? cairo_image_surface_get_width(m_surface) : 0; }
    int Height() const { return m_surface ? cairo_image_surface_get_height(m_surface) : 0; }
    // The pixel as 0xRRGGBB; white outside the page.
    uint32_t At(int x, int y) const
    {
        if (!m_surface || x < 0 || y < 0 || x >= Width() || y >= Height()) {
            return 0xFFFFFF;
        }
        const unsigned char* row = cairo_image_surface_get_data(m_surface) +
                                   static_cast<size_t>(y) * cairo_image_surface_get_stride(m_surface);
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    }
    bool IsDark(int x, int y) const
    {
        uint32_t p = At(x, y);
        return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 96;
    }
    // Dark pixels inside [x0, x1) x [y0, y1).
    int DarkIn(int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += IsDark(x, y) ? 1 : 0;
            }
        }
        return n;
    }

private:
    cairo_surface_t* m_surface = nullptr;
};
