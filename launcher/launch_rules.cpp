#include "launcher/launch_rules.h"

namespace {
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}
}  // namespace

std::wstring CommandTail(const std::wstring& commandLine) {
    size_t pos = 0;
    // The program's name ends at its closing quote, or at the first blank when unquoted.
    if (!commandLine.empty() && commandLine[0] == L'"') {
        size_t close = commandLine.find(L'"', 1);
        pos = close == std::wstring::npos ? commandLine.size() : close + 1;
    }
    while (pos < commandLine.size() && !IsBlank(commandLine[pos]))
        ++pos;
    while (pos < commandLine.size() && IsBlank(commandLine[pos]))
        ++pos;
    return commandLine.substr(pos);
}

bool IsUnattended(const std::wstring& tail) {
    size_t pos = 0;
    while (pos < tail.size()) {
        while (pos < tail.size() && IsBlank(tail[pos]))
            ++pos;
        size_t end = pos;
        std::wstring word;
        if (pos < tail.size() && tail[pos] == L'"') {
            // A word quoted whole, as tools that quote every argument pass it.
            size_t close = tail.find(L'"', pos + 1);
            end = close == std::wstring::npos ? tail.size() : close + 1;
            word = Lower(tail.substr(pos + 1, (close == std::wstring::npos ? tail.size() : close) - pos - 1));
        } else {
            while (end < tail.size() && !IsBlank(tail[end]))
                ++end;
            word = Lower(tail.substr(pos, end - pos));
        }
        pos = end;
        if (word.size() < 2 || (word[0] != L'/' && word[0] != L'-'))
            continue;
        word = word.substr(1);
        if (word.rfind(L"d=", 0) == 0)
            return false;
        if (word == L"s" || word == L"quiet" || word == L"verysilent")
            return true;
    }
    return false;
}
