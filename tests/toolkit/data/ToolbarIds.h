#pragma once
#define IDR_TB_SMALL 7100
#define IDR_TB_SECOND 7101
#define IDR_TB_LARGE 7102
#define IDR_TB_BIG 7103
#define ID_TB_ONE 7201
#define ID_TB_TWO 7202
#define ID_TB_THREE 7203
#define ID_TB_FOUR 7204
#define IDR_FRAME_MENU 7110
#define IDR_DOC_MENU 7111
