#include "storage/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRandomGenerator>
#include <cerrno>
#include <optional>
#include <system_error>

#include "storage/native_path.h"
#include "storage/posix_file.h"

namespace markola {
namespace {

// Qt 6.4's QSaveFile writes through a buffer and renames without checking the final flush,
// so a full disk turns into an empty file reported as saved; every step is checked here.

constexpr mode_t kPrivateMode = 0600;

// Owns the temporary file until it has been renamed into place.
class TemporaryFile {
public:
    TemporaryFile(const QByteArray& folder, mode_t mode) {
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            path_ = folder + '/' + kTemporaryPrefix +
                    QByteArray::number(QRandomGenerator::global()->generate(), 36) +
                    kTemporarySuffix;
            fd_ = open(path_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ < 0 && errno != EEXIST) {
                break;
            }
        }
        error_ = fd_ < 0 ? errno : 0;
    }
    ~TemporaryFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
        if (!renamed_) {
            unlink(path_.constData());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int OpenError() const { return error_; }
    int fd() const { return fd_; }
    int Close() {
        const int result = close(fd_);
        fd_ = -1;
        return result;
    }
    int RenameTo(const QByteArray& target) {
        const int result = rename(path_.constData(), target.constData());
        renamed_ = result == 0;
        return result;
    }

private:
    QByteArray path_;
    int fd_ = -1;
    int error_ = 0;
    bool renamed_ = false;
};

bool WriteEveryByte(int fd, const QByteArray& bytes) {
    return MoveEveryByte(bytes.size(), [&](qsizetype done) {
        return write(fd, bytes.constData() + done, bytes.size() - done);
    });
}

// Owner first: changing the owner clears the setuid and setgid bits that the mode restores.
// Only root may give a file away, so a user's save keeps the group alone where it can. A file
// that cannot keep its group either stays in the writer's own, which is then allowed what
// anyone is, not what the old group was.
void KeepOwnerAndMode(int fd, const struct stat& old) {
    mode_t mode = old.st_mode & 07777;
    if (fchown(fd, old.st_uid, old.st_gid) != 0 &&
        fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        mode = (mode & ~(S_ISGID | S_IRWXG)) | ((mode & S_IRWXO) << 3);
    }
    (void)fchmod(fd, mode);
}

// Makes the rename itself durable. File systems that cannot sync a folder say so with
// EINVAL; the file is in place all the same.
int SyncFolder(const QByteArray& folder) {
    const int fd = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int error = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    close(fd);
    return error;
}

// Nothing is opened: stat alone tells a device or a pipe, which an open could block on.
// W_OK as the effective user also refuses an immutable file and a read-only mount.
std::optional<WriteResult> RefusalToReplace(const QByteArray& target, const struct stat& old) {
    if (!S_ISREG(old.st_mode)) {
        WriteResult result;
        result.notRegularFile = true;
        return result;
    }
    if (faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0) {
        return WriteFailure(errno);
    }
    return std::nullopt;
}

}  // namespace

WriteResult WriteFailure(int errorCode) {
    return {false, errorCode, QString::fromStdString(std::generic_category().message(errorCode))};
}

WriteResult ReplaceFileAtomically(const QByteArray& nativePath, const QByteArray& bytes,
                                  Replace how) {
    const bool privateFile = how == Replace::PrivateFile;
    const QByteArray target = privateFile ? nativePath : ResolvedPath(nativePath);
    struct stat old {};
    const bool exists =
        (privateFile ? lstat(target.constData(), &old) : stat(target.constData(), &old)) == 0;
    if (exists) {
        if (std::optional<WriteResult> refusal = RefusalToReplace(target, old)) {
            return *std::move(refusal);
        }
    }
    const QByteArray folder = FolderOf(target);
    TemporaryFile temporary(folder, privateFile ? kPrivateMode : 0666);
    if (temporary.OpenError() != 0) {
        return WriteFailure(temporary.OpenError());
    }
    if (privateFile) {
        (void)fchmod(temporary.fd(), kPrivateMode);
    } else if (exists) {
        KeepOwnerAndMode(temporary.fd(), old);
    }
    if (!WriteEveryByte(temporary.fd(), bytes) || fdatasync(temporary.fd()) != 0 ||
        temporary.Close() != 0 || temporary.RenameTo(target) != 0) {
        return WriteFailure(errno);
    }
    if (const int error = SyncFolder(folder); error != 0) {
        WriteResult result = WriteFailure(error);
        result.replaced = true;
        return result;
    }
    return {true, 0, {}, true};
}

void RemoveDurably(const QByteArray& nativePath) {
    if (unlink(nativePath.constData()) == 0) {
        (void)SyncFolder(FolderOf(nativePath));
    }
}

}  // namespace markola
