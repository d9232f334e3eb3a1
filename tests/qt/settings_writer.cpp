// Saves two values in turn, forever; the kill test stops it at random.
#include "qt/qt_settings_store.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) return 2;
    bellwick::QtSettingsStore store;
    const std::string values[] = {argv[1], argv[2]};
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (unsigned long n = 0;; ++n)
        store.save("KV Bellwick", "SoundFile", "Sound", values[n % 2]);
}
