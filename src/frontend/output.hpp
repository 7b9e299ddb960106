// The program's messages: each goes to standard output, unchanged.
#ifndef MEMWIDEN_FRONTEND_OUTPUT_HPP
#define MEMWIDEN_FRONTEND_OUTPUT_HPP

// Writes text with no line end added. Returns 0 when the stream took every byte, else -1.
int print_text(const char *text);

// Writes the one-line reminder of how to call the program.
void print_usage();

#endif
