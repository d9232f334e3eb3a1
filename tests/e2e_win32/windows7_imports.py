"""Every function Bellwick.exe may import, by DLL. Each was checked once
against the "Minimum supported client" of Microsoft's page for it: all are
on Windows 7 SP1, the oldest system the manifest names (Windows 2000 or XP,
but for the Vista calls named below). msvcrt.dll's are the C runtime's that
every Windows since 2000 ships. A call newer than Windows 7 is looked up at
run time instead (platform/win32/newer_calls.h) and never imported."""

# From Windows Vista: the locale calls by name and the 64-bit tick count.
VISTA = {"GetCalendarInfoEx", "GetLocaleInfoEx", "GetUserDefaultLocaleName", "GetTickCount64"}

IMPORTS = {
    "advapi32.dll": set("""
        RegCloseKey RegCreateKeyExW RegOpenKeyExW RegQueryValueExW RegSetValueExW
    """.split()),
    "comctl32.dll": set("""
        DefSubclassProc RemoveWindowSubclass SetWindowSubclass
    """.split()),
    "comdlg32.dll": set("""
        CommDlgExtendedError GetOpenFileNameW
    """.split()),
    "gdi32.dll": set("""
        BitBlt CombineRgn CreateCompatibleBitmap CreateCompatibleDC CreateDIBSection CreateEllipticRgn
        CreateFontIndirectW CreateFontW CreatePolygonRgn CreateRectRgn CreateRoundRectRgn CreateSolidBrush DeleteDC
        DeleteObject GetCurrentObject GetDeviceCaps GetObjectW GetStockObject IntersectClipRect SelectClipRgn SelectObject
        SetBkColor SetBkMode SetTextColor
    """.split()),
    "kernel32.dll": set("""
        AddVectoredExceptionHandler CancelWaitableTimer CloseHandle CreateEventA CreateFileW CreateSemaphoreA
        CreateWaitableTimerW DeleteCriticalSection DuplicateHandle EnterCriticalSection ExitProcess
        FileTimeToSystemTime FindResourceW FormatMessageA FormatMessageW FreeLibrary GetCalendarInfoEx
        GetCurrentProcess GetCurrentProcessId GetCurrentThread GetCurrentThreadId GetFileAttributesW
        GetFileInformationByHandle GetFileSizeEx GetFileType GetHandleInformation GetLastError GetLocaleInfoEx
        GetLocalTime GetModuleHandleA GetModuleHandleW GetProcAddress GetProcessAffinityMask GetShortPathNameW
        GetStartupInfoW GetSystemTimeAsFileTime GetThreadContext GetThreadPriority GetTickCount64
        GetUserDefaultLocaleName InitializeCriticalSection IsDBCSLeadByteEx IsDebuggerPresent LeaveCriticalSection
        LoadLibraryA LoadLibraryExW LoadLibraryW LoadResource LocalFree LockResource MultiByteToWideChar OpenProcess
        OutputDebugStringA OutputDebugStringW RaiseException ReadFile ReleaseSemaphore
        RemoveVectoredExceptionHandler ResetEvent ResumeThread SetEvent SetLastError SetProcessAffinityMask
        SetThreadContext SetThreadExecutionState SetThreadPriority SetUnhandledExceptionFilter SetWaitableTimer
        SizeofResource Sleep SuspendThread SystemTimeToFileTime SystemTimeToTzSpecificLocalTime TlsAlloc TlsGetValue
        TlsSetValue TryEnterCriticalSection TzSpecificLocalTimeToSystemTime VirtualProtect VirtualQuery
        WaitForMultipleObjects WaitForSingleObject WideCharToMultiByte
    """.split()),
    "msimg32.dll": set("""
        AlphaBlend
    """.split()),
    "msvcrt.dll": set("""
        __mb_cur_max __p__commode __p__fmode __p__wcmdln __set_app_type __setusermatherr __wgetmainargs __winitenv
        _amsg_exit _beginthreadex _cexit _close _endthreadex _errno _initterm _iob _lock _onexit _read _setjmp3
        _strdup _ultoa _unlock abort atoi calloc exit fflush fprintf fputc fputs fputwc free fwprintf fwrite getenv
        localeconv longjmp malloc memchr memcmp memcpy memmove memset printf realloc setlocale signal strchr strcmp
        strerror strlen strncmp vfprintf wcslen
    """.split()),
    "ole32.dll": set("""
        CoCreateInstance CoInitializeEx
    """.split()),
    "oleacc.dll": set("""
        AccessibleObjectFromWindow CreateStdAccessibleObject LresultFromObject
    """.split()),
    "oleaut32.dll": set("""
        SysAllocStringLen VariantInit
    """.split()),
    "user32.dll": set("""
        AdjustWindowRectEx BeginPaint ClientToScreen CreateWindowExW DefWindowProcW DestroyWindow DispatchMessageW
        DrawFocusRect DrawTextW EndPaint FillRect FlashWindowEx FrameRect GetActiveWindow GetClientRect GetDC
        GetFocus GetKeyState GetMessageW GetSystemMetrics GetWindowLongW GetWindowRect GetWindowTextLengthW
        GetWindowTextW InflateRect InvalidateRect IsChild IsDialogMessageW IsIconic IsWindow IsWindowVisible
        KillTimer LoadCursorW LoadImageW MessageBoxW MonitorFromWindow NotifyWinEvent OffsetRect PostMessageW
        PostQuitMessage PtInRect RedrawWindow RegisterClassExW ReleaseCapture ReleaseDC ScreenToClient SendMessageW
        SetCapture SetFocus SetForegroundWindow SetTimer SetWindowLongW SetWindowPos SetWindowRgn SetWindowTextW
        ShowWindow SystemParametersInfoW TranslateMessage UpdateWindow ValidateRect
    """.split()),
    "winmm.dll": set("""
        mciGetErrorStringW mciSendStringW mmioInstallIOProcW PlaySoundW waveOutClose waveOutGetErrorTextW
        waveOutGetNumDevs waveOutOpen
    """.split()),
}
