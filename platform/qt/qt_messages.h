#pragma once

#include "ports/messages.h"

#include <QPointer>
#include <QWidget>

#include <string_view>

namespace bellwick {

// A modal QMessageBox with one OK button; an icon part of vbCritical shows the
// critical icon, anything else none. The text is shown as plain text.
class QtMessages final : public Messages {
public:
    // The window the boxes belong to; none: boxes of their own.
    void setParentWindow(QWidget* parent);
    void show(std::string_view text, std::string_view title, int style) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace bellwick
