// The Windows headers for the backend: the platform layer's set, plus the window, dialog and control
// headers, without the macros that would rename framework names.
#pragma once

#include "platform/win32/Win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#undef MessageBox
#undef TextOut
