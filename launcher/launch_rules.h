// What the download passes on to setup, and whether a person is watching.
// Plain C++: these rules are tested without Windows.
#pragma once
#include <string>

// The command line without the program's own name, and without the blanks after it.
std::wstring CommandTail(const std::wstring& commandLine);

// True when the tail asks for a run without any window: /S, /quiet or
// /VERYSILENT (any case, "-" for "/"), before a /D= that takes the rest.
bool IsUnattended(const std::wstring& tail);
