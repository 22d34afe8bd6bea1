// Ids of the XY cutter tests (CXYCutterDlg 137, CXYCutterLifeDlg 143) and of
// the axis panel CXYCutterSettingDlg (149), included from resource.h. The
// common test controls are in resource.h.
#pragma once

#define IDD_XY_CUTTER                   137
#define IDD_XY_CUTTER_LIFE              143
#define IDD_XY_CUTTER_SETTING           149

// CXYCutterDlg: axis radios
#define IDC_XYC_CROSS_WEB               1600
#define IDC_XYC_DOWN_WEB                1601
#define IDC_XYC_PINCH                   1602
// Cross Web group
#define IDC_XYC_CW_CONSTANT             1610
#define IDC_XYC_CW_RAMP_UP              1611
#define IDC_XYC_CW_CONSTANT_SPEED       1612
#define IDC_XYC_CW_RAMP_UP_PATH         1613
#define IDC_XYC_CW_RAMP_UP_BROWSE       1614
#define IDC_XYC_CW_USE_RAMP_DOWN        1615
#define IDC_XYC_CW_RAMP_DOWN_PATH       1616
#define IDC_XYC_CW_RAMP_DOWN_BROWSE     1617
#define IDC_XYC_CW_PULSES_LABEL         1618
#define IDC_XYC_CW_PULSES               1619
#define IDC_XYC_CW_DIRECTION_LABEL      1620
#define IDC_XYC_CW_REVERSE              1621
#define IDC_XYC_CW_FORWARD              1622
#define IDC_XYC_CW_VREF_LABEL           1623
#define IDC_XYC_CW_VREF                 1624
#define IDC_XYC_CW_VREF_VALUE           1625
#define IDC_XYC_CW_STEP_LABEL           1626
#define IDC_XYC_CW_FULL                 1627
#define IDC_XYC_CW_HALF                 1628
#define IDC_XYC_CW_QUARTER              1629
#define IDC_XYC_CW_SIXTEENTH            1630
// Down Web group
#define IDC_XYC_DW_CONSTANT             1640
#define IDC_XYC_DW_RAMP_UP              1641
#define IDC_XYC_DW_CONSTANT_SPEED       1642
#define IDC_XYC_DW_RAMP_UP_PATH         1643
#define IDC_XYC_DW_RAMP_UP_BROWSE       1644
#define IDC_XYC_DW_USE_RAMP_DOWN        1645
#define IDC_XYC_DW_RAMP_DOWN_PATH       1646
#define IDC_XYC_DW_RAMP_DOWN_BROWSE     1647
#define IDC_XYC_DW_PULSES_LABEL         1648
#define IDC_XYC_DW_PULSES               1649
#define IDC_XYC_DW_DIRECTION_LABEL      1650
#define IDC_XYC_DW_REVERSE              1651
#define IDC_XYC_DW_FORWARD              1652
#define IDC_XYC_DW_VREF_LABEL           1653
#define IDC_XYC_DW_VREF                 1654
#define IDC_XYC_DW_VREF_VALUE           1655
#define IDC_XYC_DW_STEP_LABEL           1656
#define IDC_XYC_DW_FULL                 1657
#define IDC_XYC_DW_HALF                 1658
#define IDC_XYC_DW_QUARTER              1659
#define IDC_XYC_DW_SIXTEENTH            1660
// Pinch group
#define IDC_XYC_PERIOD_LABEL            1670
#define IDC_XYC_PERIOD                  1671
#define IDC_XYC_DURATION_LABEL          1672
#define IDC_XYC_DURATION                1673
#define IDC_XYC_DUTY_LABEL              1674
#define IDC_XYC_DUTY                    1675
#define IDC_XYC_DUTY_VALUE              1676
#define IDC_XYC_LEVEL_LABEL             1677
#define IDC_XYC_LEVEL                   1678
#define IDC_XYC_PINCH_DELAY_LABEL       1679
#define IDC_XYC_PINCH_DELAY             1680
#define IDC_XYC_DEPINCH_DELAY_LABEL     1681
#define IDC_XYC_DEPINCH_DELAY           1682
#define IDC_XYC_PINCH_SEQ               1683
#define IDC_XYC_DEPINCH_SEQ             1684
// Voice Coil group
#define IDC_XYC_FORCE_LABEL             1690
#define IDC_XYC_FORCE                   1691
#define IDC_XYC_FORCE_VALUE             1692

// CXYCutterLifeDlg
#define IDC_XYL_HOMING                  1700
#define IDC_XYL_AGING                   1701
#define IDC_XYL_PINCH_TEST              1702
#define IDC_XYL_CROSSWEB                1703
#define IDC_XYL_DOWNWEB                 1704
#define IDC_XYL_CUT_FILE_GROUP          1705
#define IDC_XYL_CUT_FILE_LABEL          1706
#define IDC_XYL_CUT_FILE                1707
#define IDC_XYL_CUT_FILE_BROWSE         1708
#define IDC_XYL_TR_GROUP                1710
#define IDC_XYL_TR_CONSTANT             1711
#define IDC_XYL_TR_RAMP_UP              1712
#define IDC_XYL_TR_CONSTANT_SPEED       1713
#define IDC_XYL_TR_RAMP_UP_PATH         1714
#define IDC_XYL_TR_RAMP_UP_BROWSE       1715
#define IDC_XYL_TR_USE_RAMP_DOWN        1716
#define IDC_XYL_TR_RAMP_DOWN_PATH       1717
#define IDC_XYL_TR_RAMP_DOWN_BROWSE     1718
#define IDC_XYL_TR_VREF_LABEL           1719
#define IDC_XYL_TR_VREF                 1720
#define IDC_XYL_TR_STEP_LABEL           1721
#define IDC_XYL_TR_FULL                 1722
#define IDC_XYL_TR_HALF                 1723
#define IDC_XYL_TR_QUARTER              1724
#define IDC_XYL_TR_SIXTEENTH            1725
#define IDC_XYL_PINCH_GROUP             1730
#define IDC_XYL_PERIOD_LABEL            1731
#define IDC_XYL_PERIOD                  1732
#define IDC_XYL_LEVEL_LABEL             1733
#define IDC_XYL_LEVEL                   1734
#define IDC_XYL_DUTY_LABEL              1735
#define IDC_XYL_DUTY                    1736
#define IDC_XYL_DUTY_VALUE              1737
#define IDC_XYL_PINCH_AFTER_LABEL       1738
#define IDC_XYL_PINCH_AFTER             1739
#define IDC_XYL_DEPINCH_AFTER_LABEL     1740
#define IDC_XYL_DEPINCH_AFTER           1741
#define IDC_XYL_FORCE_GROUP             1742
#define IDC_XYL_FORCE_LABEL             1743
#define IDC_XYL_FORCE                   1744
#define IDC_XYL_FORCE_VALUE             1745

// CXYCutterSettingDlg (one per axis)
#define IDC_XYS_TITLE                   1750
#define IDC_XYS_CONSTANT                1751
#define IDC_XYS_RAMP_UP                 1752
#define IDC_XYS_CONSTANT_SPEED          1753
#define IDC_XYS_RAMP_UP_PATH            1754
#define IDC_XYS_RAMP_UP_BROWSE          1755
#define IDC_XYS_USE_RAMP_DOWN           1756
#define IDC_XYS_RAMP_DOWN_PATH          1757
#define IDC_XYS_RAMP_DOWN_BROWSE        1758
#define IDC_XYS_VREF_LABEL              1759
#define IDC_XYS_VREF                    1760
#define IDC_XYS_VREF_VALUE              1761
#define IDC_XYS_STEP_LABEL              1762
#define IDC_XYS_FULL                    1763
#define IDC_XYS_HALF                    1764
#define IDC_XYS_QUARTER                 1765
#define IDC_XYS_SIXTEENTH               1766
#define IDC_XYS_BLOCKED_LABEL           1767
#define IDC_XYS_BLOCKED                 1768
#define IDC_XYS_UNBLOCKED_LABEL         1769
#define IDC_XYS_UNBLOCKED               1770
#define IDC_XYS_RUN_BY_LABEL            1771
#define IDC_XYS_ENCODER                 1772
#define IDC_XYS_STEP                    1773
