#pragma once

// The command line and the standard streams as each platform has them.

#include <cstdio>
#include <string>
#include <vector>

namespace pelmoa {

// The arguments after the program's name, as UTF-8; readies stdout and stderr for WriteText.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Writes UTF-8 text to stream at once: to a console as its characters, whatever the
// console's code page, and as the same UTF-8 bytes on every platform to a pipe or a file.
void WriteText(std::FILE* stream, const std::string& text);

}  // namespace pelmoa
