#pragma once
// The system's file-open dialog (GetOpenFileNameW).

#include "ports/file_dialog.h"

#include <string>

namespace bellwick {

// "Sound (*.wav)|*.wav|All files|*.*" in the system's form: description,
// NUL, patterns, NUL, ..., NUL, split by the core's filter rules (trimmed
// parts, no empty patterns, "*.*" for a pair without any). Empty when
// there is no pair at all.
std::wstring systemFilter(const std::string& filter);

// Modal to this thread's active window, for one existing file; does not
// change the current folder. The file name is kept between uses and opens
// the dialog in its folder; a cancel, or a dialog that could not be shown,
// keeps it.
class Win32FileDialog final : public FileDialog {
public:
    void setTitle(const std::string& title) override;
    void setFilter(const std::string& filter) override;
    void open() override;
    std::string fileName() const override;

    // Why the last open() showed no dialog (CommDlgExtendedError's code and
    // its name); empty after a choice or a cancel.
    const std::string& lastError() const { return lastError_; }

private:
    std::wstring title_;
    std::wstring filter_;
    std::wstring fileName_;
    std::string lastError_;
};

}  // namespace bellwick
