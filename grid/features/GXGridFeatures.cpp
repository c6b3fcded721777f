#include "grid/features/GXGridFeatures.h"

#include "grid/core/CGXControlFactory.h"
#include "grid/features/CGXGridClearCellsImp.h"
#include "grid/features/CGXGridHideCellsImp.h"

void GXInstallGridFeatures()
{
    GXSetGridFeatureInstaller(GXGridFeature::HideCells, &CGXGridHideCellsImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::ClearCells, &CGXGridClearCellsImp::Install);
}
