#include "qt/qt_settings_store.h"

#include "posix/folder_lock.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace bellwick {

namespace {

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::filesystem::path nativePath(const QString& file) { return QFile::encodeName(file).toStdString(); }

// The application name is the organization, with no application name, so
// that QSettings picks <config folder>/<application>.ini.
QSettings userSettings(std::string_view application)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, fromUtf8(application), QString());
}

// Text that survives QString unchanged goes in as a string; anything else
// (stray bytes of a non-UTF-8 file name) as raw bytes.
QVariant toVariant(std::string_view value)
{
    QByteArray bytes(value.data(), static_cast<qsizetype>(value.size()));
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() == bytes) return text;
    return bytes;
}

std::string toStdString(const QVariant& value)
{
    QByteArray bytes;
    switch (value.typeId()) {
    case QMetaType::QByteArray: bytes = value.toByteArray(); break;
    case QMetaType::QStringList:
        // An unquoted "a, b" typed by hand parses as a list.
        bytes = value.toStringList().join(QStringLiteral(", ")).toUtf8();
        break;
    default: bytes = value.toString().toUtf8(); break;
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Writes all of bytes to a file opened unbuffered. The system may take a
// write in part without an error; the rest is offered again, so that a
// failure comes with its reason.
bool writeAll(QFile& out, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = out.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) return false;
        done += written;
    }
    return true;
}

bool sameEntries(QSettings& a, QSettings& b)
{
    const QStringList keys = a.allKeys();
    return b.status() == QSettings::NoError && b.allKeys() == keys &&
           std::all_of(keys.begin(), keys.end(), [&](const QString& key) { return a.value(key) == b.value(key); });
}

// QSettings does not tell why its write came out short; one more byte
// written at its end asks the system (full disk, file size limit).
QString whyCutShort(const QString& file)
{
    QFile end(file);
    if (!end.open(QIODevice::Append | QIODevice::Unbuffered) || end.write("\n", 1) != 1) return end.errorString();
    return QStringLiteral("the file could not be written in full");
}

// The copies a save makes beside the file are named "<file>.saving-...";
// QSettings' lock and temporary files for them share that beginning.
QString copyPrefix(const QString& file) { return file + QStringLiteral(".saving-"); }

void removeLeftovers(const QString& file)
{
    QDir folder = QFileInfo(file).absoluteDir();
    const QString prefix = QFileInfo(copyPrefix(file)).fileName();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        if (name.startsWith(prefix)) folder.remove(name);
}

// Removes a save's copies when it ends; the one renamed over the file is
// gone by then.
struct Copies {
    QString edited, checked;
    ~Copies()
    {
        QFile::remove(edited);
        QFile::remove(checked);
    }
};

}  // namespace

std::string QtSettingsStore::filePath(std::string_view application)
{
    return QFile::encodeName(userSettings(application).fileName()).toStdString();
}

std::string QtSettingsStore::read(std::string_view application, std::string_view section, std::string_view key,
                                  std::string_view fallback)
{
    QSettings settings = userSettings(application);
    settings.beginGroup(fromUtf8(section));
    const QString name = fromUtf8(key);
    if (!settings.contains(name)) return std::string(fallback);
    return toStdString(settings.value(name));
}

void QtSettingsStore::save(std::string_view application, std::string_view section, std::string_view key,
                           std::string_view value)
{
    const QString file = userSettings(application).fileName();
    const auto fail = [&file](const QString& why) {
        throw SaveError("cannot write " + QDir::toNativeSeparators(file).toStdString() + ": " + why.toStdString());
    };
    // A symbolic link to the file stays; the file it leads to is replaced.
    QString target = QFileInfo(file).canonicalFilePath();
    if (target.isEmpty()) target = file;
    const QString folder = QFileInfo(target).absolutePath();
    std::error_code error;
    std::filesystem::create_directories(nativePath(folder), error);
    if (error) fail(QString::fromStdString(error.message()));

    // Every save holds the lock while its copies exist, so copies found under
    // it were left by a killed save. Without it the save goes on and leaves
    // them alone.
    const FolderLock lock(nativePath(folder).string(), std::chrono::seconds(5));
    if (lock.held()) removeLeftovers(target);

    const QFileInfo before(target);
    QByteArray old;
    if (before.exists()) {
        QFile in(target);
        if (!in.open(QIODevice::ReadOnly)) fail(in.errorString());
        old = in.readAll();
        if (in.error() != QFileDevice::NoError) fail(in.errorString());
    }
    const QString name = copyPrefix(target) + QString::number(QRandomGenerator::global()->generate64(), 36);
    const Copies copies{name, name + QStringLiteral(".checked")};
    QFile copy(copies.edited);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered) || !writeAll(copy, old))
        fail(copy.errorString());
    copy.close();

    // QSettings edits the copy, under a name it has never cached. Its own
    // write may come out short without an error (QSaveFile misses a failed
    // final flush, and a write the system takes in part, and renames the short
    // file in place), so the result is read back under a second new name and
    // compared.
    {
        QSettings edited(copies.edited, QSettings::IniFormat);
        // Writing would drop whatever part of the file did not parse.
        if (edited.status() == QSettings::FormatError) fail(QStringLiteral("the settings file is not valid"));
        edited.beginGroup(fromUtf8(section));
        edited.setValue(fromUtf8(key), toVariant(value));
        edited.endGroup();
        edited.sync();
        if (edited.status() != QSettings::NoError) fail(whyCutShort(copies.edited));
        std::filesystem::rename(nativePath(copies.edited), nativePath(copies.checked), error);
        if (error) fail(QString::fromStdString(error.message()));
        QSettings checked(copies.checked, QSettings::IniFormat);
        if (!sameEntries(edited, checked)) fail(whyCutShort(copies.checked));
    }

    if (before.exists()) {
        QFile::setPermissions(copies.checked, before.permissions());
        // QSettings answers reads from its cache while a file's size and time
        // stay the same, and a file written in the same clock tick as the old
        // one gets the same time.
        QFile made(copies.checked);
        const QDateTime after = before.lastModified().addMSecs(1);
        if (made.open(QIODevice::ReadOnly) && made.fileTime(QFileDevice::FileModificationTime) < after)
            made.setFileTime(after, QFileDevice::FileModificationTime);
    }
    std::filesystem::rename(nativePath(copies.checked), nativePath(target), error);
    if (error) fail(QString::fromStdString(error.message()));
}

}  // namespace bellwick
