// Text output that reads right in a terminal and in a pipe. Under Wine a
// terminal is a Wine console that decodes bytes as code page 932, so console
// handles get UTF-16 through WriteConsoleW; pipes and files get UTF-8 bytes.
#ifndef QUILLMERE_CONSOLE_H
#define QUILLMERE_CONSOLE_H

#include <string>

void Out(const std::string &utf8);
void Err(const std::string &utf8);

// Shift-JIS (code page 932) bytes as UTF-8.
std::string FromShiftJis(const char *bytes, int length);

// printf into a std::string.
std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));

#endif
