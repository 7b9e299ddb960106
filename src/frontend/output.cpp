// Writes the program's texts to standard output; nothing ever goes to standard error.
#include "frontend/output.hpp"

#include "system/system.hpp"

#include <cstdio>

int print_text(const char *text)
{
    const int result = print_to_console(text);
    if (result != not_a_console) {
        return result;
    }
    return std::fputs(text, stdout) == EOF ? -1 : 0;
}

void print_usage()
{
    print_text("Usage: memwiden <engine.dll path>\n");
}
