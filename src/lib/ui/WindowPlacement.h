#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Every window opens inside the screen's available area (the desktop less its
// panels): a window manager places a new window where there is room beside the
// others, and a tall one may then reach below the screen, out of reach of the
// mouse.

// The window's frame (with title bar and borders) `frame` moved into
// `available`, shrunk to it first where it is larger, but never below
// `minimum`; what still does not fit keeps its top-left corner (the title bar)
// inside.
QRect FitFrameInto(const QRect& frame, const QRect& available, const QSize& minimum = {});

// Sizes and places a window before it is first shown: centred over its parent
// window (or the screen without one), then kept inside the available area of
// that screen. The frame the window system adds is taken to be the parent's.
void PlaceOnScreen(QWidget* window);
