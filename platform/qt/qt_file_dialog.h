#pragma once

#include "ports/file_dialog.h"

#include <QString>
#include <QStringList>

#include <string>

namespace bellwick {

// Qt's own file-open dialog (never the desktop's), modal, for one existing
// file. It remembers the chosen file between uses and starts in its folder,
// else in the home folder. Each filter shows only its description; "*.*"
// lists every file, as on Windows. Qt's dialog matches names in either case.
class QtFileDialog final : public FileDialog {
public:
    void setTitle(const std::string& title) override;
    void setFilter(const std::string& filter) override;
    void open() override;
    // The path as the file system spells it (QFile::encodeName: UTF-8).
    std::string fileName() const override;

private:
    QString title_;
    QStringList filters_;
    QString fileName_;
};

}  // namespace bellwick
