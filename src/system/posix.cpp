// POSIX systems take names and text as bytes, and their terminals stay open after a program ends.
#include "system/system.hpp"

#include "frontend/main.hpp"

#include <cerrno>
#include <csignal>
#include <unistd.h>

int main(int argc, char **argv)
{
    // The banner goes out before the file is opened, and the outcome line after it is closed: a
    // reader of the output that has gone at either must not kill the program, or its exit status
    // would no longer say what became of the file.
    // Nor may a file size limit below the window: the write must fail and be reported as any
    // refused write is. Ignoring a signal cannot fail.
    (void)std::signal(SIGPIPE, SIG_IGN);
    (void)std::signal(SIGXFSZ, SIG_IGN);
    return memwiden_main(argc, argv);
}

std::FILE *open_file(const char *path, const char *mode)
{
    return std::fopen(path, mode);
}

int sync_file(std::FILE *file)
{
    if (fsync(fileno(file)) == 0) {
        return 0;
    }
    // EINVAL: this file system has no way to sync the file, and took the write as it was. EROFS
    // here, on a file just opened and written for update, means that the file system turned
    // read-only after an error beneath it, and the write is lost.
    return errno == EINVAL ? 0 : -1;
}

int print_to_console(const char * /*text*/)
{
    return not_a_console;
}
