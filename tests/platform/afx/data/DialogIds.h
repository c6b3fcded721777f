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
