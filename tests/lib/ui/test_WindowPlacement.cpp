#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include "TestSupport.h"
#include "lib/ui/WindowPlacement.h"

namespace {

// The «Станок» window, 760 pixels tall with its frame 794, placed by the
// window manager at y 255 of a screen 1000 high with a 30-pixel panel.
TEST(WindowPlacement, AFrameIsMovedAndShrunkIntoTheAvailableArea) {
    const QRect available(0, 0, 1920, 970);
    const QRect machine(385, 255, 1158, 794);
    const QRect moved = FitFrameInto(machine, available);
    EXPECT_TRUE(available.contains(moved));
    EXPECT_EQ(moved.size(), machine.size()) << "it fits: only moved";
    EXPECT_EQ(moved.bottom(), available.bottom());

    const QRect tall = FitFrameInto(QRect(-50, -20, 2000, 1200), available);
    EXPECT_EQ(tall, available) << "larger than the area: as large as it";
    EXPECT_EQ(FitFrameInto(QRect(100, 100, 300, 200), available), QRect(100, 100, 300, 200));

    // A window that cannot be that small keeps its title bar on the screen.
    const QRect least = FitFrameInto(QRect(900, 800, 400, 400), QRect(0, 0, 300, 300), {350, 350});
    EXPECT_EQ(least, QRect(0, 0, 350, 350));
}

TEST(WindowPlacement, AWindowOpensInsideTheScreen) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget parent;
    parent.resize(300, 200);
    parent.move(available.right() - 320, available.bottom() - 150);
    parent.show();
    QWidget window(&parent, Qt::Window);
    window.resize(1150, 760);
    PlaceOnScreen(&window);
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(available.contains(window.frameGeometry()))
        << window.frameGeometry().x() << "," << window.frameGeometry().y() << " "
        << window.frameGeometry().width() << "x" << window.frameGeometry().height();
}

}  // namespace
