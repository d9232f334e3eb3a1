#pragma once

#include "ports/process.h"

namespace bellwick {

// Ends the process at once with ExitProcess, after flushing the C streams.
class Win32Process final : public Process {
public:
    [[noreturn]] void end(int status) override;
};

}  // namespace bellwick
