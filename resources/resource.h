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

/* Popup menu of the list and the accelerators */
#define IDR_LIST_MENU 203
#define IDR_ACCELERATORS 206
#define ID_LIST_COPY 32768
#define ID_LIST_DELETE 32769

/* The manifest that selects the current common controls for this module */
#define IDR_MANIFEST 2
