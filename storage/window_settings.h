#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

namespace markola {

class FileStore;

// Outer size and position of the main window, in twips (15 twips per pixel at 96 dpi).
struct WindowGeometry {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

inline constexpr WindowGeometry kDefaultWindowGeometry{5820, 6390, 1920, 1335};

// The file is one line "width,height,left,top"; later lines win; negative values and
// values that could not be read fall back to their defaults.
WindowGeometry ParseWindowSettings(QByteArrayView content);

// The line to store, or nothing when any value is 0 or less (such a window is not stored).
std::optional<QByteArray> FormatWindowSettings(const WindowGeometry& geometry);

WindowGeometry ReadWindowSettings(const FileStore& files, const QString& path);
void WriteWindowSettings(FileStore& files, const QString& path, const WindowGeometry& geometry);

}  // namespace markola
