// Saves arbitrary bytes as a setting and reads them back: they must come
// back unchanged. Runs in a private config folder.
#include "qt/qt_settings_store.h"

#include <QByteArray>
#include <QDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string folder;

void removeFolder() { QDir(QString::fromStdString(folder)).removeRecursively(); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // QSettings reads XDG_CONFIG_HOME once, on first use.
    folder = (QDir::tempPath() + QStringLiteral("/bellwick-fuzz-XXXXXX")).toStdString();
    if (mkdtemp(folder.data()) == nullptr) std::abort();
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    std::atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string value(reinterpret_cast<const char*>(data), size);
    bellwick::QtSettingsStore store;
    store.save("KV Bellwick", "SoundFile", "Sound", value);
    if (bellwick::QtSettingsStore().read("KV Bellwick", "SoundFile", "Sound", "absent") != value) std::abort();
    return 0;
}
