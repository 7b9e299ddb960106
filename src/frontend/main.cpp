// The program itself: prints the banner, checks the command line and hands the one path to the
// patcher.
#include "frontend/main.hpp"

#include "frontend/output.hpp"
#include "patcher/patcher.hpp"

#include <array>

namespace {

// Printed on every run, before anything else, so the user sees what is about to happen.
void print_banner()
{
    static constexpr std::array banner = {
        "memwiden " MEMWIDEN_VERSION " (c) 2026 the memwiden developers\n",
        "\n",
        "This program is meant to fix the sourge 'engine.dll' used by\n",
        "'Nightfall Covenant'(TM) so that it will work\n",
        "on machines with more than 2GB of RAM.\n\n",
        "The game must be patched to version 1.20 for this to work.\n\n",
        "There is no guarantee that it will function correctly.\n\n",
        "Keep a backup copy of 'engine.dll': the change is made in place.\n\n",
    };
    for (const char *text : banner) {
        print_text(text);
    }
}

// Patches the one path given. Anything else is a mistake, most often an unquoted path with a space.
int run(int argc, char **argv)
{
    if (argc != 2) {
        print_usage();
        return 1;
    }
    return patch_engine_dll(argv[1]);
}

} // namespace

int memwiden_main(int argc, char **argv)
{
    print_banner();
    return run(argc, argv);
}
