#include "ui/widgets/window_placer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "ui/widgets/window_placement.h"

namespace markola {
namespace {

QList<QRect> ScreenRects() {
    QList<QRect> rects;
    for (const QScreen* screen : QGuiApplication::screens()) {
        rects.append(screen->geometry());
    }
    return rects;
}

}  // namespace

WindowPlacer::WindowPlacer(QWidget* window) : QObject(window), window_(window) {}

void WindowPlacer::Apply(const WindowGeometry& geometry) {
    const QRect asked = OuterRectInPixels(geometry, LogicalDpi());
    QRect outer = asked;
    const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint fallback =
        primary.topLeft() + OuterRectInPixels(kDefaultWindowGeometry, LogicalDpi()).topLeft();
    outer.moveTopLeft(PlaceOnScreens(outer, ScreenRects(), fallback));
    const QScreen* landing = QGuiApplication::screenAt(outer.topLeft());
    outer = FitToScreen(outer, window_->minimumSize(),
                        (landing ? landing : window_->screen())->availableGeometry());
    window_->move(outer.topLeft());
    ResizeOuter(outer.size());
    pendingOuterSize_ = outer.size();
    placement_ = Placement{geometry, asked};
}

WindowGeometry WindowPlacer::Measure() const {
    if (window_->isMinimized()) {
        return {};
    }
    const QRect now = window_->frameGeometry();
    const WindowGeometry measured =
        placement_ ? KeptGeometry(placement_->read, placement_->asked, now, LogicalDpi())
                   : OuterRectInTwips(now, LogicalDpi());
    return PositionKnown() ? measured
                           : WithPositionRead(measured, placement_.value_or(Placement{}).read);
}

bool WindowPlacer::PositionKnown() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

qreal WindowPlacer::LogicalDpi() const {
    return window_->screen()->logicalDotsPerInch();
}

void WindowPlacer::ResizeOuter(QSize outer) {
    const QWindow* handle = window_->windowHandle();
    const QMargins frame = handle ? handle->frameMargins() : QMargins();
    window_->resize(outer.shrunkBy(frame).expandedTo({0, 0}));
}

// Until the window manager has framed the window, its frame is unknown and the size
// asked for was taken as the client size; it is corrected the first time a frame shows.
void WindowPlacer::ApplyPendingOuterSize() {
    const QWindow* handle = window_->windowHandle();
    if (pendingOuterSize_.isValid() && handle && !handle->frameMargins().isNull()) {
        const QSize outer = pendingOuterSize_;
        pendingOuterSize_ = {};
        ResizeOuter(outer);
    }
}

bool WindowPlacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                               event->type() == QEvent::Expose)) {
        ApplyPendingOuterSize();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace markola
