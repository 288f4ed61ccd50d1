// A small Windows-side helper for the end-to-end tests: in Wine's virtual
// desktop X tools cannot see window titles, so windows are found from here.
//   winwin find TITLE [SECONDS]   prints "hwnd x y w h visible" of the first visible
//                                 top-level window titled TITLE; exit 1 if none in time
//   winwin gone TITLE [SECONDS]   exit 0 once no visible window has that title
//   winwin close TITLE            posts WM_CLOSE to it
//   winwin host TITLE SECONDS     opens a host window, prints its handle, lives SECONDS
//   winwin children HWND          prints the visible child windows' titles and rects
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

BOOL CALLBACK printChild(HWND hwnd, LPARAM) {
    wchar_t text[512];
    GetWindowTextW(hwnd, text, 512);
    RECT r;
    GetWindowRect(hwnd, &r);
    std::printf("%ls|%ld %ld %ld %ld\n", text, r.left, r.top, r.right - r.left, r.bottom - r.top);
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
    HWND hwnd = CreateWindowW(wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100,
                              400, 300, nullptr, nullptr, wc.hInstance, nullptr);
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
    if (argc < 3) {
        std::fprintf(stderr, "usage: winwin find|gone|close|host|children TITLE [SECONDS]\n");
        return 2;
    }
    std::wstring verb = argv[1], title = argv[2];
    int seconds = argc > 3 ? _wtoi(argv[3]) : 10;
    if (verb == L"host") return host(title, seconds);
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
