/* Resources of the frame tests' program (the test control's module). */
#pragma once

#define IDD_FRAME_TEST 2001
#define IDC_TEST_EDIT 2002
#define IDC_TEST_APPLY 2003
#define IDC_TEST_LIST 2004
#define IDC_TEST_HELP 9
