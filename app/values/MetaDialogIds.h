// Template, control and text ids of the META value dialogs and the classification dialog.
#pragma once

#include "platform/core/Types.h"

inline constexpr UINT kIdHelpButton = 9;

// Texts.
inline constexpr UINT kIdsKeywordsTitle = 63024;       // "Keywords Metatag: '%s'"
inline constexpr UINT kIdsClassificationTitle = 63025; // "Classification: '%s'"
inline constexpr UINT kIdsDefineTreeTitle = 63027;     // "Define Classification Metatag Tree"
inline constexpr UINT kIdsNewNode = 63028;             // "New Node"
inline constexpr UINT kIdsRefreshTitle = 63053;        // "Refresh Metatag: '%s'"
inline constexpr UINT kIdsDateTitle = 63119;           // "Date / Time Metatag: %s"
inline constexpr UINT kIdsDateIncomplete = 62591;      // "The date is not complete: ..."
inline constexpr UINT kIdsDateNotADate = 62592;        // "There is no such date: ..."
inline constexpr UINT kIdsDateParts = 62593;           // the parts' names, and the word joining the last two
inline constexpr UINT kIdsMultiSelTitle = 63123;       // "%s Metatag"
inline constexpr UINT kIdsSelectBeforeAdd = 63147;
inline constexpr UINT kIdsReplaceTree = 62512;
inline constexpr UINT kIdsSelectNodeFirst = 62528;
inline constexpr UINT kIdsNodeBeingEdited = 62529;
