// The launcher throws nothing, and the standard library's only reasons to throw
// here (out of memory, a length past the maximum) cannot be handled better than
// by ending the process. Ending it directly keeps the runtime's exception
// classes and their string copies, a large part of a small program, out of it.
#include <cstddef>
#include <cstdlib>

namespace std {
[[noreturn]] void __throw_bad_alloc() {
    std::abort();
}
[[noreturn]] void __throw_bad_array_new_length() {
    std::abort();
}
[[noreturn]] void __throw_length_error(const char*) {
    std::abort();
}
[[noreturn]] void __throw_logic_error(const char*) {
    std::abort();
}
[[noreturn]] void __throw_out_of_range(const char*) {
    std::abort();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
[[noreturn]] void __throw_invalid_argument(const char*) {
    std::abort();
}
}  // namespace std

// The same for running out of memory: the runtime's allocation would throw.
void* operator new(std::size_t size) {
    void* memory = std::malloc(size ? size : 1);
    if (!memory)
        std::abort();
    return memory;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
