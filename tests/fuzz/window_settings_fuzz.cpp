#include <cassert>
#include <cstddef>
#include <cstdint>

#include "storage/window_settings.h"

// Any bytes give a geometry without negative values, with or without a final line end.
// The writer stores only a geometry of positive values (a minimized window reports zeros),
// which reads back as it was, also as the last of several lines.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace markola;
    const QByteArrayView content(data, static_cast<qsizetype>(size));
    const WindowGeometry read = ParseWindowSettings(content);
    assert(read.width >= 0 && read.height >= 0 && read.left >= 0 && read.top >= 0);
    assert(ParseWindowSettings(content.toByteArray() + "\r\n") == read);
    const std::optional<QByteArray> line = FormatWindowSettings(read);
    assert(line.has_value() ==
           (read.width > 0 && read.height > 0 && read.left > 0 && read.top > 0));
    if (line) {
        assert(ParseWindowSettings(*line) == read);
        const WindowGeometry earlier{read.top, read.width, read.height, read.left};
        assert(ParseWindowSettings(*FormatWindowSettings(earlier) + *line) == read);
    }
    return 0;
}
