#include "qt/qt_settings_store.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bellwick {
namespace {

using ::testing::HasSubstr;

using namespace std::string_literals;

const std::string kSection = "SoundFile";
const std::string kKey = "Sound";

// QSettings caches files by name for the whole process, so every test gets
// a file of its own.
std::string freshApplication()
{
    static int count = 0;
    return "KV Bellwick test " + std::to_string(++count);
}

QString path(const std::string& application)
{
    return QFile::decodeName(QByteArray::fromStdString(QtSettingsStore::filePath(application)));
}

QByteArray contents(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void write(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

// What a file looks like on disk, to prove nothing rewrote it.
struct Snapshot {
    explicit Snapshot(const QString& file)
        : bytes(contents(file)), modified(QFileInfo(file).lastModified()), inode(inodeOf(file))
    {
    }
    static ino_t inodeOf(const QString& file)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_ino : 0;
    }
    bool operator==(const Snapshot&) const = default;
    QByteArray bytes;
    QDateTime modified;
    ino_t inode;
};

std::ostream& operator<<(std::ostream& os, const Snapshot& s)
{
    return os << s.bytes.toStdString() << " (inode " << s.inode << ")";
}

class SettingsStoreTest : public ::testing::Test {
protected:
    std::string application = freshApplication();
    QString file = path(application);
    QtSettingsStore store;

    void TearDown() override { QFile::remove(file); }
};

TEST_F(SettingsStoreTest, FileIsTheApplicationNameInTheConfigFolder)
{
    const QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    ASSERT_FALSE(config.isEmpty());
    EXPECT_EQ(path("KV Bellwick"), config + QStringLiteral("/KV Bellwick.ini"));

    store.save(application, kSection, kKey, "/home/me/alarm.wav");
    EXPECT_EQ(contents(file), QByteArray("[SoundFile]\nSound=/home/me/alarm.wav\n"));
}

struct RoundTrip {
    const char* name;
    std::string value;
    bool plainText;  // stored as readable text rather than @ByteArray(...)
};

std::ostream& operator<<(std::ostream& os, const RoundTrip& c) { return os << c.name; }

// The file and whatever lies next to it under a longer name.
QStringList filesNamedLike(const QString& file)
{
    const QFileInfo info(file);
    return info.dir().entryList({info.fileName() + QStringLiteral("*")}, QDir::Files | QDir::Hidden);
}

// Whether the Sound entry is written as @ByteArray(...) rather than as text.
bool storedAsBytes(const QByteArray& file)
{
    const qsizetype at = file.indexOf("\nSound=");
    if (at < 0) return false;
    QByteArray value = file.mid(at + 7);
    if (value.startsWith('"')) value.remove(0, 1);
    return value.startsWith("@ByteArray(");
}

class SettingsRoundTrip : public SettingsStoreTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(SettingsRoundTrip, ReadsBackWhatWasSaved)
{
    const RoundTrip& c = GetParam();
    store.save(application, kSection, kKey, c.value);
    EXPECT_EQ(QtSettingsStore().read(application, kSection, kKey, "fallback"), c.value);

    EXPECT_EQ(storedAsBytes(contents(file)), !c.plainText) << contents(file).toStdString();
    EXPECT_THAT(filesNamedLike(file), ::testing::ElementsAre(QFileInfo(file).fileName()));
}

TEST_P(SettingsRoundTrip, KeepsTheOtherEntries)
{
    store.save(application, kSection, "Before", "one");
    store.save(application, "Other", kKey, "two");
    store.save(application, kSection, kKey, GetParam().value);
    store.save(application, kSection, "After", "three");

    QtSettingsStore reader;
    EXPECT_EQ(reader.read(application, kSection, "Before", ""), "one");
    EXPECT_EQ(reader.read(application, "Other", kKey, ""), "two");
    EXPECT_EQ(reader.read(application, kSection, kKey, ""), GetParam().value);
    EXPECT_EQ(reader.read(application, kSection, "After", ""), "three");
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsRoundTrip,
    ::testing::Values(RoundTrip{"Path", "/home/me/alarm.wav", true}, RoundTrip{"Empty", "", true},
                      RoundTrip{"OneSpace", " ", true}, RoundTrip{"OuterSpaces", "  /home/me/a b.wav  ", true},
                      RoundTrip{"NonAscii", "/home/m\xc3\xa9/Wecker \xc3\xa4\xc3\xb6\xc3\xbc \xe2\x82\xac.wav", true},
                      RoundTrip{"Emoji", "/home/me/\xf0\x9f\x98\x80.mp3", true}, RoundTrip{"Equals", "a=b==c", true},
                      RoundTrip{"Semicolon", ";a;b", true}, RoundTrip{"Comma", "a,b, c", true},
                      RoundTrip{"Hash", "#not a comment", true}, RoundTrip{"Section", "[x]", true},
                      RoundTrip{"SectionLine", "x\n[SoundFile]\nSound=y", true},
                      RoundTrip{"Backslashes", "\\\\server\\share\\a.wav\\", true},
                      RoundTrip{"Quotes", "\"a\" 'b' \"", true}, RoundTrip{"Newlines", "line1\nline2\r\nline3\n", true},
                      RoundTrip{"Controls", "\t\x01\x1f\x7f", true},
                      RoundTrip{"Nul",
                                "a\0"s
                                "1b",
                                true},
                      RoundTrip{"HexAfterEscape",
                                "\x01"
                                "abc",
                                true},
                      RoundTrip{"LooksLikeByteArray", "@ByteArray(abc)", true},
                      RoundTrip{"LooksLikeVariant", "@Variant(\\0\\0\\0\\x7f)", true}, RoundTrip{"At", "@", true},
                      RoundTrip{"Percent", "%20%U0041", true}, RoundTrip{"BomInside", "x\xef\xbb\xbf", true},
                      // QString::fromUtf8 drops a leading byte order mark.
                      RoundTrip{"LeadingBom", "\xef\xbb\xbfx", false},
                      RoundTrip{"LongPath", "/home/me/" + std::string(4096, 'a') + ".wav", true},
                      RoundTrip{"Latin1", "/home/me/caf\xe9.wav", false},
                      RoundTrip{"InvalidBytes", "\xff\xfe\x80", false},
                      RoundTrip{"TruncatedSequence", "abc\xc3", false}, RoundTrip{"Overlong", "\xc0\xaf", false},
                      RoundTrip{"Surrogate", "\xed\xa0\x80", false},
                      RoundTrip{"BytesWithIniSyntax", "\xff =;#[x]\n\"\\ \0end"s, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReadCase {
    const char* name;
    std::optional<QByteArray> file;  // nothing: no file at all
    std::string expected;            // for fallback "fallback"
};

std::ostream& operator<<(std::ostream& os, const ReadCase& c) { return os << c.name; }

class SettingsRead : public SettingsStoreTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsRead, GivesTheFallbackOnlyForAnAbsentEntry)
{
    const ReadCase& c = GetParam();
    if (c.file) write(file, *c.file);
    EXPECT_EQ(store.read(application, kSection, kKey, "fallback"), c.expected);
    EXPECT_EQ(QFileInfo::exists(file), c.file.has_value());
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsRead,
                         ::testing::Values(ReadCase{"NoFile", std::nullopt, "fallback"},
                                           ReadCase{"EmptyFile", QByteArray(), "fallback"},
                                           ReadCase{"OtherKey", "[SoundFile]\nVolume=3\n", "fallback"},
                                           ReadCase{"OtherSection", "[Other]\nSound=x\n", "fallback"},
                                           ReadCase{"EmptyValue", "[SoundFile]\nSound=\n", ""},
                                           ReadCase{"EmptyQuoted", "[SoundFile]\nSound=\"\"\n", ""},
                                           ReadCase{"Value", "[SoundFile]\nSound=/a.wav\n", "/a.wav"},
                                           ReadCase{"SpacesAroundEquals", "[SoundFile]\nSound = /a.wav \n", "/a.wav"},
                                           ReadCase{"CrLf", "[SoundFile]\r\nSound=/a.wav\r\n", "/a.wav"},
                                           ReadCase{"UnquotedComma", "[SoundFile]\nSound=/a, b.wav\n", "/a, b.wav"},
                                           ReadCase{"Bytes", "[SoundFile]\nSound=@ByteArray(\\xff)\n", "\xff"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Garbage {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const Garbage& g, std::ostream* os) { *os << g.name; }

class SettingsGarbage : public SettingsStoreTest, public ::testing::WithParamInterface<Garbage> {};

TEST_P(SettingsGarbage, ReadingNeitherCrashesNorRewrites)
{
    write(file, GetParam().bytes);
    const Snapshot before(file);
    {
        QtSettingsStore reader;
        reader.read(application, kSection, kKey, "fallback");
        reader.read(application, "Other", "Key", "fallback");
        EXPECT_EQ(Snapshot(file), before);
    }
    EXPECT_EQ(Snapshot(file), before);
}

QByteArray noise()
{
    QByteArray bytes;
    unsigned state = 12345;
    for (int i = 0; i < 8192; ++i) {
        state = state * 1103515245u + 12345u;
        bytes += static_cast<char>(state >> 16);
    }
    return bytes;
}

const Garbage kGarbage[] = {
    {"RandomBytes", noise()},
    {"UnclosedSection", QByteArray("[SoundFile\nSound=x\n")},
    {"NulBytes", QByteArray::fromStdString("\0\0\0\0[\0]\0=\0"s)},
    {"OnlyBrackets", QByteArray("]]]]====[[[[\n=\n=x\n")},
    {"UnterminatedQuote", QByteArray("[SoundFile]\nSound=\"unterminated\\\n")},
    {"BrokenByteArray", QByteArray("[SoundFile]\nSound=@ByteArray(\\x\n")},
    {"BrokenVariant", QByteArray("[SoundFile]\nSound=@Variant(\\0\\0\\0\\x7f\\0)\n")},
    {"HundredThousandBrackets", QByteArray(100000, '[')},
};

INSTANTIATE_TEST_SUITE_P(Files, SettingsGarbage, ::testing::ValuesIn(kGarbage),
                         [](const auto& info) { return std::string(info.param.name); });

// Makes a folder read-only for this process: as root, by running as nobody
// until destroyed (the saved user id stays root, so it can come back);
// otherwise by taking away the write permission.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : folder_(QFile::encodeName(folder))
    {
        if (geteuid() == 0)
            asNobody_ = setresuid(65534, 65534, 0) == 0;
        else
            ::chmod(folder_.constData(), 0555);
    }
    ~ReadOnlyFolder()
    {
        if (asNobody_)
            EXPECT_EQ(setresuid(0, 0, 0), 0);
        else if (geteuid() != 0)
            ::chmod(folder_.constData(), 0755);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QByteArray folder_;
    bool asNobody_ = false;
};

// Caps file size so that writing the new file fails half way, as on a full
// disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*signal_)(int) = SIG_DFL;
};

struct FailedSave {
    const char* name;
    QByteArray existing;  // the file before the save; empty: none
    std::string value;
    // Sets up the trouble, which lasts as long as the returned object.
    std::function<std::shared_ptr<void>(const QString& file)> trouble;
    std::string reason;
    std::string readAfterwards;
};

std::ostream& operator<<(std::ostream& os, const FailedSave& c) { return os << c.name; }

class SettingsFailedSave : public SettingsStoreTest, public ::testing::WithParamInterface<FailedSave> {
protected:
    void TearDown() override
    {
        QFileInfo info(file);
        if (info.isDir()) QDir(file).removeRecursively();
        SettingsStoreTest::TearDown();
    }
};

TEST_P(SettingsFailedSave, ThrowsWithTheReasonAndKeepsTheFile)
{
    const FailedSave& c = GetParam();
    if (!c.existing.isEmpty()) write(file, c.existing);
    const Snapshot before(file);
    {
        const auto trouble = c.trouble(file);
        try {
            QtSettingsStore().save(application, kSection, kKey, c.value);
            ADD_FAILURE() << "saved despite the trouble";
        } catch (const SaveError& e) {
            EXPECT_THAT(e.what(), HasSubstr("cannot write " + QFile::encodeName(file).toStdString() + ": "));
            EXPECT_THAT(e.what(), HasSubstr(c.reason));
        }
        EXPECT_EQ(Snapshot(file).bytes, before.bytes);
        EXPECT_EQ(QtSettingsStore().read(application, kSection, kKey, "fallback"), c.readAfterwards);
    }
    // Once the trouble is gone nothing unsaved turns up or gets written.
    const Snapshot after(file);
    EXPECT_EQ(after.bytes, before.bytes);
    EXPECT_EQ(QtSettingsStore().read(application, kSection, kKey, "fallback"), c.readAfterwards);
    EXPECT_EQ(Snapshot(file), after);
    EXPECT_THAT(filesNamedLike(file), ::testing::SizeIs(QFileInfo(file).isFile() ? 1 : 0));
}

const QByteArray kOld = "[SoundFile]\nSound=/old.wav\n";

// Built by appending: GCC 12 reports a false -Wrestrict for "/" + string + ".wav".
std::string longPath()
{
    std::string path = "/";
    path.append(4096, 'n').append(".wav");
    return path;
}

INSTANTIATE_TEST_SUITE_P(
    Troubles, SettingsFailedSave,
    ::testing::Values(
        FailedSave{"ReadOnlyFolder", kOld, "/new.wav",
                   [](const QString& file) { return std::make_shared<ReadOnlyFolder>(QFileInfo(file).absolutePath()); },
                   "Permission denied", "/old.wav"},
        FailedSave{"ReadOnlyFolderNoFile",
                   {},
                   "/new.wav",
                   [](const QString& file) { return std::make_shared<ReadOnlyFolder>(QFileInfo(file).absolutePath()); },
                   "Permission denied",
                   "fallback"},
        FailedSave{"InvalidFile", "[SoundFile\nSound=/old.wav\n", "/new.wav",
                   [](const QString&) { return std::shared_ptr<void>(); }, "the settings file is not valid",
                   "/old.wav"},
        FailedSave{"FileIsAFolder",
                   {},
                   "/new.wav",
                   [](const QString& file) {
                       QDir().mkpath(file);
                       return std::shared_ptr<void>();
                   },
                   "is a directory",
                   "fallback"},
        FailedSave{"WriteCutShort", kOld, longPath(),
                   [](const QString&) { return std::make_shared<FileSizeLimit>(1024); }, "File too large", "/old.wav"},
        FailedSave{"CopyCutShort", "[SoundFile]\nSound=" + QByteArray::fromStdString(longPath()) + "\n", "/new.wav",
                   [](const QString&) { return std::make_shared<FileSizeLimit>(1024); }, "File too large", longPath()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsStoreTest, FolderThatIsAFileIsTold)
{
    const std::string nested = application + " dir/KV Bellwick";
    const QString blocker = QFileInfo(path(nested)).absolutePath();
    write(blocker, "not a folder");
    try {
        store.save(nested, kSection, kKey, "x");
        ADD_FAILURE() << "saved below a file";
    } catch (const SaveError& e) {
        EXPECT_THAT(e.what(), HasSubstr(": Not a directory"));
    }
    EXPECT_EQ(contents(blocker), QByteArray("not a folder"));
    QFile::remove(blocker);
}

TEST_F(SettingsStoreTest, SeesEditsMadeBetweenCalls)
{
    store.save(application, kSection, kKey, "/first.wav");
    EXPECT_EQ(store.read(application, kSection, kKey, ""), "/first.wav");
    write(file, "[SoundFile]\nSound=/edited by hand.wav\n");
    EXPECT_EQ(store.read(application, kSection, kKey, ""), "/edited by hand.wav");
    store.save(application, kSection, kKey, "/second.wav");
    EXPECT_EQ(contents(file), QByteArray("[SoundFile]\nSound=/second.wav\n"));
}

// The new file keeps the old one's permissions, and is younger: QSettings
// answers reads from its cache while a file's size and time stay the same,
// and a save in the same tick of the clock would keep the time.
TEST_F(SettingsStoreTest, SavedFileTakesOverFromTheOldOne)
{
    store.save(application, kSection, kKey, "/a.wav");
    const QDateTime ahead = QFileInfo(file).lastModified().addSecs(3600);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ASSERT_TRUE(f.setFileTime(ahead, QFileDevice::FileModificationTime));
        ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    }
    store.save(application, kSection, kKey, "/b.wav");
    EXPECT_GT(QFileInfo(file).lastModified(), ahead);
    EXPECT_EQ(QFileInfo(file).permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

// Saves in two threads take turns: none loses another's entry, and none
// takes another's copy for a killed save's leftover.
TEST_F(SettingsStoreTest, SavesAtOnceKeepEachOthersEntries)
{
    const auto saveKeys = [this](const std::string& prefix) {
        for (int i = 0; i < 10; ++i)
            QtSettingsStore().save(application, kSection, prefix + std::to_string(i), "x");
    };
    std::thread other(saveKeys, "Other");
    saveKeys("Mine");
    other.join();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(store.read(application, kSection, "Other" + std::to_string(i), ""), "x") << i;
        EXPECT_EQ(store.read(application, kSection, "Mine" + std::to_string(i), ""), "x") << i;
    }
}

TEST_F(SettingsStoreTest, LinkToTheFileStays)
{
    const QString target = file + QStringLiteral(" target");
    write(target, kOld);
    ASSERT_TRUE(QFile::link(target, file));
    store.save(application, kSection, kKey, "/new.wav");
    EXPECT_TRUE(QFileInfo(file).isSymLink());
    EXPECT_EQ(contents(target), QByteArray("[SoundFile]\nSound=/new.wav\n"));
    QFile::remove(target);
}

}  // namespace
}  // namespace bellwick
