// The programs throw nothing of their own; an uncaught exception (out of
// memory) just ends the process. Replacing the runtime's verbose handler keeps
// its name demangler, a large part of a small program, out of the binaries.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
