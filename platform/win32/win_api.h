#pragma once
// The one place that includes <windows.h> for the Windows layer: wide-char
// API, no min/max macros, the lean set plus the few headers it drops that
// this layer needs (MCI, common dialogs, window subclassing).

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>

#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
