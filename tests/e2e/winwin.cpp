// A small Windows-side helper for the end-to-end tests: in Wine's virtual
// desktop X tools cannot see window titles, so windows are found from here.
//   winwin find TITLE [SECONDS]   prints "hwnd x y w h visible" of the first visible
//                                 top-level window titled TITLE; exit 1 if none in time
//   winwin gone TITLE [SECONDS]   exit 0 once no visible window has that title
//   winwin close TITLE            posts WM_CLOSE to it
//   winwin host TITLE SECONDS     opens a host window, prints its handle, lives SECONDS
//   winwin children HWND          prints "text|x y w h|class" of each child window (the text
//                                 asked of the window, line breaks as blanks)
//   winwin post TITLE MSG WPARAM LPARAM   posts a message to every visible window titled TITLE
//   winwin resources TITLE        for each program with a visible window titled TITLE:
//                                 "program gdi-objects user-objects handles" (0 where not reported)
//   winwin black SECONDS          shows a black full-screen window for SECONDS (the start-up floor)
//   winwin startup black|frame COMMAND...   starts COMMAND and prints the milliseconds until
//                                 its full-screen window is visible and until the screen's centre
//                                 turns black (the floor) or shows something not black (a
//                                 frame); then ends the program
//   winwin monitors               prints "x y w h primary" of each monitor
//   winwin list TITLE             prints "hwnd x y w h visible" of every visible window titled TITLE
//   winwin volume [LEVEL]         sets every wave-out device to LEVEL (both channels, 0..65535)
//                                 when given; prints "device volume" (hex) of each that answers
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK matchTitle(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t text[512];
    GetWindowTextW(hwnd, text, 512);
    if (IsWindowVisible(hwnd) && search->title == text) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND findVisible(const std::wstring& title) {
    Search search{title};
    EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void printWindow(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    std::printf("%lld %ld %ld %ld %ld %d\n", static_cast<long long>(reinterpret_cast<INT_PTR>(hwnd)), r.left,
                r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(hwnd) ? 1 : 0);
    std::fflush(stdout);
}

BOOL CALLBACK collectTitled(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<std::pair<std::wstring, std::vector<HWND>>*>(param);
    wchar_t text[512];
    GetWindowTextW(hwnd, text, 512);
    if (IsWindowVisible(hwnd) && search->first == text) search->second.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> allVisible(const std::wstring& title) {
    std::pair<std::wstring, std::vector<HWND>> search{title, {}};
    EnumWindows(collectTitled, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

int resources(const std::wstring& title) {
    std::vector<DWORD> seen;
    for (HWND hwnd : allVisible(title)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == 0 || std::find(seen.begin(), seen.end(), pid) != seen.end()) continue;
        seen.push_back(pid);
        HANDLE process =
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        if (!process) continue;
        wchar_t image[MAX_PATH] = L"?";
        DWORD length = MAX_PATH;
        QueryFullProcessImageNameW(process, 0, image, &length);
        DWORD handles = 0;
        GetProcessHandleCount(process, &handles);
        std::printf("%ls %lu %lu %lu\n", image, GetGuiResources(process, GR_GDIOBJECTS),
                    GetGuiResources(process, GR_USEROBJECTS), handles);
        CloseHandle(process);
    }
    std::fflush(stdout);
    return seen.empty() ? 1 : 0;
}

// Each device opened as a program that plays would open it: a device number
// where a handle is expected is refused by some systems.
int volume(int argc, wchar_t** argv) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    UINT devices = waveOutGetNumDevs();
    for (UINT device = 0; device < devices && device < 9; ++device) {
        HWAVEOUT handle = nullptr;
        if (waveOutOpen(&handle, device, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) continue;
        if (argc > 2) {
            DWORD level = static_cast<DWORD>(_wtoi(argv[2])) & 0xFFFF;
            waveOutSetVolume(handle, level | (level << 16));
        }
        DWORD value = 0;
        if (waveOutGetVolume(handle, &value) == MMSYSERR_NOERROR) std::printf("%u %08lx\n", device, value);
        waveOutClose(handle);
    }
    std::fflush(stdout);
    return 0;
}

LRESULT CALLBACK blackProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int black(int seconds) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = blackProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"NimbreTestBlack";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Black", WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                nullptr, wc.hInstance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    SetTimer(hwnd, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == hwnd) DestroyWindow(hwnd);
        DispatchMessageW(&msg);
    }
    return 0;
}

struct Covering {
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK matchCovering(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Covering*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    RECT r;
    GetWindowRect(hwnd, &r);
    if (pid == search->process && IsWindowVisible(hwnd) &&
        r.right - r.left >= GetSystemMetrics(SM_CXSCREEN) &&
        r.bottom - r.top >= GetSystemMetrics(SM_CYSCREEN)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

int startup(bool wantBlack, const std::wstring& command) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    auto elapsed = [&] {
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
               static_cast<double>(frequency.QuadPart);
    };
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line = command;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 1;
    Covering search{pi.dwProcessId};
    double window = -1, pixel = -1;
    HDC screen = GetDC(nullptr);
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    // A frame is neither black nor the desktop that was there before.
    const COLORREF desktop = GetPixel(screen, cx, cy);
    while (elapsed() < 30000) {
        if (!search.found) {
            EnumWindows(matchCovering, reinterpret_cast<LPARAM>(&search));
            if (search.found) window = elapsed();
        }
        if (search.found) {
            COLORREF c = GetPixel(screen, cx, cy);
            bool done = wantBlack ? c == RGB(0, 0, 0) : c != RGB(0, 0, 0) && c != desktop;
            if (c != CLR_INVALID && done) {
                pixel = elapsed();
                break;
            }
        }
        Sleep(2);
    }
    ReleaseDC(nullptr, screen);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::printf("window %.0f ms, %s %.0f ms\n", window, wantBlack ? "black" : "frame", pixel);
    std::fflush(stdout);
    return pixel < 0 ? 1 : 0;
}

BOOL CALLBACK printMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT& r = info.rcMonitor;
    std::printf("%ld %ld %ld %ld %d\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
    return TRUE;
}

BOOL CALLBACK printChild(HWND hwnd, LPARAM) {
    // Asked of the window itself: an edit's text is what was typed into it.
    wchar_t text[512] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    for (wchar_t* c = text; *c; ++c)
        if (*c == L'\r' || *c == L'\n' || *c == L'|') *c = L' ';
    wchar_t kind[128] = L"";
    GetClassNameW(hwnd, kind, 128);
    RECT r;
    GetWindowRect(hwnd, &r);
    std::printf("%ls|%ld %ld %ld %ld|%ls\n", text, r.left, r.top, r.right - r.left, r.bottom - r.top, kind);
    return TRUE;
}

LRESULT CALLBACK hostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int host(const std::wstring& title, int seconds) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"NimbreTestHost";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowW(wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100,
                              100, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    printWindow(hwnd);
    SetTimer(hwnd, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == hwnd) DestroyWindow(hwnd);
        DispatchMessageW(&msg);
    }
    return 0;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"volume") return volume(argc, argv);
    if (argc >= 2 && std::wstring(argv[1]) == L"monitors") {
        EnumDisplayMonitors(nullptr, nullptr, printMonitor, 0);
        std::fflush(stdout);
        return 0;
    }
    if (argc >= 3 && std::wstring(argv[1]) == L"black") return black(_wtoi(argv[2]));
    if (argc >= 4 && std::wstring(argv[1]) == L"startup") {
        std::wstring command;
        for (int i = 3; i < argc; ++i)
            command += (i > 3 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
        return startup(std::wstring(argv[2]) == L"black", command);
    }
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: winwin find|gone|close|host|children|post|resources TITLE [...] | volume [LEVEL]\n");
        return 2;
    }
    std::wstring verb = argv[1], title = argv[2];
    int seconds = argc > 3 ? _wtoi(argv[3]) : 10;
    if (verb == L"host") return host(title, seconds);
    if (verb == L"resources") return resources(title);
    if (verb == L"list") {
        std::vector<HWND> windows = allVisible(title);
        for (HWND hwnd : windows)
            printWindow(hwnd);
        return windows.empty() ? 1 : 0;
    }
    if (verb == L"post" && argc > 5) {
        std::vector<HWND> windows = allVisible(title);
        for (HWND hwnd : windows)
            PostMessageW(hwnd, static_cast<UINT>(_wtoi(argv[3])), static_cast<WPARAM>(_wtoi64(argv[4])),
                         static_cast<LPARAM>(_wtoi64(argv[5])));
        return windows.empty() ? 1 : 0;
    }
    if (verb == L"children") {
        HWND parent = reinterpret_cast<HWND>(static_cast<INT_PTR>(_wtoi64(title.c_str())));
        EnumChildWindows(parent, printChild, 0);
        return 0;
    }
    DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    for (;;) {
        HWND hwnd = findVisible(title);
        if (verb == L"find" && hwnd) {
            printWindow(hwnd);
            return 0;
        }
        if (verb == L"gone" && !hwnd) return 0;
        if (verb == L"close") {
            if (!hwnd) return 1;
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return 0;
        }
        if (GetTickCount() > deadline) return 1;
        Sleep(100);
    }
}
