#include "storage/recovery_file.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include "storage/atomic_write.h"
#include "storage/native_path.h"

namespace markola {
namespace {

constexpr quint32 kMagic = 0x4d4b5231;  // "MKR1"
constexpr auto kStreamVersion = QDataStream::Qt_6_0;
const QString kSuffix = QStringLiteral(".recovery");

// The text goes as UTF-16 code units, so every character comes back, whether or not the
// code page can hold it.
QByteArray Encode(const Recovery& recovery) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    const FileIdentity identity = recovery.identity.value_or(FileIdentity{});
    out << kMagic << recovery.name << recovery.text << recovery.nameChanged << recovery.unreadable
        << recovery.identity.has_value() << identity.size << identity.modifiedNs << identity.device
        << identity.inode;
    return bytes;
}

std::optional<Recovery> Decode(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    quint32 magic = 0;
    Recovery recovery;
    bool known = false;
    FileIdentity identity;
    in >> magic >> recovery.name >> recovery.text >> recovery.nameChanged >> recovery.unreadable >>
        known >> identity.size >> identity.modifiedNs >> identity.device >> identity.inode;
    if (magic != kMagic || in.status() != QDataStream::Ok || !in.atEnd()) {
        return std::nullopt;
    }
    if (known) {
        recovery.identity = identity;
    }
    return recovery;
}

}  // namespace

std::optional<QString> WriteRecoveryFile(const QString& folder, const QString& path,
                                         const Recovery& recovery) {
    if (!QDir().mkpath(folder)) {
        return std::nullopt;
    }
    const QString target =
        path.isEmpty() ? folder + u'/' +
                             QString::number(QRandomGenerator::global()->generate64(), 36) + kSuffix
                       : path;
    if (!ReplaceFileAtomically(NativePath(target), Encode(recovery)).ok) {
        return std::nullopt;
    }
    return target;
}

std::optional<std::pair<QString, Recovery>> FindRecoveryFile(const QString& folder) {
    const QStringList names =
        QDir(folder).entryList({u'*' + kSuffix}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        const QString path = folder + u'/' + name;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        if (std::optional<Recovery> recovery = Decode(file.readAll())) {
            return std::pair{path, *std::move(recovery)};
        }
    }
    return std::nullopt;
}

void RemoveRecoveryFile(const QString& path) {
    QFile::remove(path);
}

}  // namespace markola
