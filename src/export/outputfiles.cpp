#include "export/outputfiles.h"

#include "common/runerror.h"

#include <QSaveFile>
#include <memory>

namespace {
RunError failure(const QSaveFile& file, const QString& path, bool opening) {
    const RunError::Code code = !opening ? RunError::DiskFull
                                : file.error() == QFileDevice::PermissionsError
                                    ? RunError::PermissionDenied
                                    : RunError::PathFileAccess;
    return RunError(code, QStringLiteral("%1: %2").arg(path, file.errorString()));
}
} // namespace

void OutputFiles::add(const QString& path, const QByteArray& bytes) {
    m_entries.push_back({path, bytes});
}

void OutputFiles::commit(QIODevice* standardOutput) {
    m_failed.clear();
    // Uncommitted save files remove their temporaries when they go.
    std::vector<std::unique_ptr<QSaveFile>> files;
    const Entry* toStandardOutput = nullptr;
    for (const Entry& e : m_entries) {
        if (isStandardOutput(e.path)) {
            toStandardOutput = &e;
            continue;
        }
        auto file = std::make_unique<QSaveFile>(e.path);
        if (!file->open(QIODevice::WriteOnly)) {
            m_failed = e.path;
            throw failure(*file, e.path, true);
        }
        if (file->write(e.bytes) != e.bytes.size()) {
            m_failed = e.path;
            throw failure(*file, e.path, false);
        }
        files.push_back(std::move(file));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i]->commit()) {
            m_failed = files[i]->fileName();
            throw failure(*files[i], m_failed, false);
        }
    }
    // A full disk or a closed stream behind standard output is a failed
    // output like any other, not a success with nothing written.
    if (toStandardOutput && standardOutput &&
        standardOutput->write(toStandardOutput->bytes) != toStandardOutput->bytes.size()) {
        m_failed = toStandardOutput->path;
        throw RunError(RunError::DiskFull,
                       QStringLiteral("%1: %2").arg(m_failed, standardOutput->errorString()));
    }
}
