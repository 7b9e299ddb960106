// Test helper, never shipped: starts a command line as installers and launchers start console
// programs, with no console window, and exits with its status, or 124 if it runs for 10 s.
#include <windows.h>

int wmain(int argc, wchar_t **argv)
{
    constexpr DWORD patience_ms = 10000;
    constexpr DWORD timed_out = 124;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (argc != 2 || CreateProcessW(nullptr, argv[1], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                    nullptr, nullptr, &startup, &child) == 0) {
        return 2;
    }
    DWORD status = 0;
    if (WaitForSingleObject(child.hProcess, patience_ms) != WAIT_OBJECT_0 ||
        GetExitCodeProcess(child.hProcess, &status) == 0) {
        TerminateProcess(child.hProcess, timed_out);
        status = timed_out;
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return static_cast<int>(status);
}
