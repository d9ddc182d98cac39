#include "diag/logfile.h"

#include "common/numbertext.h"
#include "common/runerror.h"

#include <QFile>
#include <QFileInfo>

QString LogFile::defaultPath() {
    return QStringLiteral("Log.ini");
}

QString LogFile::header(const QDateTime& now) {
    return QStringLiteral("Logfile Generated:") + NumberText::fromDateTime(now);
}

void LogFile::append(const QString& path, const QStringList& entries, const QDateTime& now) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        const bool denied = file.error() == QFileDevice::PermissionsError;
        throw RunError(denied ? RunError::PermissionDenied : RunError::PathFileAccess,
                       QStringLiteral("%1: %2").arg(name, file.errorString()));
    }
    QByteArray block = header(now).toLocal8Bit() + "\r\n";
    for (const QString& entry : entries)
        block += entry.toLocal8Bit() + "\r\n";
    const qint64 written = file.write(block);
    if (written != block.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        throw RunError(RunError::DiskFull, QStringLiteral("%1: %2").arg(name, reason));
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw RunError(RunError::DiskFull, QStringLiteral("%1: %2").arg(name, file.errorString()));
}
