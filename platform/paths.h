// File names, the command line and the environment as UTF-8, on every
// system.
//
// The program keeps every path as UTF-8 text, so that a folder named
// "Vexarión 日本" or a user named José works wherever it appears. On Windows
// the narrow C library calls would pass such names through the ANSI code
// page and lose them; these go through the system's UTF-16 interfaces there.
// For std::filesystem, build paths with fs::u8path() and read them back with
// u8string().
#pragma once
#include <cstdio>
#include <string>
#include <vector>

// The command line's arguments, argv[0] included, as UTF-8.
std::vector<std::string> programArguments(int argc, char** argv);

// The environment variable's value as UTF-8; "" when it is not set.
std::string environmentValue(const char* name);

// std::fopen for a UTF-8 path.
std::FILE* fileOpen(const std::string& path, const char* mode);
