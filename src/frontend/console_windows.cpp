// Windows consoles: text reaches them as characters, and a window opened for this run alone
// stays open until the user has read it.
#include "frontend/console.hpp"

#include "frontend/output.hpp"

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstring>

namespace {

// Bytes converted at a time. No code page takes fewer bytes for a character than UTF-16 takes
// units, so a wide buffer of the same length always holds a converted piece.
constexpr int piece_length = 256;

// In UTF-8 a character's later bytes are 10xxxxxx; its first byte tells how many follow.
constexpr unsigned char continuation_mask = 0xC0;
constexpr unsigned char continuation = 0x80;
constexpr unsigned char two_bytes = 0xC0;
constexpr unsigned char three_bytes = 0xE0;
constexpr unsigned char four_bytes = 0xF0;

bool is_console(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

int utf8_length(unsigned char first)
{
    if (first >= four_bytes) {
        return 4;
    }
    if (first >= three_bytes) {
        return 3;
    }
    return first >= two_bytes ? 2 : 1;
}

// Returns how many of the first `length` bytes of text make whole characters of code page
// `code_page`, so that a piece never ends in the middle of one.
int whole_characters(UINT code_page, const char *text, int length)
{
    if (code_page == CP_UTF8) {
        // Step back over the later bytes at the end, at most three, to the last first byte.
        int first = length - 1;
        while (first > length - 4 && first > 0 &&
               (static_cast<unsigned char>(text[first]) & continuation_mask) == continuation) {
            --first;
        }
        const int needed = utf8_length(static_cast<unsigned char>(text[first]));
        return length - first < needed ? first : length;
    }
    // Double-byte code pages mark the first byte of a pair; in the others every byte is whole.
    int whole = 0;
    while (whole < length) {
        const int step = IsDBCSLeadByteEx(code_page, static_cast<BYTE>(text[whole])) != 0 ? 2 : 1;
        if (whole + step > length) {
            break;
        }
        whole += step;
    }
    return whole;
}

bool write_wide(HANDLE console, const wchar_t *text, DWORD length)
{
    while (length > 0) {
        DWORD written = 0;
        if (WriteConsoleW(console, text, length, &written, nullptr) == 0 || written == 0) {
            return false;
        }
        text += written;
        length -= written;
    }
    return true;
}

} // namespace

int print_to_console(const char *text)
{
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!is_console(console)) {
        return not_a_console;
    }
    // The console would show the bytes in its own code page, not in the one the texts and the
    // path are in (the program's, UTF-8 where Windows honours the manifest).
    const UINT code_page = GetACP();
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const int length = left > piece_length ? whole_characters(code_page, text, piece_length)
                                               : static_cast<int>(left);
        std::array<wchar_t, piece_length> wide{};
        const int units =
            MultiByteToWideChar(code_page, 0, text, length, wide.data(), piece_length);
        if (units == 0 || !write_wide(console, wide.data(), static_cast<DWORD>(units))) {
            return -1;
        }
        text += length;
        left -= static_cast<std::size_t>(length);
    }
    return 0;
}

void hold_console()
{
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
    print_text("\nPress Enter to close this window.");
    int key = 0;
    do {
        key = std::getchar();
    } while (key != '\n' && key != EOF);
}
