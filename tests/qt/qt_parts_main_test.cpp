// Runs the Qt platform tests inside a QApplication, with the settings and
// home folders moved to a private temporary folder.
#include <QApplication>
#include <QByteArray>
#include <QDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/stat.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleMock(&argc, argv);
    // Listing the cases needs no display.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    // QSettings reads XDG_CONFIG_HOME once, on first use. Others may read the
    // folders too, for the tests that run as another user.
    std::string root = (QDir::tempPath() + QStringLiteral("/bellwick-qt-XXXXXX")).toStdString();
    if (mkdtemp(root.data()) == nullptr) return 2;
    chmod(root.c_str(), 0755);
    const std::string config = root + "/config";
    const std::string home = root + "/home";
    mkdir(config.c_str(), 0755);
    mkdir(home.c_str(), 0755);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("HOME", home.c_str(), 1);

    int result = 0;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    QDir(QString::fromStdString(root)).removeRecursively();
    return result;
}
