// A program's own command line, less its name. Plain C++.
#pragma once
#include <string>

// The command line without the program's own name, and without the blanks after it.
std::wstring CommandTail(const std::wstring& commandLine);
