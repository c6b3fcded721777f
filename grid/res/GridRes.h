// Resource ids of the grid library's own strings, cursors and bitmaps. Programs that link the
// grid keep their own ids out of 20000..20299.
#pragma once

// Long operations.
#define GX_IDS_PROCESSING 20075
#define GX_IDS_DONE 20076
#define GX_IDS_PRESSESC 20077
#define GX_IDS_ABORTQUESTION 20081
#define GX_IDS_UNDOTOOLARGE 20082

// Status and command texts of the undo, clipboard and feature operations, in the order the
// library's global data keeps them.
#define GX_IDS_REDOING 20139
#define GX_IDS_UNDOING 20140
#define GX_IDS_GENUNDOINFO 20141
#define GX_IDS_STORINGCELLS 20142
#define GX_IDS_RESTORINGCELLS 20143
#define GX_IDS_CELLS 20144
#define GX_IDS_REMOVINGROWS 20145
#define GX_IDS_REMOVINGCOLS 20146
#define GX_IDS_COPYINGTEXT 20147
#define GX_IDS_COPYINGINTERNAL 20148
#define GX_IDS_CUTDATA 20150
#define GX_IDS_CUTTINGDATA 20151
#define GX_IDS_PASTINGDATA 20152
#define GX_IDS_PASTE 20154
#define GX_IDS_REPLACING 20155
#define GX_IDS_REPLACEALL 20156
#define GX_IDS_SEARCHING 20157
#define GX_IDS_MOVEROWS 20162
#define GX_IDS_MOVECOLS 20163
#define GX_IDS_INSERTROWS 20164
#define GX_IDS_INSERTCOLS 20165
#define GX_IDS_FREEZECOLS 20168
#define GX_IDS_FREEZEROWS 20169
#define GX_IDS_RESIZEROWS 20172
#define GX_IDS_RESIZECOLS 20173
#define GX_IDS_CURRENTCELL 20174
#define GX_IDS_CLIPBOARDSIZE 20175
#define GX_IDS_COPY 20178
#define GX_IDS_MOVE 20179
#define GX_IDS_CLEARCELLS 20180
#define GX_IDS_SORTROWS 20181
#define GX_IDS_SORTCOLS 20182
#define GX_IDS_MULTIAREAPASTE 20183
#define GX_IDS_LAYINGOUTPAGES 20184

// Bitmaps.
#define GX_IDB_DROPDOWN 20028

// Cursors of the grid's hit codes.
#define GX_IDC_COLRESIZE 20190
#define GX_IDC_ROWRESIZE 20191
#define GX_IDC_HIDDENCOL 20192
#define GX_IDC_HIDDENROW 20193
#define GX_IDC_SELFRAME 20194
#define GX_IDC_SELECTCOL 20195
#define GX_IDC_SELECTROW 20196
#define GX_IDC_TABSPLIT 20197
// A drop of dragged rows or columns that is not allowed here.
#define GX_IDC_NODROP 20208
#define GX_IDC_FILLHANDLE 20209
