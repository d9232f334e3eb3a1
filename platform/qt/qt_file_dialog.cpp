#include "qt/qt_file_dialog.h"

#include "text/filter.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <string_view>

namespace bellwick {

namespace {

// "*.*" means every file, as on Windows; to Qt it means names with a dot.
QString qtPattern(const QString& pattern) { return pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern; }

// One QFileDialog name filter per description/pattern pair.
QStringList qtNameFilters(std::string_view filter)
{
    QStringList result;
    for (const FilterEntry& entry : splitFilter(filter)) {
        QStringList patterns;
        for (const std::string& pattern : entry.patterns)
            patterns += qtPattern(QString::fromStdString(pattern));
        // QFileDialog takes the patterns from the last parentheses and,
        // with HideNameFilterDetails, shows only what comes before them,
        // trimmed. No space before them: the portal theme hands the
        // description on as it stands.
        result += QString::fromStdString(entry.description) + u'(' + patterns.join(u' ') + u')';
    }
    return result;
}

}  // namespace

void QtFileDialog::setParentWindow(QWidget* parent) { parent_ = parent; }

void QtFileDialog::setTitle(const std::string& title) { title_ = QString::fromStdString(title); }

void QtFileDialog::setFilter(const std::string& filter) { filters_ = qtNameFilters(filter); }

void QtFileDialog::open()
{
    // The desktop's own dialog where the platform theme offers one (portal,
    // GTK, KDE), else Qt's widget dialog.
    QFileDialog dialog(parent_);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setWindowTitle(title_);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!filters_.isEmpty()) {
        dialog.setNameFilters(filters_);
        dialog.selectNameFilter(filters_.first());
    }

    const QFileInfo previous(fileName_);
    if (!fileName_.isEmpty() && previous.absoluteDir().exists()) {
        dialog.setDirectory(previous.absolutePath());
        dialog.selectFile(previous.fileName());
    } else {
        dialog.setDirectory(QDir::homePath());
    }

    if (dialog.exec() != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty()) fileName_ = chosen.first();
}

std::string QtFileDialog::fileName() const { return QFile::encodeName(fileName_).toStdString(); }

}  // namespace bellwick
