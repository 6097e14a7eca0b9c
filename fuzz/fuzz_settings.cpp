// Arbitrary bytes as the operator's settings file: written to a private file and loaded, then
// saved again, as the program does at start and on every change.
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

const QTemporaryDir &workDir()
{
    static QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("tarsa-fuzz-settings-XXXXXX")));
    // The settings folder is made under the data folder: keep it out of the user's own.
    static const bool once = qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    Q_UNUSED(once)
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 1024 * 1024)
        return 0;
    const QString path = workDir().filePath(QStringLiteral("Settings.xml"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    Settings settings;
    if (!settings.load(path))
        return 0;
    // Whatever was accepted once must be written back in a form that loads again.
    const QString saved = workDir().filePath(QStringLiteral("Saved.xml"));
    if (settings.save(saved)) {
        Settings reloaded;
        if (!reloaded.load(saved))
            __builtin_trap();
    }
    return 0;
}
