/* Resource and control identifiers of the control's module. Plain
   preprocessor definitions: the resource compiler reads this file too. */
#pragma once

/* Type library and registry script */
#define IDR_TYPELIB 1
#define IDR_VEXIL2UI 103

/* Bitmaps */
#define IDB_VEXIL2UI 102     /* 16 x 16, 4 bits per pixel: toolbox picture */
#define IDB_CHECKBOXES 205   /* five 16 x 16 tree check-box images */

/* The control's window */
#define IDD_VEXIL2UI 104
#define IDC_HELP_BUTTON 9
#define IDC_CLOSE 1000
#define IDC_REGISTER_LIST 1001
#define IDC_OPTIONS 1002
#define IDC_CONFIGURE 1003
#define IDC_USE_REPEAT 1006
#define IDC_READ 1008
#define IDC_WRITE 1009
#define IDC_ABORT 1010
#define IDC_LIST_GROUP 1038
#define IDC_CELL_EDIT 205
#define IDC_STATIC (-1)

/* Popup menu of the list and the accelerators */
#define IDR_LIST_MENU 203
#define IDR_ACCELERATORS 206
#define ID_LIST_COPY 32768
#define ID_LIST_DELETE 32769

/* The manifest that selects the current common controls for this module */
#define IDR_MANIFEST 2

/* Options dialog */
#define IDD_OPTIONS 105
#define IDC_OPT_REMEMBER_CONFIGURATION 1005
#define IDC_OPT_UPDOWN 1007
#define IDC_OPT_SEPARATE_COLUMNS 1022
#define IDC_OPT_AUTOMATIC_WIDTH 1026
#define IDC_OPT_AUTO_SCROLL 1027
#define IDC_OPT_INTERVAL 1031
#define IDC_OPT_SHOW_SELECTION 1038
#define IDC_OPT_DECIMAL 1039
#define IDC_OPT_HEXADECIMAL 1040
#define IDC_OPT_BINARY 1041
#define IDC_OPT_DEVICE 1042
#define IDC_OPT_MASK 1043
#define IDC_OPT_LENGTH 1044
#define IDC_OPT_OPERATIONS 1045

/* Configure dialog */
#define IDD_CONFIGURE 106
#define IDC_CFG_REGISTER_ADD 1001
#define IDC_CFG_REGISTER_EDIT 1002
#define IDC_CFG_NAME 1006
#define IDC_CFG_CONFIGURATION_EDIT 1008
#define IDC_CFG_CONFIGURATION_DELETE 1009
#define IDC_CFG_CONFIGURATION_ADD 1010
#define IDC_CFG_TREE 1012
#define IDC_CFG_SIZE 1013
#define IDC_CFG_DEVICE 1015
#define IDC_CFG_ADDRESS 1016
#define IDC_CFG_CONFIGURATION 1019
#define IDC_CFG_OPEN 1025
#define IDC_CFG_SAVE 1027
#define IDC_CFG_REGISTER_DELETE 202
#define IDC_CFG_CONFIGURATION_GROUP 207
#define IDC_CFG_ADD_GROUP 208
#define IDC_CFG_SELECTION_GROUP 209
#define IDC_CFG_DEVICE_LABEL 211
#define IDC_CFG_NAME_LABEL 212
#define IDC_CFG_ADDRESS_LABEL 213
#define IDC_CFG_SIZE_LABEL 214
#define IDC_CFG_RECURSIVE 215

/* Configuration Editor */
#define IDD_CONFIGURATION_EDIT 108
#define IDC_CED_NAME 1028
#define IDC_CED_DEVICES 1029
