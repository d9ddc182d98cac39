#pragma once

#include "export/exportcommand.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <utility>

// morvane-export run in this process on blank-separated arguments: its exit
// status, and standard output when it is 0, standard error otherwise.
inline std::pair<int, QByteArray> exportWith(const QString& args) {
    QByteArray out, err;
    QBuffer o(&out), e(&err);
    o.open(QIODevice::WriteOnly);
    e.open(QIODevice::WriteOnly);
    const int status = ExportCommand::run(args.split(u' ', Qt::SkipEmptyParts), o, e);
    return {status, status == 0 ? out : err};
}
