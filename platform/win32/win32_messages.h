#pragma once

#include "ports/messages.h"

namespace bellwick {

// MessageBoxW with the style as given (vbCritical is MB_ICONHAND | MB_OK,
// vbOKOnly a bare OK box), owned by this thread's active window so that it
// is modal to it.
class Win32Messages final : public Messages {
public:
    void show(std::string_view text, std::string_view title, int style) override;
};

}  // namespace bellwick
