#include "common/command_tail.h"

std::wstring CommandTail(const std::wstring& commandLine) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    size_t pos = 0;
    // The program's name ends at its closing quote, or at the first blank when unquoted.
    if (!commandLine.empty() && commandLine[0] == L'"') {
        size_t close = commandLine.find(L'"', 1);
        pos = close == std::wstring::npos ? commandLine.size() : close + 1;
    }
    while (pos < commandLine.size() && !blank(commandLine[pos]))
        ++pos;
    while (pos < commandLine.size() && blank(commandLine[pos]))
        ++pos;
    return commandLine.substr(pos);
}
