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

// The reverse, for handing a function of ours where an exported one is expected.
template <typename Fn>
FARPROC AsFarproc(Fn fn) {
    static_assert(sizeof(Fn) == sizeof(FARPROC));
    FARPROC address;
    std::memcpy(&address, &fn, sizeof fn);
    return address;
}
