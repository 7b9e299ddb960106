// What differs from one system to another; each system has one file that does all of it.
#ifndef MEMWIDEN_SYSTEM_SYSTEM_HPP
#define MEMWIDEN_SYSTEM_SYSTEM_HPP

#include <cstdio>

// Opens the file at path, a name in UTF-8, as std::fopen opens it with mode. Returns nullptr
// when the file cannot be opened.
std::FILE *open_file(const char *path, const char *mode);

// Puts what was written to file on its storage. Returns 0 when it is there, or when the file
// system has no way to do so for that file and took the write as it was; -1 when it failed.
int sync_file(std::FILE *file);

// What print_to_console returns when standard output is not such a console.
constexpr int not_a_console = 1;

// Writes text, in UTF-8, to standard output when it is a console that takes characters rather
// than bytes. Returns 0 when all of it was written, -1 when it was not, and not_a_console when
// it wrote nothing because the bytes can go to standard output as they are.
int print_to_console(const char *text);

#endif
