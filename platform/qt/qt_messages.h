#pragma once

#include "ports/messages.h"

#include <string_view>

namespace bellwick {

// A modal QMessageBox with one OK button; an icon part of vbCritical shows the
// critical icon, anything else none. The text is shown as plain text.
class QtMessages final : public Messages {
public:
    void show(std::string_view text, std::string_view title, int style) override;
};

}  // namespace bellwick
