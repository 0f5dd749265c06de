#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>

#include "TestSupport.h"
#include "lib/ProgramFolder.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/PreviewSurface.h"
#include "main/ui/frmGCode.h"

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kHighlight = qRgb(255, 140, 0);

// A 80 mm square from (10,10) to (90,90), written with the tool down.
const char* kSquare = "G0Z5\nG0X10Y10\nG1Z-1\nG1X90Y10\nG1X90Y90\nG1X10Y90\nG1X10Y10\nG0Z5\n";

QRect extentOf(const QImage& image, QRgb colour) {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

class PreviewSurfaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.Form_Load();
        window.show();
        window.resize(1000, 700);
        QApplication::processEvents();
        const std::string path = joinPath(testProgramFolder(), "square.gcode");
        writeFile(path, kSquare);
        window.ReadGCodeFile(path);
    }

    void resizePic(int w, int h) {
        window.resize(w + 400, h + 120);
        QApplication::processEvents();
    }
    QPointF pixelOf(double x, double y) const {
        const PixelPoint p = window.pic->transform().toPixel(x, y);
        return QPointF(p.x, p.y);
    }
    MmPoint mmAt(QPointF at) const { return window.pic->transform().toMm(at.x(), at.y()); }
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, window.pic->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(window.pic, &event);
    }
    void click(QPointF at) {
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }

    frmGCode window{testSession()};
};

TEST_F(PreviewSurfaceTest, ASquareIsDrawnSquareAtAnyWindowSize) {
    for (const QSize size : {QSize(900, 500), QSize(400, 900), QSize(1300, 350)}) {
        resizePic(size.width(), size.height());
        for (const bool fitted : {false, true}) {
            if (fitted) window.cmdFit_Click();
            const QRect square = extentOf(window.pic->image(), kRed);
            ASSERT_FALSE(square.isNull()) << size.width();
            EXPECT_LE(std::abs(square.width() - square.height()), 1)
                << size.width() << "x" << size.height() << (fitted ? " fitted" : " at 100");
        }
    }
    saveScreenshot(&window, "frmGCode_square_wide");
}

// A file's bounds are its drawing's own: its first view keeps the free edge
// the fit leaves, at the same scale, rather than touching the picture's edges.
TEST_F(PreviewSurfaceTest, TheFirstViewOfAFileKeepsTheFitsMargin) {
    const QImage first = window.pic->image();
    const QRect square = extentOf(first, kRed);
    ASSERT_FALSE(square.isNull());
    EXPECT_GE(square.top(), 10) << "the square's top edge is the bounds' top";
    EXPECT_GE(square.left(), 10);
    EXPECT_EQ(window.cboMash->currentText(), QStringLiteral("100"));
    EXPECT_NEAR(window.pic->scalePercent(), 100, 1e-9);
    const double scale = window.pic->transform().pixelsPerMm();
    window.cmdFit_Click();
    EXPECT_DOUBLE_EQ(window.pic->transform().pixelsPerMm(), scale);
}

TEST_F(PreviewSurfaceTest, WheelZoomsAboutTheCursorDragPansHomeFits) {
    window.cmdFit_Click();
    const QPointF cursor(150, 120);
    const MmPoint under = mmAt(cursor);
    const double before = window.pic->transform().pixelsPerMm();
    QWheelEvent wheel(cursor, window.pic->mapToGlobal(cursor), QPoint(), QPoint(0, 240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.pic, &wheel);
    EXPECT_DOUBLE_EQ(window.pic->transform().pixelsPerMm(), before * 1.25 * 1.25);
    EXPECT_NEAR(mmAt(cursor).X, under.X, 1e-9);
    EXPECT_NEAR(mmAt(cursor).Y, under.Y, 1e-9);

    const QPointF corner = pixelOf(90, 10);
    mouse(QEvent::MouseButtonPress, QPointF(300, 300), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPointF(320, 310), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPointF(260, 250), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPointF(260, 250), Qt::NoButton);
    EXPECT_NEAR(pixelOf(90, 10).x(), corner.x() - 40, 1e-9);
    EXPECT_NEAR(pixelOf(90, 10).y(), corner.y() - 50, 1e-9);
    EXPECT_EQ(window.pic->selectedRecord(), 0u) << "a drag selects nothing";
    resizePic(700, 600);
    EXPECT_NEAR(pixelOf(90, 10).x(), corner.x() - 40, 1e-9) << "a resize keeps the user's view";
    saveScreenshot(&window, "frmGCode_zoomed");

    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QApplication::sendEvent(window.pic, &home);
    const MmRect shown =
        window.pic->transform().visible(window.pic->image().width(), window.pic->image().height());
    EXPECT_LE(shown.MinX, 0) << "the origin belongs to the file's view";
    EXPECT_GE(shown.MaxX, 90);
    EXPECT_LE(shown.MinY, 0);
    EXPECT_GE(shown.MaxY, 90);
    EXPECT_LT(std::min(shown.MaxX - shown.MinX, shown.MaxY - shown.MinY), 110)
        << "and not much more";
}

TEST_F(PreviewSurfaceTest, TheScaleBoxFollowsTheWheelAndTheFit) {
    ASSERT_EQ(window.cboMash->currentText(), QStringLiteral("100"));
    const QPointF cursor(150, 120);
    QWheelEvent wheel(cursor, window.pic->mapToGlobal(cursor), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.pic, &wheel);
    EXPECT_EQ(window.cboMash->currentText(), QStringLiteral("125"));
    window.cmdFit_Click();
    EXPECT_EQ(window.cboMash->currentText(),
              QString::number(std::lround(window.pic->scalePercent())));

    window.cboMash->setCurrentIndex(3);  // "100" chosen again applies
    EXPECT_NEAR(window.pic->scalePercent(), 100, 1e-9);
    window.cboMash->lineEdit()->setText(QStringLiteral("300"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(window.cboMash->lineEdit(), &enter);
    EXPECT_NEAR(window.pic->scalePercent(), 300, 1e-9) << "a typed scale";
}

TEST_F(PreviewSurfaceTest, ListLineAndPreviewMoveSelectEachOtherAndMeasureTellsDistance) {
    window.cmdFit_Click();
    window.sps->setCurrentIndex(window.spsModel->index(4));  // record 5: up the right side
    EXPECT_EQ(window.pic->selectedRecord(), 5u);
    EXPECT_EQ(window.pic->image().pixel(pixelOf(90, 50).toPoint()), kHighlight);
    saveScreenshot(&window, "frmGCode_selected_move");

    click(pixelOf(50, 90) + QPointF(0, 2));  // near the top side, record 6
    EXPECT_EQ(window.sps->currentIndex().row(), 5);
    EXPECT_EQ(window.pic->selectedRecord(), 6u);
    click(pixelOf(50, 50));
    EXPECT_EQ(window.sps->currentIndex().row(), 5) << "a click on nothing keeps the selection";

    window.cmdMeasure->click();
    EXPECT_EQ(window.lblMeasure->text(), QStringLiteral("Измерение: щёлкните первую точку"));
    click(pixelOf(10, 10));
    click(pixelOf(90, 90));
    const QString text = window.lblMeasure->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Расстояние 113.")) &&
                text.endsWith(QStringLiteral("мм, угол 45.0°")))
        << text.toStdString();
    EXPECT_EQ(window.sps->currentIndex().row(), 5) << "measuring selects nothing";
    saveScreenshot(&window, "frmGCode_measure");
    window.cmdMeasure->click();
    EXPECT_TRUE(window.lblMeasure->text().isEmpty());
    EXPECT_TRUE(window.pic->measurePoints().empty());

    mouse(QEvent::MouseMove, pixelOf(25, 40), Qt::NoButton);
    EXPECT_EQ(window.lblCursor->text(), QStringLiteral("X 25.00 мм   Y 40.00 мм"));

    window.sps->setCurrentIndex(window.spsModel->index(6));
    window.sps_DblClick();
    EXPECT_NE(window.pic->image().pixel(pixelOf(10, 50).toPoint()), kRed) << "up to the line";
    window.cmdShowAll->click();
    EXPECT_EQ(window.DrawLimit, 8);
    EXPECT_EQ(window.pic->image().pixel(pixelOf(10, 50).toPoint()), kHighlight)
        << "drawn again, and the selected move";
    EXPECT_EQ(extentOf(window.pic->image(), kBlue), QRect()) << "no project, no border";
}

}  // namespace
