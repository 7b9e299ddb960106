// POSIX systems take names and text as bytes, and their terminals stay open after a program ends.
#include "system/system.hpp"

#include "frontend/main.hpp"

int main(int argc, char **argv)
{
    return memwiden_main(argc, argv);
}

std::FILE *open_file(const char *path, const char *mode)
{
    return std::fopen(path, mode);
}

int print_to_console(const char * /*text*/)
{
    return not_a_console;
}
