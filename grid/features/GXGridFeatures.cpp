#include "grid/features/GXGridFeatures.h"

#include "grid/core/CGXControlFactory.h"
#include "grid/features/CGXGridClearCellsImp.h"
#include "grid/features/CGXGridCoveredCellsImp.h"
#include "grid/features/CGXGridCutPasteImp.h"
#include "grid/features/CGXGridDirectCopyMoveCellsImp.h"
#include "grid/features/CGXGridExcelLikeFillImp.h"
#include "grid/features/CGXGridExcelLikeFrameImp.h"
#include "grid/features/CGXGridFindReplaceImp.h"
#include "grid/features/CGXGridFloatCellsImp.h"
#include "grid/features/CGXGridFreezeMenuHelperImp.h"
#include "grid/features/CGXGridHideCellsImp.h"
#include "grid/features/CGXGridMarkEditHeaderImp.h"
#include "grid/features/CGXGridMergeCellsImp.h"
#include "grid/features/CGXGridPrintImp.h"
#include "grid/features/CGXGridResizeToFitImp.h"
#include "grid/features/CGXGridSortImp.h"
#include "grid/features/CGXGridStyleDataExchangeImp.h"
#include "grid/features/CGXGridTextDataExchangeImp.h"
#include "grid/features/CGXGridUserDragSelectRangeImp.h"
#include "grid/features/CGXGridUserResizeCellsImp.h"
#include "grid/features/CGXGridUserSelectRangeImp.h"

void GXInstallGridFeatures()
{
    GXSetGridFeatureInstaller(GXGridFeature::HideCells, &CGXGridHideCellsImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::ResizeToFit, &CGXGridResizeToFitImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::UserSelectRange, &CGXGridUserSelectRangeImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::ExcelLikeFrame, &CGXGridExcelLikeFrameImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::UserDragSelectRange, &CGXGridUserDragSelectRangeImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::UserResizeCells, &CGXGridUserResizeCellsImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::DirectCopyMoveCells, &CGXGridDirectCopyMoveCellsImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::TextDataExchange, &CGXGridTextDataExchangeImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::StyleDataExchange, &CGXGridStyleDataExchangeImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::CutPaste, &CGXGridCutPasteImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::ClearCells, &CGXGridClearCellsImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::CoveredCells, &CGXGridCoveredCellsImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::MergeCells, &CGXGridMergeCellsImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::FloatCells, &CGXGridFloatCellsImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::Print, &CGXGridPrintImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::FindReplace, &CGXGridFindReplaceImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::Sort, &CGXGridSortImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::MarkEditHeader, &CGXGridMarkEditHeaderImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::FreezeMenuHelper, &CGXGridFreezeMenuHelperImp::Install);
    GXSetGridFeatureInstaller(GXGridFeature::ExcelLikeFill, &CGXGridExcelLikeFillImp::Install);
}
