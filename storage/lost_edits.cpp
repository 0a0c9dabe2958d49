#include "storage/lost_edits.h"

#include "storage/cp932.h"

namespace markola {

bool EditsWouldBeLost(const FileStore& files, const QString& memoPath, const QString& text) {
    const std::optional<QByteArray> saved = files.ReadAll(memoPath);
    if (!saved) {
        return !text.isEmpty() || files.Exists(memoPath);
    }
    const cp932::Encoded encoded = cp932::Encode(text);
    return encoded.unencodableAt >= 0 || encoded.bytes != *saved;
}

}  // namespace markola
