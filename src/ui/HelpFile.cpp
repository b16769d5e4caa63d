#include "ui/HelpFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#ifndef TAVRIGON_DATA_RELATIVE
#define TAVRIGON_DATA_RELATIVE "../share/tavrigon"
#endif
#ifndef TAVRIGON_DATA_DIR
#define TAVRIGON_DATA_DIR "/usr/share/tavrigon"
#endif

QString HelpFile::locate(const QString& startDir)
{
    const QString name = QStringLiteral("/Vantro.hlp");
    const QString appDir = QCoreApplication::applicationDirPath();
    // The data folder relative to the executable follows an install to any prefix.
    const QString places[] = {startDir, appDir,
                              appDir + QStringLiteral("/") + QLatin1String(TAVRIGON_DATA_RELATIVE),
                              QLatin1String(TAVRIGON_DATA_DIR)};
    for (const QString& dir : places)
        if (QFileInfo(dir + name).isFile()) return QFileInfo(dir + name).absoluteFilePath();
    return startDir + name;
}
