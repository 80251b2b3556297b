// A Windows program that the Wine test session runs for its whole length, so
// that the desktop process belongs to the session and not to a test.
//
// Wine starts its desktop process on the first call that needs the desktop
// window, as a child of the caller that inherits the caller's standard output
// and error; and it ends the desktop once no program uses it any more. Left to
// the first window test, the desktop would hold that test's output pipe open,
// and CTest would wait for it until the end of the run. This client makes the
// call itself, with its output in the session's log, writes a line beginning
// "desktop ready" to its standard output and then stays, keeping the desktop
// alive until the session stops it.
#include <windows.h>

#include <cstdio>

int main()
{
    HWND desktop = GetDesktopWindow();
    if (desktop == nullptr) {
        std::printf("desktop client: GetDesktopWindow failed, error %lu\n", GetLastError());
        return 1;
    }
    // The process that owns the desktop window, for the log: Wine's desktop
    // process once it has started.
    DWORD owner = 0;
    GetWindowThreadProcessId(desktop, &owner);
    std::printf("desktop ready (desktop window owned by process %lu)\n", owner);
    std::fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
