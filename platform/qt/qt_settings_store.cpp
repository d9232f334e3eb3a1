#include "qt/qt_settings_store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QStorageInfo>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace bellwick {

namespace {

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The application name is the organization, with no application name, so
// that QSettings picks <config folder>/<application>.ini.
class Settings {
public:
    Settings(std::string_view application, std::string_view section)
        : settings_(QSettings::IniFormat, QSettings::UserScope, fromUtf8(application), QString())
    {
        settings_.beginGroup(fromUtf8(section));
    }
    QSettings& operator*() { return settings_; }
    QSettings* operator->() { return &settings_; }

private:
    QSettings settings_;
};

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

std::string failure(const QString& file, const std::string& why)
{
    return "cannot write " + QDir::toNativeSeparators(file).toStdString() + ": " + why;
}

std::string accessProblem(const QString& path, const std::string& what)
{
    const int error = errno;
    if (error == EROFS) return "the file system is read-only";
    if (error == EACCES || error == EPERM)
        return "access denied (" + what + " " + QDir::toNativeSeparators(path).toStdString() + " is read-only)";
    return what + " " + QDir::toNativeSeparators(path).toStdString() + ": " + std::strerror(error);
}

// Why writing the file would fail, before anything is changed; empty when no
// reason is known. Checked up front because QSettings keeps an unsaved change
// in its per-process cache and would write it on the next access.
std::string foreseenProblem(const QString& file)
{
    const QFileInfo info(file);
    if (info.exists()) {
        if (info.isDir()) return "it is a folder";
        if (::access(QFile::encodeName(file).constData(), W_OK) != 0)
            return errno == EROFS ? "the file system is read-only" : "access denied";
    }
    // The nearest folder that exists must take new entries: the saved file
    // is written next to the old one and renamed over it, and missing
    // folders are created.
    QString folder = info.absolutePath();
    while (!QFileInfo::exists(folder)) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder) break;
        folder = parent;
    }
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir()) return QDir::toNativeSeparators(folder).toStdString() + " is not a folder";
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0) return accessProblem(folder, "the folder");
    return {};
}

std::string unforeseenProblem(const QString& file)
{
    const QStorageInfo storage(QFileInfo(file).absolutePath());
    if (storage.isValid() && storage.isReadOnly()) return "the file system is read-only";
    if (storage.isValid() && storage.bytesAvailable() < 64 * 1024) return "the disk is full";
    return "the file could not be written";
}

// A second name for a file, in the same folder, for as long as it lives.
class Link {
public:
    Link(const QString& file, const char* purpose)
    {
        if (!QFileInfo::exists(file)) return;
        const QByteArray target = QFile::encodeName(file);
        // The owner's process id in the name tells a stray (its owner was
        // killed half-way) from a link another process is still using.
        for (int attempt = 0; attempt < 8 && name_.isEmpty(); ++attempt) {
            const QByteArray name = target + '.' + purpose + '-' + QByteArray::number(::getpid()) + '-' +
                                    QByteArray::number(QRandomGenerator::global()->generate(), 16);
            if (::link(target.constData(), name.constData()) == 0)
                name_ = name;
            else if (errno != EEXIST)
                break;
        }
    }
    ~Link()
    {
        if (!name_.isEmpty()) ::unlink(name_.constData());
    }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    bool exists() const { return !name_.isEmpty(); }
    QString name() const { return QFile::decodeName(name_); }
    // Puts the linked file back under the given name.
    bool moveTo(const QString& file)
    {
        if (name_.isEmpty() || ::rename(name_.constData(), QFile::encodeName(file).constData()) != 0) return false;
        name_.clear();
        return true;
    }

private:
    QByteArray name_;
};

bool processGone(pid_t pid) { return pid <= 0 || (::kill(pid, 0) != 0 && errno == ESRCH); }

// Whether a name in the settings folder is a leftover of a save killed
// half-way: a second name of ours whose process is gone, or (when no live
// process holds the settings lock) a temporary file of QSaveFile, named
// "<file>.XXXXXX".
bool isStray(const QString& entry, const QString& fileName, bool locked)
{
    for (const char* purpose : {"old", "check"}) {
        const QString prefix = fileName + u'.' + QLatin1String(purpose) + u'-';
        if (!entry.startsWith(prefix)) continue;
        bool numeric = false;
        const pid_t owner = entry.mid(prefix.size()).section(u'-', 0, 0).toInt(&numeric);
        return !numeric || processGone(owner);
    }
    const QString suffix = entry.mid(fileName.size() + 1);
    return !locked && entry.startsWith(fileName + u'.') && suffix.size() == 6 &&
           std::all_of(suffix.begin(), suffix.end(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; });
}

// QSettings writes under "<file>.lock" (and removes a stale one under
// "<file>.lock.rmlock"); the first line is the holder's process id. A killed
// writer leaves them behind.
bool lockedByLiveProcess(const QString& lockFile)
{
    QFile lock(lockFile);
    if (!lock.open(QIODevice::ReadOnly)) return false;
    bool numeric = false;
    const pid_t owner = lock.readLine(32).trimmed().toInt(&numeric);
    return numeric && !processGone(owner);
}

void removeStrays(const QString& file)
{
    const QFileInfo info(file);
    const QDir folder = info.absoluteDir();
    const bool locked = lockedByLiveProcess(file + QStringLiteral(".lock"));
    const QString rmlock = file + QStringLiteral(".lock.rmlock");
    if (QFileInfo::exists(rmlock) && !lockedByLiveProcess(rmlock)) QFile::remove(rmlock);
    for (const QString& entry : folder.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden))
        if (isStray(entry, info.fileName(), locked)) QFile::remove(folder.filePath(entry));
}

// Whether the file holds what the settings object believes it wrote. Opened
// under another name, QSettings parses the file afresh instead of answering
// from its cache.
bool writtenAsBelieved(const QString& file, QSettings& written)
{
    const Link alias(file, "check");
    if (!alias.exists()) return true;  // no hard links here: nothing to compare with
    QSettings disk(alias.name(), QSettings::IniFormat);
    written.endGroup();
    const QStringList keys = written.allKeys();
    if (disk.status() != QSettings::NoError || disk.allKeys() != keys) return false;
    for (const QString& key : keys) {
        if (disk.value(key) != written.value(key)) return false;
    }
    return true;
}

}  // namespace

std::string QtSettingsStore::filePath(std::string_view application)
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, fromUtf8(application), QString());
    return QFile::encodeName(settings.fileName()).toStdString();
}

std::string QtSettingsStore::read(std::string_view application, std::string_view section, std::string_view key,
                                  std::string_view fallback)
{
    Settings settings(application, section);
    removeStrays(settings->fileName());
    const QString name = fromUtf8(key);
    if (!settings->contains(name)) return std::string(fallback);
    return toStdString(settings->value(name));
}

void QtSettingsStore::save(std::string_view application, std::string_view section, std::string_view key,
                           std::string_view value)
{
    Settings settings(application, section);
    const QString file = settings->fileName();
    if (const std::string problem = foreseenProblem(file); !problem.empty()) throw SaveError(failure(file, problem));
    switch (settings->status()) {
    case QSettings::NoError: break;
    case QSettings::FormatError:
        // Writing would drop whatever part of it did not parse.
        throw SaveError(failure(file, "the settings file is not valid"));
    case QSettings::AccessError: throw SaveError(failure(file, "access denied"));
    }

    const QString name = fromUtf8(key);
    const bool existed = settings->contains(name);
    const QVariant previous = settings->value(name);
    // QSaveFile loses an error from its last write (disk full) and renames
    // the cut-short file over the old one, so the old one is kept under a
    // second name until the new one has been checked.
    const bool hadFile = QFileInfo::exists(file);
    Link backup(file, "old");
    settings->setValue(name, toVariant(value));
    settings->sync();
    if (settings->status() != QSettings::NoError) {
        // Nothing was renamed over the file; put the cached entry back so
        // later reads do not see the value that was never stored.
        if (existed)
            settings->setValue(name, previous);
        else
            settings->remove(name);
        throw SaveError(failure(file, unforeseenProblem(file)));
    }
    if (!writtenAsBelieved(file, *settings)) {
        if (backup.exists())
            backup.moveTo(file);
        else if (!hadFile)
            QFile::remove(file);
        throw SaveError(failure(file, unforeseenProblem(file)));
    }
}

}  // namespace bellwick
