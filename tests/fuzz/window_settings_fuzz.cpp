#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "storage/window_settings.h"
#include "tests/fuzz/fuzz_check.h"

namespace markola {
namespace {

using fuzz::Require;

bool NoneNegative(const WindowGeometry& g) {
    return g.width >= 0 && g.height >= 0 && g.left >= 0 && g.top >= 0;
}

// Any bytes give a geometry without negative values, with or without a final line end.
// A geometry the writer stores reads back as it was, also as the last of several lines.
void CheckSettings(QByteArrayView content) {
    const WindowGeometry read = ParseWindowSettings(content);
    Require(NoneNegative(read), "no negative value is applied");
    Require(ParseWindowSettings(content.toByteArray() + "\r\n") == read,
            "a final line end changes nothing");
    const std::optional<QByteArray> line = FormatWindowSettings(read);
    if (!line) {
        return;
    }
    Require(ParseWindowSettings(*line) == read, "a stored geometry reads back");
    const WindowGeometry turned{read.top, read.width, read.height, read.left};
    Require(ParseWindowSettings(*FormatWindowSettings(turned) + *line) == read,
            "the last line wins");
}

}  // namespace
}  // namespace markola

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    markola::CheckSettings(QByteArrayView(data, static_cast<qsizetype>(size)));
    return 0;
}
