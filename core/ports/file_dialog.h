#pragma once

#include <string>

namespace bellwick {

class FileDialog {
public:
    virtual ~FileDialog() = default;
    virtual void setTitle(const std::string& title) = 0;
    // Alternating descriptions and patterns separated by "|".
    virtual void setFilter(const std::string& filter) = 0;
    // Shows the file-open dialog, modal; returns once the user has chosen
    // a file or cancelled. A cancel keeps the earlier file name.
    virtual void open() = 0;
    // The chosen file's path; empty when the dialog holds none.
    virtual std::string fileName() const = 0;
};

}  // namespace bellwick
