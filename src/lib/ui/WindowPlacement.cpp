#include "lib/ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

QRect FitFrameInto(const QRect& frame, const QRect& available, const QSize& minimum) {
    QRect placed(QPoint(), frame.size().boundedTo(available.size()).expandedTo(minimum));
    placed.moveCenter(frame.center());
    if (placed.right() > available.right()) placed.moveRight(available.right());
    if (placed.bottom() > available.bottom()) placed.moveBottom(available.bottom());
    if (placed.left() < available.left()) placed.moveLeft(available.left());
    if (placed.top() < available.top()) placed.moveTop(available.top());
    return placed;
}

namespace {

// Before a window is first shown the window system has not told its frame: the
// parent's, once shown, is the best guess; without one a usual title bar.
QMargins frameMargins(const QWidget* window, const QWidget* parent) {
    for (const QWidget* w : {window, parent}) {
        if (w == nullptr || !w->isVisible()) continue;
        const QRect inner = w->geometry();
        const QRect outer = w->frameGeometry();
        if (inner != outer)
            return {inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom()};
    }
    return {4, 30, 4, 4};
}

}  // namespace

void PlaceOnScreen(QWidget* window) {
    const QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    QScreen* screen = parent ? parent->screen() : window->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = frameMargins(window, parent);
    if (!window->testAttribute(Qt::WA_Resized)) window->adjustSize();
    QRect wanted(QPoint(), window->size().grownBy(frame));
    wanted.moveCenter(parent && parent->isVisible() ? parent->frameGeometry().center()
                                                    : available.center());
    const QRect placed =
        FitFrameInto(wanted, available,
                     window->minimumSizeHint().expandedTo(window->minimumSize()).grownBy(frame));
    window->resize(placed.size().shrunkBy(frame));
    // A window's position is that of its frame.
    window->move(placed.topLeft());
}
