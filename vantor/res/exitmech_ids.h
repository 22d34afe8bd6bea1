// Ids of the ejector (CEjectorDlg, template 131), end cutter (CEndCutterDlg,
// 132) and print head lift (CPrintHeadLiftDlg, 160) tests, included from
// resource.h. The common test controls are in resource.h.
#pragma once

#define IDD_EJECTOR                     131
#define IDD_END_CUTTER                  132
#define IDD_PRINT_HEAD_LIFT             160

// Ejector
#define IDC_EJ_CONSTANT                 1700
#define IDC_EJ_RAMP_UP                  1701
#define IDC_EJ_CONSTANT_SPEED           1702
#define IDC_EJ_RAMP_UP_PATH             1703
#define IDC_EJ_RAMP_UP_BROWSE           1704
#define IDC_EJ_USE_RAMP_DOWN            1705
#define IDC_EJ_RAMP_DOWN_PATH           1706
#define IDC_EJ_RAMP_DOWN_BROWSE         1707
#define IDC_EJ_PULSES                   1708
#define IDC_EJ_VREF                     1709
#define IDC_EJ_VREF_VALUE               1710
#define IDC_EJ_FULL                     1711
#define IDC_EJ_HALF                     1712
#define IDC_EJ_QUARTER                  1713
#define IDC_EJ_EIGHTH                   1714
#define IDC_EJ_POST_HOLD                1715
#define IDC_EJ_REV                      1716
#define IDC_EJ_REV_VALUE                1717
#define IDC_EJ_FORWARD_UNBLOCKED        1718
#define IDC_EJ_FORWARD_BLOCKED          1719
#define IDC_EJ_TOTAL_REV                1720
#define IDC_EJ_MIN_CHANGE_LABEL         1721
#define IDC_EJ_MIN_CHANGE               1722

// End cutter
#define IDC_EC_FREQUENCY                1730
#define IDC_EC_DUTY                     1731
#define IDC_EC_DUTY_VALUE               1732
#define IDC_EC_LEVEL                    1733
#define IDC_EC_PLATEN_SPEED             1734
#define IDC_EC_PLATEN_PULSES            1735
#define IDC_EC_EJECT_PULSES             1736

// Print head lift
#define IDC_PHL_FREQUENCY               1740
#define IDC_PHL_DUTY                    1741
#define IDC_PHL_DUTY_VALUE              1742
#define IDC_PHL_LEVEL                   1743
#define IDC_PHL_DELAY                   1744
#define IDC_PHL_FULL_CYCLE              1745
#define IDC_PHL_HOMING                  1746
#define IDC_PHL_ACTIVATE                1747
