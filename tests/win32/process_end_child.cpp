// Writes to stdout, which is fully buffered on a pipe, then ends through
// Win32Process with the status given as its argument.
#include "win32/win32_process.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    std::printf("written before the end");
    bellwick::Win32Process().end(argc > 1 ? std::atoi(argv[1]) : 0);
}
