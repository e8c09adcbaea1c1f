// The Windows headers for the backend, without the macros that would rename framework members.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#undef MessageBox
#undef TextOut
