// The patch record for engine.dll 1.20: where the window lies, what it must hold, what changes.
#ifndef MEMWIDEN_PATCHER_RECORD_HPP
#define MEMWIDEN_PATCHER_RECORD_HPP

#include <array>
#include <cstddef>

// Raw offset of the window from the start of the file; the image itself is never parsed.
constexpr long window_offset = 0xFA490;

// Bytes compared before the change and written back with it.
constexpr std::size_t window_length = 16;

// The window as version 1.20 ships it; byte 4 is the opcode of a signed short jump (JGE).
constexpr std::array<unsigned char, window_length> expected_window = {
    0xC8, 0x2B, 0xB4, 0x20, 0x7D, 0x12, 0x50, 0x68, 0x98, 0xCC, 0x1A, 0x20, 0xE8, 0x0F, 0xFE, 0xFF};

// Index in the window of the one byte that changes (file offset 0xFA494).
constexpr std::size_t patched_index = 4;

// JAE: the same short jump, but unsigned, so memory above 2 GB no longer compares as negative.
constexpr unsigned char patched_value = 0x73;

// Update an existing file in binary: never created, never truncated.
constexpr const char *open_mode = "r+b";

// A patched file must fail verification, or a second run would report success again.
static_assert(expected_window[patched_index] != patched_value, "patch must change the window");

#endif
