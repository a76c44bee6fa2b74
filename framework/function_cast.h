// Turns an exported function's address into a typed function pointer.
#pragma once
#include <windows.h>

#include <cstring>

template <typename Fn>
Fn FunctionCast(FARPROC address) {
    static_assert(sizeof(Fn) == sizeof(FARPROC));
    Fn fn;
    std::memcpy(&fn, &address, sizeof fn);
    return fn;
}
