#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ShippedFile(const QString& relative)
{
    const QDir program(QCoreApplication::applicationDirPath());
    const QString beside = program.absoluteFilePath(relative);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = program.absoluteFilePath(QStringLiteral("../share/varin/") + relative);
    return QFileInfo::exists(installed) ? QDir::cleanPath(installed) : beside;
}
