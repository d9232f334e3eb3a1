// Widget tests need one QApplication for the whole run.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Also when ctest lists the cases, without the test's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Only the plugins the tests use (see CMakeLists.txt).
    QCoreApplication::setLibraryPaths({QStringLiteral(BELLWICK_TEST_QT_PLUGINS)});
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
