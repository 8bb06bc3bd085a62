#pragma once

#include <string>

// Checks a shared library file before the loader maps it: a truncated or foreign file makes the
// loader fault (SIGBUS) when it touches pages past the file's end, so the ELF header, the program
// headers and every loaded segment must lie inside the file. False with `error` naming the file.
bool CheckLibraryFile(const std::string& path, std::string& error);
