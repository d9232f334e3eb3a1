#include "qt/qt_file_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <string_view>

namespace bellwick {

namespace {

// "*.*" means every file, as on Windows; to Qt it means names with a dot.
QString qtPattern(const QString& pattern) { return pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern; }

// "Sound Resources (*.wav;*.mp3;)|*.wav;*.mp3;|All files|*.*" becomes one
// QFileDialog name filter per description/pattern pair.
QStringList qtNameFilters(std::string_view filter)
{
    const QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            if (const QString trimmed = pattern.trimmed(); !trimmed.isEmpty()) patterns += qtPattern(trimmed);
        }
        if (patterns.isEmpty()) patterns += QStringLiteral("*");
        // QFileDialog takes the patterns from the last parentheses and,
        // with HideNameFilterDetails, shows only what comes before them.
        result += parts[i].trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

}  // namespace

void QtFileDialog::setTitle(const std::string& title) { title_ = QString::fromStdString(title); }

void QtFileDialog::setFilter(const std::string& filter) { filters_ = qtNameFilters(filter); }

void QtFileDialog::open()
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setWindowTitle(title_);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!filters_.isEmpty()) dialog.setNameFilters(filters_);

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
