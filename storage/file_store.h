#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "storage/atomic_write.h"

namespace markola {

inline constexpr qint64 kMaxMemoFileSize = qint64{512} * 1024 * 1024;

// Which file a path leads to, links followed. Two names lead to one file when they resolve
// to one place or to one inode (a hard link); a file that another program deleted and made
// again, maybe under the same inode, is still the file of its path.
struct FileIdentity {
    QByteArray resolvedPath;
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    bool IsSameFileAs(const FileIdentity& other) const {
        return resolvedPath == other.resolvedPath ||
               (exists && other.exists && device == other.device && inode == other.inode);
    }
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What a file held, without keeping its bytes: whether another program changed it is a
// question of its content, as a rewrite can keep size, time and inode.
struct ContentDigest {
    qint64 size = 0;
    QByteArray hash;
    friend bool operator==(const ContentDigest&, const ContentDigest&) = default;
};
ContentDigest DigestOf(QByteArrayView bytes);

// What the program knows of a memo's file from its last load or write.
struct KnownFile {
    FileIdentity identity;
    bool unreadable = false;               // it exists but could not be loaded: never write over it
    std::optional<ContentDigest> content;  // nothing when there was no file, or no readable one
    friend bool operator==(const KnownFile&, const KnownFile&) = default;
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
    // The digest of what ReadAll would give, without holding the file's bytes.
    virtual std::optional<ContentDigest> DigestOfFile(const QString& path) const = 0;
    // Which file the path leads to, whether or not there is one.
    virtual FileIdentity Identity(const QString& path) const = 0;
    // Replaces the file atomically: on failure the old content stays whole and no
    // temporary file is left behind.
    virtual WriteResult WriteAll(const QString& path, const QByteArray& bytes) = 0;
    // A file that is the user's alone: only they may read it, in a folder, made when missing,
    // that only they may enter; neither is used through a link. Replaced as WriteAll does.
    virtual WriteResult WritePrivate(const QString& path, const QByteArray& bytes) = 0;
    // The whole content of such a file, when it is a regular file (not a link) that starts
    // with `start` and is no larger than maxSize: other files cost no more than their start.
    virtual std::optional<QByteArray> ReadPrivate(const QString& path, QByteArrayView start,
                                                  qint64 maxSize) const = 0;
    // Names of the "*.txt" files of the folder (any case), less the extension, sorted
    // case-insensitively in the user's locale. A missing folder is created; a folder
    // that cannot be created or listed gives an empty list.
    virtual QStringList ListMemoNames(const QString& folder) = 0;
};

class DiskFileStore final : public FileStore {
public:
    // Where a test makes the write of a path fail before any system call: the errno to fail
    // with, or 0. It may be called from any thread. The real system calls are made to fail
    // by a preloaded shim instead.
    using FaultInjector = std::function<int(const QString& path)>;

    DiskFileStore() = default;
    explicit DiskFileStore(FaultInjector injectFault) : injectFault_(std::move(injectFault)) {}

    bool Exists(const QString& path) const override;
    std::optional<QByteArray> ReadAll(const QString& path) const override;
    std::optional<ContentDigest> DigestOfFile(const QString& path) const override;
    FileIdentity Identity(const QString& path) const override;
    WriteResult WriteAll(const QString& path, const QByteArray& bytes) override;
    WriteResult WritePrivate(const QString& path, const QByteArray& bytes) override;
    std::optional<QByteArray> ReadPrivate(const QString& path, QByteArrayView start,
                                          qint64 maxSize) const override;
    QStringList ListMemoNames(const QString& folder) override;

private:
    // Why a write of the path fails before any system call: 0 when it may go on.
    int RefusedWrite(const QString& path) const;

    FaultInjector injectFault_;
};

}  // namespace markola
