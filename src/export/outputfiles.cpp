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

void OutputFiles::writeStandardOutput(QIODevice& out, const QByteArray& bytes) {
    auto* file = qobject_cast<QFileDevice*>(&out);
    if (out.write(bytes) != bytes.size() || (file && !file->flush()))
        throw RunError(RunError::DiskFull, QStringLiteral("-: %1").arg(out.errorString()));
}

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
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            m_failed = e.path;
            throw failure(*file, e.path, true);
        }
        // Unbuffered, so that the write itself says how many bytes the
        // disk took; the flush stays as the last word should that change.
        const qint64 written = file->write(e.bytes);
        if (written != e.bytes.size() || !file->flush()) {
            m_failed = e.path;
            // A disk that fills up part-way takes the first bytes and
            // reports no error for the rest.
            if (written >= 0 && written < e.bytes.size())
                throw RunError(RunError::DiskFull, QStringLiteral("%1: записано %2 байт из %3")
                                                       .arg(e.path)
                                                       .arg(written)
                                                       .arg(e.bytes.size()));
            throw failure(*file, e.path, false);
        }
        files.push_back(std::move(file));
    }
    // Standard output before the renames: when it fails, no file has been
    // replaced yet.
    if (toStandardOutput && standardOutput) {
        m_failed = toStandardOutput->path;
        writeStandardOutput(*standardOutput, toStandardOutput->bytes);
        m_failed.clear();
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i]->commit()) {
            m_failed = files[i]->fileName();
            throw failure(*files[i], m_failed, false);
        }
    }
}
