// The program is built without exceptions: when the C++ runtime gives up
// (out of memory), there is no console to print to, and the runtime's own
// handler would link its symbol demangler (about 70 KB) only to print the
// name of an exception nobody sees.
#include <cstdlib>

#ifdef __GLIBCXX__
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
#endif
