#include "storage/file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <xxhash.h>

#include <QCollator>
#include <QCollatorSortKey>
#include <QDir>
#include <algorithm>
#include <cerrno>
#include <memory>
#include <numeric>
#include <vector>

#include "storage/file_names.h"
#include "storage/native_path.h"
#include "storage/posix_file.h"

namespace markola {
namespace {

// By file name, case-insensitively, in the user's locale. Names equal but for case ("a.txt",
// "A.txt") keep a fixed order between calls. Hidden files count: ".txt" is the unnamed memo's.
QStringList SortedForTheUser(std::vector<MemoRow> rows) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> sortKeys;
    sortKeys.reserve(rows.size());
    for (MemoRow& row : rows) {
        sortKeys.push_back(collator.sortKey(std::move(row.fileName).toCaseFolded()));
    }
    // Sorting positions rather than rows and keys keeps the swaps cheap.
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int byKey = sortKeys[a].compare(sortKeys[b]);
        return byKey != 0 ? byKey < 0 : rows[a].name < rows[b].name;
    });

    QStringList names;
    names.reserve(rows.size());
    for (const std::size_t index : order) {
        names.append(std::move(rows[index].name));
    }
    return names;
}

std::size_t ToSize(qsizetype size) {
    return static_cast<std::size_t>(size);
}

QByteArray CanonicalBytes(XXH128_hash_t hash) {
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, hash);
    return {reinterpret_cast<const char*>(canonical.digest), sizeof canonical.digest};
}

struct HashStateFree {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};

}  // namespace

// XXH3 gives the same result on every machine and version, which a recovery file kept over an
// upgrade needs, and takes half a millisecond for 10 MB where Qt's fastest hash, Blake2b, takes
// 13: a load and a save each hash the whole file. It guards against accidents, not attackers.
ContentDigest DigestOf(QByteArrayView bytes) {
    return {bytes.size(), CanonicalBytes(XXH3_128bits(bytes.data(), ToSize(bytes.size())))};
}

bool DiskFileStore::Exists(const QString& path) const {
    struct stat status {};
    return !path.isEmpty() && stat(NativePath(path).constData(), &status) == 0 &&
           S_ISREG(status.st_mode);
}

// Non-blocking, so that opening a pipe or device of that name returns at once and is refused.
std::optional<QByteArray> DiskFileStore::ReadAll(const QString& path) const {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const FdCloser file{open(NativePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    return ReadRegularFile(file.fd, kMaxMemoFileSize);
}

// Read in pieces: a whole 10 MB file would cost a save 5 ms more, most of it in page faults.
std::optional<ContentDigest> DiskFileStore::DigestOfFile(const QString& path) const {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const FdCloser file{open(NativePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    const std::unique_ptr<XXH3_state_t, HashStateFree> state(XXH3_createState());
    if (!state || XXH3_128bits_reset(state.get()) != XXH_OK) {
        return std::nullopt;
    }
    const std::optional<qint64> size =
        ReadRegularFileInPieces(file.fd, kMaxMemoFileSize, [&](QByteArrayView piece) {
            XXH3_128bits_update(state.get(), piece.data(), ToSize(piece.size()));
        });
    return size ? std::optional(
                      ContentDigest{*size, CanonicalBytes(XXH3_128bits_digest(state.get()))})
                : std::nullopt;
}

FileIdentity DiskFileStore::Identity(const QString& path) const {
    if (path.isEmpty()) {
        return {};
    }
    const QByteArray native = NativePath(path);
    FileIdentity identity{.resolvedPath = ResolvedPath(native)};
    struct stat status {};
    if (stat(native.constData(), &status) == 0) {
        identity.exists = true;
        identity.device = status.st_dev;
        identity.inode = status.st_ino;
    }
    return identity;
}

// No path at all names no file: its folder would be the current directory.
int DiskFileStore::RefusedWrite(const QString& path) const {
    if (const int injected = injectFault_ ? injectFault_(path) : 0; injected != 0) {
        return injected;
    }
    return path.isEmpty() ? ENOENT : 0;
}

WriteResult DiskFileStore::WriteAll(const QString& path, const QByteArray& bytes) {
    if (const int refused = RefusedWrite(path); refused != 0) {
        return WriteFailure(refused);
    }
    return ReplaceFileAtomically(NativePath(path), bytes);
}

WriteResult DiskFileStore::WritePrivate(const QString& path, const QByteArray& bytes) {
    if (const int refused = RefusedWrite(path); refused != 0) {
        return WriteFailure(refused);
    }
    const QByteArray native = NativePath(path);
    if (const int error = MakePrivateFolder(FolderOf(native)); error != 0) {
        return WriteFailure(error);
    }
    return ReplaceFileAtomically(native, bytes, Replace::PrivateFile);
}

std::optional<QByteArray> DiskFileStore::ReadPrivate(const QString& path, QByteArrayView start,
                                                     qint64 maxSize) const {
    const FdCloser file{
        open(NativePath(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    QByteArray head(start.size(), Qt::Uninitialized);
    if (file.fd < 0 || pread(file.fd, head.data(), head.size(), 0) != head.size() ||
        head != start) {
        return std::nullopt;
    }
    return ReadRegularFile(file.fd, maxSize);
}

QStringList DiskFileStore::ListMemoNames(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        return {};
    }
    return SortedForTheUser(MemoRows(NativePath(folder)));
}

}  // namespace markola
