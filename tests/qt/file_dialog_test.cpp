#include "qt/qt_file_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace bellwick {
namespace {

using ::testing::ElementsAreArray;
using ::testing::UnorderedElementsAreArray;

const std::string kSoundFilter = "Sound Resources (*.wav;*.mp3;)|*.wav;*.mp3;|All files|*.*";

// Runs open() and, once Qt's dialog is up, hands it to act, which must
// accept or reject it.
void whileOpen(QtFileDialog& dialog, const std::function<void(QFileDialog&)>& act)
{
    QTimer::singleShot(0, qApp, [&] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (shown == nullptr) {
            ADD_FAILURE() << "no modal file dialog";
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
            }
            return;
        }
        act(*shown);
    });
    dialog.open();
}

QStringList shownFilters(const QFileDialog& dialog)
{
    QStringList texts;
    if (const auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        for (int i = 0; i < combo->count(); ++i)
            texts += combo->itemText(i);
    }
    return texts;
}

// The files the dialog lists in folder under its filter-th name filter,
// once the folder has been read.
QStringList listedFiles(QFileDialog& dialog, const QString& folder, int filter)
{
    if (filter >= dialog.nameFilters().size()) {
        ADD_FAILURE() << "no name filter " << filter;
        return {};
    }
    dialog.selectNameFilter(dialog.nameFilters().at(filter));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (model == nullptr) {
        ADD_FAILURE() << "dialog has no file system model";
        return {};
    }
    QEventLoop loaded;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &loaded, [&](const QString& path) {
        if (QDir::cleanPath(path) == QDir::cleanPath(folder)) loaded.quit();
    });
    dialog.setDirectory(folder);
    loaded.exec();

    QStringList names;
    const QModelIndex parent = model->index(folder);
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (!model->isDir(index) && (model->flags(index) & Qt::ItemIsEnabled)) names += model->fileName(index);
    }
    return names;
}

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        qputenv("HOME", QFile::encodeName(home.path()));
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("sounds")));
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("more")));
        for (const QString& name : {QStringLiteral("alarm.WAV"), QStringLiteral("Song.Mp3"), QStringLiteral("tone.wav"),
                                    QStringLiteral("notes.txt"), QStringLiteral("README"), QStringLiteral("wav")})
            touch(sounds() + u'/' + name);
        touch(more() + QStringLiteral("/bell.wav"));
    }
    void TearDown() override { qputenv("HOME", saved); }

    static void touch(const QString& file)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString sounds() const { return home.path() + QStringLiteral("/sounds"); }
    QString more() const { return home.path() + QStringLiteral("/more"); }

    QByteArray saved = qgetenv("HOME");
    QTemporaryDir home;
    QtFileDialog dialog;
};

TEST_F(FileDialogTest, IsAModalOpenDialogForOneExistingFileThatMayBeTheDesktops)
{
    dialog.setTitle("Choose a sound \xe2\x99\xaa");
    dialog.setFilter(kSoundFilter);
    bool seen = false;
    whileOpen(dialog, [&](QFileDialog& d) {
        seen = true;
        EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Choose a sound \xe2\x99\xaa"));
        EXPECT_TRUE(d.isModal());
        EXPECT_FALSE(d.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(d.selectedNameFilter(), QStringLiteral("Sound Resources (*.wav;*.mp3;)"));
        EXPECT_EQ(d.parentWidget(), nullptr);
        d.reject();
    });
    EXPECT_TRUE(seen);
}

TEST_F(FileDialogTest, BelongsToTheMainWindow)
{
    QWidget window;
    dialog.setParentWindow(&window);
    const QWidget* parent = nullptr;
    whileOpen(dialog, [&](QFileDialog& d) {
        parent = d.parentWidget();
        d.reject();
    });
    EXPECT_EQ(parent, &window);
}

struct FilterCase {
    const char* name;
    std::string filter;
    std::vector<QString> shown;                // what the filter box offers
    std::vector<std::vector<QString>> listed;  // what each entry lists in sounds/
};

std::ostream& operator<<(std::ostream& os, const FilterCase& c) { return os << c.name; }

class FileDialogFilter : public FileDialogTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(FileDialogFilter, OffersTheDescriptionsAndListsMatchingFilesInAnyCase)
{
    const FilterCase& c = GetParam();
    dialog.setFilter(c.filter);
    for (std::size_t i = 0; i < c.listed.size(); ++i) {
        SCOPED_TRACE(i);
        QStringList shown;
        QStringList listed;
        whileOpen(dialog, [&](QFileDialog& d) {
            shown = shownFilters(d);
            listed = listedFiles(d, sounds(), static_cast<int>(i));
            d.reject();
        });
        EXPECT_THAT(shown, ElementsAreArray(c.shown));
        EXPECT_THAT(listed, UnorderedElementsAreArray(c.listed[i]));
    }
}

const std::vector<QString> kAllFiles = {"alarm.WAV", "Song.Mp3", "tone.wav", "notes.txt", "README", "wav"};

INSTANTIATE_TEST_SUITE_P(
    Filters, FileDialogFilter,
    ::testing::Values(
        FilterCase{"Sounds",
                   kSoundFilter,
                   {"Sound Resources (*.wav;*.mp3;)", "All files"},
                   {{"alarm.WAV", "Song.Mp3", "tone.wav"}, kAllFiles}},
        FilterCase{
            "UpperCasePatternsWithSpaces", "Loud| *.WAV ; ;*.MP3 ", {"Loud"}, {{"alarm.WAV", "Song.Mp3", "tone.wav"}}},
        FilterCase{"OnePattern",
                   "Text (*.txt)|*.txt|Sounds|*.wav",
                   {"Text (*.txt)", "Sounds"},
                   {{"notes.txt"}, {"alarm.WAV", "tone.wav"}}},
        FilterCase{"Wildcards", "T or W|t*;?av|Star|*", {"T or W", "Star"}, {{"tone.wav", "wav"}, kAllFiles}},
        FilterCase{"NoPatterns", "Nothing given|;;", {"Nothing given"}, {kAllFiles}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Step {
    enum Action { Cancel, Choose } action;
    QString file;               // under the home folder, for Choose
    QString startFolder;        // under the home folder; empty: the home folder
    std::string fileNameAfter;  // under the home folder; empty: none
};

struct RememberCase {
    const char* name;
    std::vector<Step> steps;
};

std::ostream& operator<<(std::ostream& os, const RememberCase& c) { return os << c.name; }

class FileDialogRemembers : public FileDialogTest, public ::testing::WithParamInterface<RememberCase> {};

TEST_P(FileDialogRemembers, KeepsTheChoiceAcrossCancelsAndStartsInItsFolder)
{
    dialog.setFilter(kSoundFilter);
    const QString root = home.path() + u'/';
    int number = 0;
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE(++number);
        QString start;
        whileOpen(dialog, [&](QFileDialog& d) {
            start = d.directory().absolutePath();
            if (step.action == Step::Cancel) {
                d.reject();
                return;
            }
            d.selectFile(root + step.file);
            static_cast<QDialog&>(d).accept();  // QFileDialog checks the file first
        });
        EXPECT_EQ(start, QDir::cleanPath(root + step.startFolder));
        EXPECT_EQ(dialog.fileName(), step.fileNameAfter.empty()
                                         ? std::string()
                                         : QFile::encodeName(root).toStdString() + step.fileNameAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(Sequences, FileDialogRemembers,
                         ::testing::Values(RememberCase{"CancelFirst",
                                                        {{Step::Cancel, {}, {}, ""}, {Step::Cancel, {}, {}, ""}}},
                                           RememberCase{"ChooseThenCancel",
                                                        {{Step::Choose, "sounds/tone.wav", {}, "sounds/tone.wav"},
                                                         {Step::Cancel, {}, "sounds", "sounds/tone.wav"},
                                                         {Step::Cancel, {}, "sounds", "sounds/tone.wav"}}},
                                           RememberCase{"ChooseTwice",
                                                        {{Step::Choose, "sounds/Song.Mp3", {}, "sounds/Song.Mp3"},
                                                         {Step::Choose, "more/bell.wav", "sounds", "more/bell.wav"},
                                                         {Step::Cancel, {}, "more", "more/bell.wav"}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileDialogTest, StartsAtHomeWhenTheChosenFolderIsGone)
{
    whileOpen(dialog, [&](QFileDialog& d) {
        d.selectFile(more() + QStringLiteral("/bell.wav"));
        static_cast<QDialog&>(d).accept();  // QFileDialog checks the file first
    });
    ASSERT_TRUE(QDir(more()).removeRecursively());
    QString start;
    whileOpen(dialog, [&](QFileDialog& d) {
        start = d.directory().absolutePath();
        d.reject();
    });
    EXPECT_EQ(start, home.path());
    EXPECT_EQ(dialog.fileName(), QFile::encodeName(more() + QStringLiteral("/bell.wav")).toStdString());
}

}  // namespace
}  // namespace bellwick
