// libstdc++'s default terminate handler prints the active exception's
// demangled type to stderr, which links the whole C++ demangler (45 KB) into
// a GUI program that has no console. Defined here, the library's is never
// pulled in; ending the process is all that is left to do at that point.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
