#pragma once

#include "ports/process.h"

namespace bellwick {

// Ends the process at once: output is flushed, no handler or destructor runs.
class QtProcess final : public Process {
public:
    [[noreturn]] void end(int status) override;
};

}  // namespace bellwick
