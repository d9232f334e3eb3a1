#include "qt_process.h"

#include <cstdio>
#include <cstdlib>

namespace bellwick {

void QtProcess::end(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace bellwick
