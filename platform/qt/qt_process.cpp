#include "qt/qt_process.h"

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace bellwick {

void QtProcess::end(int status)
{
#if defined(__SANITIZE_ADDRESS__)
    // _Exit skips the leak check that a normal exit would run. Only on
    // request (tools/soak): LeakSanitizer's tracer now and then crashes when
    // called from here while Qt's threads run, which would fail the exit.
    if (std::getenv("BELLWICK_LEAK_CHECK")) __lsan_do_recoverable_leak_check();
#endif
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace bellwick
