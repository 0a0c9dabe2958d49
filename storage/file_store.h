#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "storage/atomic_write.h"

namespace markola {

inline constexpr qint64 kMaxMemoFileSize = qint64{512} * 1024 * 1024;

// What tells one version of a file from another: an atomic replace gives a new inode, an
// append a new size or modification time.
struct FileIdentity {
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The files MARKOLA keeps, seen through one small interface so that callers can be
// tested against injected failures.
class FileStore {
public:
    virtual ~FileStore() = default;

    // True for an existing regular file (or a link to one); never for a directory.
    virtual bool Exists(const QString& path) const = 0;
    // The whole content, or nothing when the file cannot be opened, cannot be read
    // whole, or is larger than kMaxMemoFileSize.
    virtual std::optional<QByteArray> ReadAll(const QString& path) const = 0;
    // The identity of the file a path leads to, links followed; nothing when it is missing.
    virtual std::optional<FileIdentity> Identity(const QString& path) const = 0;
    // Replaces the file atomically: on failure the old content stays whole and no
    // temporary file is left behind.
    virtual WriteResult WriteAll(const QString& path, const QByteArray& bytes) = 0;
    // Names of the "*.txt" files of the folder (any case), less the extension, sorted
    // case-insensitively in the user's locale. A missing folder is created; a folder
    // that cannot be created or listed gives an empty list.
    virtual QStringList ListMemoNames(const QString& folder) = 0;
};

class DiskFileStore final : public FileStore {
public:
    // Where a test makes writes fail before any system call: the errno to fail with, or 0.
    // The real system calls are made to fail by a preloaded shim instead.
    using FaultInjector = std::function<int()>;

    DiskFileStore() = default;
    explicit DiskFileStore(FaultInjector injectFault) : injectFault_(std::move(injectFault)) {}

    bool Exists(const QString& path) const override;
    std::optional<QByteArray> ReadAll(const QString& path) const override;
    std::optional<FileIdentity> Identity(const QString& path) const override;
    WriteResult WriteAll(const QString& path, const QByteArray& bytes) override;
    QStringList ListMemoNames(const QString& folder) override;

private:
    FaultInjector injectFault_;
};

}  // namespace markola
