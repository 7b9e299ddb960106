// Test helper, never shipped: starts a command line as others start console programs, and tells
// by its exit status whether the program waited for Enter.
// Usage: launch none|hidden|shown COMMAND-LINE. none starts it with no console window, as a
// launcher may; hidden with a window of its own that is hidden, as an installer may; shown with
// one that is shown, as a drop on the program does. Exits with the program's status when it ends
// within 5 s, or else ends it and exits with 100: nobody gives it Enter.
#include <windows.h>

int wmain(int argc, wchar_t **argv)
{
    constexpr DWORD patience_ms = 5000;
    constexpr DWORD waited = 100;
    const wchar_t mode = argc == 3 ? argv[1][0] : L'\0';
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = mode == L'h' ? STARTF_USESHOWWINDOW : 0;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION child{};
    if (argc != 3 || CreateProcessW(nullptr, argv[2], nullptr, nullptr, FALSE,
                                    mode == L'n' ? CREATE_NO_WINDOW : CREATE_NEW_CONSOLE, nullptr,
                                    nullptr, &startup, &child) == 0) {
        return 2;
    }
    DWORD status = waited;
    if (WaitForSingleObject(child.hProcess, patience_ms) != WAIT_OBJECT_0) {
        TerminateProcess(child.hProcess, waited);
    } else if (GetExitCodeProcess(child.hProcess, &status) == 0) {
        return 2;
    }
    return static_cast<int>(status);
}
