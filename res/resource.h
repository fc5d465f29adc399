// Resource ids of the program: every dialog, control, menu, string, icon and bitmap.
#pragma once

// Dialogs, menus, icon, strings, bitmaps
#define IDD_ABOUTBOX            100
#define IDS_ABOUTBOX            101
#define IDD_TWINSEEK_DIALOG     102
#define IDR_MAINFRAME           128
#define IDR_LIST_MENU           129
#define IDD_DELETE_DIALOG       130
#define IDR_MAIN_MENU           134
#define IDD_MOVE_DIALOG         135
#define IDD_FIND_SETTING        137
#define IDB_SORT_ASC            189
#define IDB_SORT_DESC           190
#define IDD_UPDATE_INFO         191
#define IDD_LEFT_FILES          192

// System menu item of the About box
#define IDM_ABOUTBOX            0x0010

// Main window controls
#define IDC_FOLDER              1001
#define IDC_STATUS              1003
#define IDC_FIND                1004
#define IDC_CHECK_UPDATE        1005
#define IDC_DELETE              1008
#define IDC_REFIND              1010
#define IDC_COUNT               1011
#define IDC_FIND_SETTING        1018
#define IDC_CLEAR_HISTORY       1019
#define IDC_SUBFOLDER           1020
#define IDC_EXPORT              1024
#define IDC_MOVE                1027
#define IDC_RESULTS             1052
#define IDC_COMPARE             1055
#define IDC_EXPAND_ALL          1056

// Main menu and context menu commands
#define ID_LIST_OPEN_FILE       32775
#define ID_LIST_OPEN_FOLDER     32776
#define ID_LIST_COPY_NAME       32777
#define ID_LIST_COPY_PATH       32778
#define ID_DELETE_FILES_ALT     32780
#define ID_FILE_EXIT            32789
#define ID_HELP_ABOUT           32794
#define ID_HELP_PAGE            32795
#define ID_FILE_COMPARE         32799
#define ID_FIND_TOGGLE          32800
#define ID_FILE_LEFT_FILES      32801
#define ID_SELECT_NEWEST        32802
#define ID_SELECT_OLDEST        32803
#define ID_SELECT_SHALLOWEST    32804
#define ID_SELECT_FOLDER        32805
#define ID_SELECT_NONE          32806
#define ID_SELECT_INVERT        32807
#define ID_LIST_PROTECT         32808
#define ID_LIST_UNPROTECT       32809
#define ID_TOOLS_DIGEST_CACHE   32810
#define IDC_SUMMARY_GROUPS      1061
#define IDC_SUMMARY_TICKED      1062

// Delete dialog
#define IDC_DEL_KEEP_FIRST      1013
#define IDC_DEL_CHECKED         1016
#define IDC_DEL_DIRECT          1017
#define IDC_DEL_REFIND          1015
#define IDC_DEL_EMPTY_DIR       1026
#define IDC_DEL_SAME_CONTENT    1034

// The list of files a pass left
#define IDC_LEFT_LIST           1060

// Move dialog
#define IDC_MOVE_CHECKED        1028
#define IDC_MOVE_KEEP_FIRST     1014
#define IDC_MOVE_ALL            1016
#define IDC_MOVE_COPY           1029
#define IDC_MOVE_OVERWRITE      1030
#define IDC_MOVE_DEL_EMPTY      1033
#define IDC_MOVE_TARGET         1031
#define IDC_MOVE_BROWSE         1032

// Search settings dialog
#define IDC_SET_SIMILAR         1054
#define IDC_SET_SIZE            1043
#define IDC_SET_TIME            1050
#define IDC_SET_MD5             1051
#define IDC_SET_EXT_ONLY        1025
#define IDC_SET_EXT_EXCLUDE     1014
#define IDC_SET_EXT_IGNORE      1015
#define IDC_SET_EXT_TEXT        1022
#define IDC_SET_EXT_LIST        1021
#define IDC_SET_MD5_MAX         1056
#define IDC_SET_EXPAND          1057
#define IDC_SET_FAST            1058
#define IDC_SET_ADD             1006
#define IDC_SET_REMOVE          1007

// Update notice
#define IDC_UPD_DESCRIPTION     1938
#define IDC_UPD_CURRENT         1939
#define IDC_UPD_LATEST          1940
#define IDC_UPD_LINK            1941
#define IDC_UPD_DATE            1942
#define IDC_UPD_EXIT            1043

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif
