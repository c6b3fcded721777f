// SECListBaseC's drawing operations.
#include "toolkit/controls/SECListCtrl.h"

// FIXME: painting of the header, rows, cells, icons, texts and grid lines into the given DC.
void SECListBaseC::OnDraw(CDC*) {}
void SECListBaseC::DrawHeader(CDC*) {}
void SECListBaseC::DrawRows(CDC*) {}
void SECListBaseC::DrawRow(CDC*, SECListPaintContext*) {}
void SECListBaseC::DrawCell(CDC*, SECListPaintContext*) {}
void SECListBaseC::DrawCellIcons(CDC*, SECListPaintContext*) {}
void SECListBaseC::DrawCellText(CDC*, SECListPaintContext*) {}
void SECListBaseC::DrawHorzGridLine(CDC*, SECListPaintContext*) {}
void SECListBaseC::DrawVertGridLine(CDC*, SECListPaintContext*) {}

int SECListBaseC::TrackColumnResize(int, int, int)
{
    return 0;   // FIXME: the divider drag loop
}
