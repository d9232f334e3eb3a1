#pragma once

namespace bellwick {

class Process {
public:
    virtual ~Process() = default;
    // Ends the process at once; no handler runs afterwards.
    [[noreturn]] virtual void end(int status) = 0;
};

}  // namespace bellwick
