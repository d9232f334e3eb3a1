#pragma once

#include "ports/file_dialog.h"

#include <QPointer>
#include <QWidget>
#include <QString>
#include <QStringList>

#include <string>

namespace bellwick {

// The file-open dialog, modal, for one existing file: the desktop's own where
// Qt's platform theme offers one, else Qt's widget dialog. It remembers the
// chosen file between uses and starts in its folder, else in the home folder,
// with the first filter chosen. Each filter shows only its description;
// "*.*" lists every file, as on Windows. Qt's widget dialog matches names in
// either case.
class QtFileDialog final : public FileDialog {
public:
    // The window the dialog belongs to; none: a dialog of its own.
    void setParentWindow(QWidget* parent);
    void setTitle(const std::string& title) override;
    void setFilter(const std::string& filter) override;
    void open() override;
    // The path as the file system spells it (QFile::encodeName: UTF-8).
    std::string fileName() const override;

private:
    QPointer<QWidget> parent_;
    QString title_;
    QStringList filters_;
    QString fileName_;
};

}  // namespace bellwick
