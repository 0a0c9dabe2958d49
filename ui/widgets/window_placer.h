#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <optional>

#include "storage/window_settings.h"

class QWidget;

namespace markola {

// Puts a top-level window at a geometry in twips, outer rectangle and frame included, and
// measures it back. Owned by the window and installed on it as an event filter: the window
// manager tells the frame's size only after the window is shown, and the outer size asked
// for before that is applied again once the frame is known.
class WindowPlacer : public QObject {
public:
    explicit WindowPlacer(QWidget* window);

    void Apply(const WindowGeometry& geometry);
    // A minimized window has no place worth keeping: all zeros, which are never stored.
    WindowGeometry Measure() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    qreal LogicalDpi() const;
    static bool PositionKnown();
    void ResizeOuter(QSize outer);
    void ApplyPendingOuterSize();

    QWidget* const window_;
    // The geometry read at start-up and the outer rectangle it was placed at.
    struct Placement {
        WindowGeometry read;
        QRect asked;
    };
    std::optional<Placement> placement_;
    // The outer size asked for before the window manager had told the frame's size.
    QSize pendingOuterSize_;
};

}  // namespace markola
