#include "storage/lost_edits.h"

#include "storage/cp932.h"
#include "storage/file_store.h"

namespace markola {

bool EditsWouldBeLost(const QString& memoPath, const QString& text) {
    const std::optional<QByteArray> saved = DiskFileStore().ReadAll(memoPath);
    if (!saved) {
        return !text.isEmpty() || DiskFileStore().Exists(memoPath);
    }
    const cp932::Encoded encoded = cp932::Encode(text);
    return encoded.unencodableAt >= 0 || encoded.bytes != *saved;
}

}  // namespace markola
