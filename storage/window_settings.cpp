#include "storage/window_settings.h"

#include <array>
#include <cmath>
#include <limits>

#include "storage/file_store.h"

namespace markola {
namespace {

constexpr std::array<std::int32_t, 4> kDefaults{
    kDefaultWindowGeometry.width, kDefaultWindowGeometry.height, kDefaultWindowGeometry.left,
    kDefaultWindowGeometry.top};

// Reads the file as a stream of numeric fields: a field starts at the first non-blank
// character and ends at a blank, a comma or a line end (CR LF, LF or CR); the comma or
// line end that ends it is consumed with it.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView content) : content_(content) {}

    // Blank lines between groups carry no fields.
    bool SkipToNextGroup() {
        while (pos_ < content_.size() && (IsBlank(Peek()) || IsLineEnd(Peek()))) {
            ++pos_;
        }
        return pos_ < content_.size();
    }

    // The field as a whole number, or nothing when it is missing, not a number or out of range.
    std::optional<std::int32_t> NextField() {
        SkipBlanks();
        const qsizetype start = pos_;
        while (pos_ < content_.size() && !IsBlank(Peek()) && Peek() != ',' && !IsLineEnd(Peek())) {
            ++pos_;
        }
        const QByteArrayView token = content_.sliced(start, pos_ - start);
        SkipBlanks();
        ConsumeTerminator();
        return ToInt32(token);
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
    static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
    char Peek() const { return content_[pos_]; }

    void SkipBlanks() {
        while (pos_ < content_.size() && IsBlank(Peek())) {
            ++pos_;
        }
    }

    void ConsumeTerminator() {
        if (pos_ >= content_.size()) {
            return;
        }
        if (Peek() == ',') {
            ++pos_;
        } else if (Peek() == '\r') {
            ++pos_;
            if (pos_ < content_.size() && Peek() == '\n') {
                ++pos_;
            }
        } else if (Peek() == '\n') {
            ++pos_;
        }
    }

    // Fractions round to the nearest whole number; the writer never produces them.
    static std::optional<std::int32_t> ToInt32(QByteArrayView token) {
        if (token.isEmpty()) {
            return std::nullopt;
        }
        bool ok = false;
        const double value = std::round(token.toByteArray().toDouble(&ok));
        if (!ok || !std::isfinite(value) || value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(value);
    }

    QByteArrayView content_;
    qsizetype pos_ = 0;
};

WindowGeometry ToGeometry(const std::array<std::int32_t, 4>& values) {
    return {values[0], values[1], values[2], values[3]};
}

// What other editors put around the text: a UTF-8 byte-order mark before it, and the
// Ctrl+Z that marked the end of a text file on older systems after it.
QByteArrayView TextOfFile(QByteArrayView content) {
    if (content.startsWith("\xEF\xBB\xBF")) {
        content = content.sliced(3);
    }
    const qsizetype endOfFile = content.indexOf('\x1A');
    return endOfFile < 0 ? content : content.first(endOfFile);
}

}  // namespace

WindowGeometry ParseWindowSettings(QByteArrayView content) {
    std::array<std::int32_t, 4> values{};
    FieldReader reader(TextOfFile(content));
    // Each group of four replaces the one before. When a group breaks off (the file ends in
    // it, or a field is not a whole 32-bit number) reading stops there. A whole group read
    // before stays, whatever junk follows it; otherwise the fields of the broken group read
    // before the break keep their values and the others take their defaults.
    bool broken = false;
    bool wholeGroupRead = false;
    while (!broken && reader.SkipToNextGroup()) {
        std::array<std::int32_t, 4> group{};
        for (std::size_t i = 0; i < group.size(); ++i) {
            const std::optional<std::int32_t> field = broken ? std::nullopt : reader.NextField();
            broken = !field.has_value();
            group[i] = field.value_or(kDefaults[i]);
        }
        if (!broken || !wholeGroupRead) {
            values = group;
        }
        wholeGroupRead = wholeGroupRead || !broken;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] < 0) {
            values[i] = kDefaults[i];
        }
    }
    return ToGeometry(values);
}

std::optional<QByteArray> FormatWindowSettings(const WindowGeometry& geometry) {
    const std::array<std::int32_t, 4> values{geometry.width, geometry.height, geometry.left,
                                             geometry.top};
    QByteArray line;
    for (const std::int32_t value : values) {
        if (value <= 0) {
            return std::nullopt;
        }
        if (!line.isEmpty()) {
            line.append(',');
        }
        line.append(QByteArray::number(value));
    }
    return line.append("\r\n");
}

WindowGeometry ReadWindowSettings(const FileStore& files, const QString& path) {
    if (!files.Exists(path)) {
        return kDefaultWindowGeometry;
    }
    // A settings file that exists but cannot be read is treated like a missing one.
    const std::optional<QByteArray> content = files.ReadAll(path);
    return content ? ParseWindowSettings(*content) : kDefaultWindowGeometry;
}

void WriteWindowSettings(FileStore& files, const QString& path, const WindowGeometry& geometry) {
    if (const std::optional<QByteArray> line = FormatWindowSettings(geometry)) {
        files.WriteAll(path, *line);
    }
}

}  // namespace markola
