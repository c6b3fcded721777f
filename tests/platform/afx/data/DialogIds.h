// Ids of the framework tests' dialogs.
#pragma once

#define IDD_DDX 4100
#define IDC_NAME 4101
#define IDC_COUNT 4102
#define IDC_RATIO 4103
#define IDC_AMOUNT 4104
#define IDC_SHOW 4105
#define IDC_R1 4106
#define IDC_R2 4107
#define IDC_R3 4108
#define IDC_KIND 4109
#define IDC_LIST 4110
#define IDC_TRI 4111
#define IDS_TIP 4190
#define IDD_PAGE_GENERAL 4120
#define IDD_PAGE_BACKUPS 4121
#define IDD_PAGE_NEVER 4122
#define IDC_LEVEL 4123
#define IDC_FREEZE 4124
#define IDC_SEPARATOR 4125
#define IDC_NO_BACKUP 4126
#define IDC_RECYCLE 4127
#define IDC_RENAME 4128
#define IDD_BITMAPS 4130
#define IDC_EDITKIND 4112
