// What the program does differently when it runs in a console window of the system's own.
#ifndef MEMWIDEN_FRONTEND_CONSOLE_HPP
#define MEMWIDEN_FRONTEND_CONSOLE_HPP

// What print_to_console returns when standard output is not such a console.
constexpr int not_a_console = 1;

// Writes text to standard output when it is a console that needs it written as characters
// rather than bytes. Returns 0 when all of it was written, -1 when it was not, and
// not_a_console when it wrote nothing because the bytes can go to standard output as they are.
int print_to_console(const char *text);

// Waits for Enter when the console window was opened for this run alone, since it closes the
// moment the program ends and its last lines would be gone before anyone read them.
void hold_console();

#endif
