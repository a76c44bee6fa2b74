#include "text_rules.h"

#include <cstring>

int32_t DecimalToInt32(const char* text) {
    if (!text)
        return 0;
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9')
        value = value * 10u + static_cast<uint32_t>(*p++ - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

bool TailEndsWith(const CString& tail, const char* word) {
    int n = static_cast<int>(std::strlen(word));
    if (tail.GetLength() < n)
        return tail == word;
    return tail.Right(n) == word;
}

CString UpToLastBackslash(const CString& path) {
    int slash = path.ReverseFind('\\');
    return slash < 0 ? CString() : path.Left(slash + 1);
}

CString BeforeLastBackslash(const CString& path) {
    int slash = path.ReverseFind('\\');
    return slash < 0 ? path : path.Left(slash);
}

int ParentSeparatorIndex(const CString& path) {
    for (int i = path.GetLength() - 2; i >= 0; --i)
        if (path[i] == '\\')
            return i;
    return -1;
}

CString WithTrailingBackslash(const CString& path) {
    if (path.GetLength() > 0 && path[path.GetLength() - 1] == '\\')
        return path;
    return path + "\\";
}
