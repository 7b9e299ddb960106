// Verifies the window of engine.dll, rewrites its one byte and tells the user what happened.
#include "patcher/patcher.hpp"

#include "frontend/output.hpp"
#include "patcher/record.hpp"
#include "system/system.hpp"

#include <array>
#include <cstdio>

namespace {

// Each outcome has its own prefix, so a user or a script can tell them apart.
constexpr const char *open_failed = "Error: Unable to open file '";
constexpr const char *seek_failed = "Error: Unable to seek to the proper position in '";
constexpr const char *read_failed = "Error: Unable to read a signature from '";
constexpr const char *no_signature = "Error: Expected signature was not found in '";
constexpr const char *write_failed = "Error: Unable to write the modifications to '";
constexpr const char *patched = "Successfully patched file '";

void print_outcome(const char *prefix, const char *path)
{
    print_text(prefix);
    print_text(path);
    print_text("'!\n");
}

// The file is closed by now, so the message never precedes the last operation on it.
int fail(const char *prefix, const char *path)
{
    print_outcome(prefix, path);
    print_usage();
    return 1;
}

// The run fails already; an error from this close would tell the user nothing more.
int close_and_fail(std::FILE *file, const char *prefix, const char *path)
{
    (void)std::fclose(file);
    return fail(prefix, path);
}

} // namespace

int patch_engine_dll(const char *path)
{
    std::FILE *file = open_file(path, open_mode);
    if (file == nullptr) {
        return fail(open_failed, path);
    }
    // Without a buffer the read takes only the window, and the write reaches the system inside
    // fwrite, so its result means what it says. A stream that cannot be set up so is not used.
    if (std::setvbuf(file, nullptr, _IONBF, 0) != 0) {
        return close_and_fail(file, open_failed, path);
    }
    if (std::fseek(file, window_offset, SEEK_SET) != 0) {
        return close_and_fail(file, seek_failed, path);
    }
    std::array<unsigned char, window_length> window{};
    if (std::fread(window.data(), 1, window.size(), file) != window.size()) {
        return close_and_fail(file, read_failed, path);
    }
    if (window != expected_window) {
        return close_and_fail(file, no_signature, path);
    }
    window[patched_index] = patched_value;
    // Seeking again also separates the read from the write on the one update stream.
    if (std::fseek(file, window_offset, SEEK_SET) != 0) {
        return close_and_fail(file, seek_failed, path);
    }
    if (std::fwrite(window.data(), window.size(), 1, file) != 1) {
        return close_and_fail(file, write_failed, path);
    }
    // Success means the byte is on the disk: a network share or a cached disk may report that
    // the write failed long after the system took it, and that must not follow a success line.
    if (sync_file(file) != 0) {
        return close_and_fail(file, write_failed, path);
    }
    // The system may still refuse the data when the file is closed; then it was not patched.
    if (std::fclose(file) != 0) {
        return fail(write_failed, path);
    }
    print_outcome(patched, path);
    return 0;
}
