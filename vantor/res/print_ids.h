// Ids of the print (CPrintDlg, template 142), aging print (CAgingPrintDlg,
// 165) and print-to-cut (CPrintToCutDlg, 155) tests, included from
// resource.h. The common test controls are in resource.h.
#pragma once

#define IDD_PRINT                       142
#define IDD_PRINT_TO_CUT                155
#define IDD_AGING_PRINT                 165

// Print and aging print
#define IDC_PR_START                    1012    // "PRINT", in place of 1022 "RUN"
#define IDC_PR_DEFAULT_PATTERN          1124
#define IDC_PR_CUSTOM_PATTERN           1125
#define IDC_PR_IMAGE_FILE               1126
#define IDC_PR_BROWSE                   1127
#define IDC_PR_OFFSET                   1128
#define IDC_PR_SINGLE_PASS              1129
#define IDC_PR_MULTI_PASS               1130
#define IDC_PR_DELAY_START              1132
#define IDC_PR_SIZE_2                   1133
#define IDC_PR_SIZE_4                   1194
#define IDC_PR_COMPLIANCE               1177
#define IDC_PR_END_CUT                  1178
#define IDC_PR_BURN                     1179
#define IDC_PR_BURN_VALUE               1180
#define IDC_PR_PREFIX                   1015

// Print to cut
#define IDC_PC_SPEED_1                  1475
#define IDC_PC_SPEED_2                  1476
#define IDC_PC_SPEED_2_5                1195
#define IDC_PC_VREF                     1170
#define IDC_PC_VREF_VALUE               1173
#define IDC_PC_END_CUT                  1178
#define IDC_PC_DOWNWEB                  1472
#define IDC_PC_CROSSWEB                 1473
#define IDC_PC_TOTAL_BOXES              1182
#define IDC_PC_BOX_LENGTH               1474
#define IDC_PC_PREFIX                   1015
