// Windows: names and text are UTF-8 inside the program and UTF-16 wherever Windows takes or gives
// them, whatever its version and code page; a window opened for this run alone stays open.
#include "system/system.hpp"

#include "frontend/main.hpp"

#include <io.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

// UTF-16 writes a code point past the first 65536 as a pair: a high surrogate, then a low one,
// each carrying ten of its bits.
constexpr std::uint32_t high_surrogate = 0xD800;
constexpr std::uint32_t low_surrogate = 0xDC00;
constexpr std::uint32_t surrogates_end = 0xE000;
constexpr std::uint32_t first_paired = 0x10000;
constexpr unsigned int pair_bits = 10;
constexpr std::uint32_t pair_mask = 0x3FF;

// In UTF-8 a character's later bytes are 10xxxxxx, six bits each.
constexpr unsigned char continuation = 0x80;
constexpr unsigned int later_bits = 6;
constexpr std::uint32_t later_mask = 0x3F;

// The first byte of a character, by how many bytes follow it: the bits that mark it, its value
// under those bits, and the least code point that takes that many bytes.
struct utf8_form {
    unsigned char mask;
    unsigned char lead;
    std::uint32_t least;
};
constexpr std::array<utf8_form, 4> forms = {{
    {0x80, 0x00, 0},
    {0xE0, 0xC0, 0x80},
    {0xF0, 0xE0, 0x800},
    {0xF8, 0xF0, 0x10000},
}};

// No UTF-16 unit takes more than three bytes of UTF-8; a pair of them takes four.
constexpr std::size_t bytes_per_unit = 3;

// Writes text, in UTF-16, to out as UTF-8 with its terminating zero; returns the byte after that.
// A lone surrogate, which a Windows name may hold, is written as the code point it is, so that
// decode_utf8 gives the same name back and no other file is ever opened in its place.
char *encode_utf8(const wchar_t *text, char *out)
{
    while (*text != 0) {
        std::uint32_t code_point = *text++;
        if (code_point >= high_surrogate && code_point < low_surrogate &&
            static_cast<std::uint32_t>(*text) >= low_surrogate &&
            static_cast<std::uint32_t>(*text) < surrogates_end) {
            code_point = first_paired + ((code_point - high_surrogate) << pair_bits) +
                         (static_cast<std::uint32_t>(*text++) - low_surrogate);
        }
        std::size_t later = forms.size() - 1;
        while (code_point < forms[later].least) {
            --later;
        }
        *out++ = static_cast<char>(forms[later].lead | code_point >> (later_bits * later));
        while (later > 0) {
            --later;
            *out++ =
                static_cast<char>(continuation | (code_point >> (later_bits * later) & later_mask));
        }
    }
    *out++ = '\0';
    return out;
}

// Writes text, in UTF-8, to out as UTF-16 with its terminating zero. No character takes more
// units than bytes, so out needs no more units than text has bytes. Every text the program hands
// the system is encode_utf8's output or one of its own literals, so the bytes are not checked.
void decode_utf8(const unsigned char *text, wchar_t *out)
{
    while (*text != 0) {
        std::size_t later = 0;
        while ((*text & forms[later].mask) != forms[later].lead) {
            ++later;
        }
        std::uint32_t code_point = static_cast<unsigned char>(*text++ & ~forms[later].mask);
        for (std::size_t i = 0; i < later; ++i) {
            code_point = code_point << later_bits | (*text++ & later_mask);
        }
        if (code_point >= first_paired) {
            code_point -= first_paired;
            *out++ = static_cast<wchar_t>(high_surrogate + (code_point >> pair_bits));
            code_point = low_surrogate + (code_point & pair_mask);
        }
        *out++ = static_cast<wchar_t>(code_point);
    }
    *out = 0;
}

// Returns text in UTF-16, in memory the caller frees, or nullptr when there is no memory for it.
wchar_t *utf16_from_utf8(const char *text)
{
    auto *wide = static_cast<wchar_t *>(std::malloc((std::strlen(text) + 1) * sizeof(wchar_t)));
    if (wide != nullptr) {
        decode_utf8(reinterpret_cast<const unsigned char *>(text), wide);
    }
    return wide;
}

bool is_console(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

bool write_wide(HANDLE console, const wchar_t *text, std::size_t length)
{
    while (length > 0) {
        DWORD written = 0;
        if (WriteConsoleW(console, text, static_cast<DWORD>(length), &written, nullptr) == 0 ||
            written == 0) {
            return false;
        }
        text += written;
        length -= written;
    }
    return true;
}

// An installer or a launcher may start the program in a window that it hides from the user.
bool started_hidden()
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 && startup.wShowWindow == SW_HIDE;
}

// Waits for Enter when the console window was opened for this run alone, since it closes the
// moment the program ends and its last lines would be gone before anyone read them.
void hold_console()
{
    // Where nobody can see the prompt, nobody can answer it: the launcher that started the program
    // without a console window, or with a hidden one, would wait for it forever. Whether the
    // window is visible says nothing: under Windows Terminal it never is, yet the user sees it.
    if (GetConsoleWindow() == nullptr || started_hidden()) {
        return;
    }
    // cmd, PowerShell or a terminal share their console with this run and keep it open after it.
    std::array<DWORD, 1> processes{};
    if (GetConsoleProcessList(processes.data(), processes.size()) != 1) {
        return;
    }
    // Only a user at the window can answer; redirected input or output means a script runs it.
    if (!is_console(GetStdHandle(STD_INPUT_HANDLE)) ||
        !is_console(GetStdHandle(STD_OUTPUT_HANDLE))) {
        return;
    }
    print_to_console("\nPress Enter to close this window.");
    int key = 0;
    do {
        key = std::getchar();
    } while (key != '\n' && key != EOF);
}

} // namespace

// Windows gives the command line in UTF-16. The arguments go on in UTF-8, in one block that holds
// their pointers and their text.
int wmain(int argc, wchar_t **argv)
{
    std::size_t size = (static_cast<std::size_t>(argc) + 1) * sizeof(char *);
    for (int i = 0; i < argc; ++i) {
        size += std::wcslen(argv[i]) * bytes_per_unit + 1;
    }
    auto **args = static_cast<char **>(std::malloc(size));
    // Without a few hundred bytes at the start nothing can be done, and nothing has been touched.
    if (args == nullptr) {
        return 1;
    }
    char *text = reinterpret_cast<char *>(args + argc + 1);
    for (int i = 0; i < argc; ++i) {
        args[i] = text;
        text = encode_utf8(argv[i], text);
    }
    args[argc] = nullptr;
    const int status = memwiden_main(argc, args);
    std::free(static_cast<void *>(args));
    hold_console();
    return status;
}

std::FILE *open_file(const char *path, const char *mode)
{
    wchar_t *wide_path = utf16_from_utf8(path);
    wchar_t *wide_mode = utf16_from_utf8(mode);
    std::FILE *file = nullptr;
    if (wide_path != nullptr && wide_mode != nullptr) {
        file = _wfopen(wide_path, wide_mode);
    }
    std::free(wide_path);
    std::free(wide_mode);
    return file;
}

int sync_file(std::FILE *file)
{
    // _commit is FlushFileBuffers: the system writes what it still holds of the file to the disk.
    // Not every failure sets the system's error code, and an earlier call's must not stand in.
    _doserrno = 0;
    if (_commit(_fileno(file)) == 0) {
        return 0;
    }
    // A device or file system that has nothing to flush took the write as it was; any other
    // failure may have lost it.
    return _doserrno == ERROR_INVALID_FUNCTION ? 0 : -1;
}

int print_to_console(const char *text)
{
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!is_console(console)) {
        return not_a_console;
    }
    // A console would show bytes in a code page of its own; characters show as they are.
    wchar_t *wide = utf16_from_utf8(text);
    const bool written = wide != nullptr && write_wide(console, wide, std::wcslen(wide));
    std::free(wide);
    return written ? 0 : -1;
}
