// The progress control: a range, a position and a step, drawn as a sunken well filled with
// blocks (or smoothly) in the highlight colour.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#define PROGRESS_CLASS "msctls_progress32"

#define PBS_SMOOTH 0x01
#define PBS_VERTICAL 0x04

#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_DELTAPOS (WM_USER + 3)
#define PBM_SETSTEP (WM_USER + 4)
#define PBM_STEPIT (WM_USER + 5)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETRANGE (WM_USER + 7)
#define PBM_GETPOS (WM_USER + 8)
#define PBM_SETBARCOLOR (WM_USER + 9)
#define PBM_SETBKCOLOR 0x2001   // CCM_SETBKCOLOR

#ifndef CLR_DEFAULT
#define CLR_DEFAULT 0xFF000000u
#endif

struct PBRANGE {
    int iLow;
    int iHigh;
};
typedef PBRANGE* PPBRANGE;

// A progress control's model.
class ProgressModel {
public:
    int Low() const { return m_low; }
    int High() const { return m_high; }
    int Pos() const { return m_pos; }
    int Step() const { return m_step; }
    // Sets the range (a high below the low is taken as the low) and keeps the position in it;
    // returns the previous range as MAKELONG(low, high) of 16-bit values.
    DWORD SetRange(int low, int high);
    // Sets the position, kept in the range; returns the previous one.
    int SetPos(int pos);
    int DeltaPos(int delta) { return SetPos(m_pos + delta); }
    int SetStep(int step);
    // Advances by the step; past the end the bar starts again from the beginning, the amount
    // past the end carried over (and the other way for a negative step). Returns the previous
    // position.
    int StepIt();
    // How much of `length` pixels the bar fills.
    int Filled(int length) const;

    COLORREF barColor = CLR_DEFAULT;
    COLORREF backColor = CLR_DEFAULT;
    // Kept alive while the control's own code runs (ControlCallGuard).
    int m_depth = 0;
    bool m_orphaned = false;

private:
    int m_low = 0;
    int m_high = 100;
    int m_pos = 0;
    int m_step = 10;
};

// Draws the well and the bar into a client rectangle.
void PaintProgress(HDC dc, const RECT& client, const ProgressModel& model, DWORD style);

LRESULT CALLBACK ProgressWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
