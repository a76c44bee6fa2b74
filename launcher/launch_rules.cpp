#include "launcher/launch_rules.h"

#include <initializer_list>

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

// True when one of the switches named (lower case, without "/" or "-") comes
// before a /D= that takes the rest.
bool AsksFor(const std::wstring& tail, std::initializer_list<const wchar_t*> names) {
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
        for (const wchar_t* name : names)
            if (word == name)
                return true;
    }
    return false;
}
}  // namespace

bool IsUnattended(const std::wstring& tail) {
    return AsksFor(tail, {L"s", L"quiet", L"verysilent"});
}

bool IsForThisUserOnly(const std::wstring& tail) {
    return AsksFor(tail, {L"currentuser"});
}
