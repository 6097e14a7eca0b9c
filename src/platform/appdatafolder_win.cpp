#include "appdatafolder.h"

#include <QDir>

#include <shlobj.h>
#include <windows.h>

namespace {

QString computeFolder()
{
    char path[MAX_PATH] = {};
    QString folder;
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, reinterpret_cast<HANDLE>(-1),
                                   SHGFP_TYPE_DEFAULT, path)))
        folder = QString::fromLocal8Bit(path) + QStringLiteral("\\Orvane\\QMX-MRL1\\");
    else
        folder = QStringLiteral("C:\\ProgramData\\Orvane\\QMX-MRL1\\");
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QString applicationDataFolder()
{
    static const QString folder = computeFolder();
    return folder;
}
