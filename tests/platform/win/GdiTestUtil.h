// A memory device context over a 32-bit bitmap for pixel tests.
#pragma once

#include "platform/win/Gdi.h"

#include <string>

class TestCanvas {
public:
    TestCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : m_width(width), m_height(height)
    {
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateBitmap(width, height, 1, 32, nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
        Clear(fill);
    }
    ~TestCanvas()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    void Clear(COLORREF c)
    {
        HBRUSH b = CreateSolidBrush(c);
        RECT r{0, 0, m_width, m_height};
        FillRect(m_dc, &r, b);
        DeleteObject(b);
    }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }
    // One character per pixel: '#' where the pixel has colour c, '.' elsewhere; rows joined
    // by '|'.
    std::string Map(COLORREF c, int x0, int y0, int x1, int y1) const
    {
        std::string s;
        for (int y = y0; y < y1; ++y) {
            if (y > y0) s += '|';
            for (int x = x0; x < x1; ++x) s += At(x, y) == c ? '#' : '.';
        }
        return s;
    }
    int Count(COLORREF c) const
    {
        int n = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x) n += At(x, y) == c;
        return n;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};
