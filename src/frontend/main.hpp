// The program's entry code, the same on every system.
#ifndef MEMWIDEN_FRONTEND_MAIN_HPP
#define MEMWIDEN_FRONTEND_MAIN_HPP

// Runs the program on the command line that each system's process entry hands it (in UTF-8 on
// Windows, as given elsewhere) and returns the exit status: 0 when the file was patched, else 1.
int memwiden_main(int argc, char **argv);

#endif
