#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <cstdio>
#include <filesystem>

#include "../TestFont.h"
#include "TestSupport.h"
#include "gcode/GCodeWriter.h"
#include "lib/Win1251.h"
#include "main/PlateBatch.h"
#include "main/ProjectFile.h"
#include "main/ui/PreviewSurface.h"
#include "main/ui/frmBatch.h"

namespace {

std::string program(const PenPoints& points) { return BuildGCodeProgram(points, "500.00"); }

TEST(BatchWindow, ShowsTheFirstPlateAndCancelsBetweenPlatesLeavingWholeFiles) {
    writeTestFont();
    const std::string folder = joinPath(testProgramFolder(), "Projects");
    std::filesystem::create_directories(folder);
    const std::string project = joinPath(folder, "plates.txt");
    writeFile(project, w("12//a\r\n100//b\r\n10//c\r\n0.5//d\r\n<@ALIGN=C>{Имя}\r\nN{N:001}\r\n"));
    std::string table = "Имя\r\n";
    for (int row = 2; row <= 11; ++row) table += row == 5 ? "A~\r\n" : "ABW\r\n";
    writeFile(joinPath(folder, "names.csv"), table);

    frmBatch dialog(testSession().fileChoice(), project, kTestFont, {}, program);
    dialog.txtTable->setText(QString::fromStdString(joinPath(folder, "names.csv")));
    dialog.txtOut->setText(QStringLiteral("p-{N:001}.gcode"));
    dialog.show();
    dialog.cmdPreview_Click();
    EXPECT_FALSE(dialog.picBatch->image().isNull());

    // The user cancels while the fifth plate is being reported.
    QObject::connect(dialog.prgBatch, &QProgressBar::valueChanged, [&](int value) {
        if (value == 5) dialog.cmdCancel->click();
    });
    dialog.cmdWrite_Click();
    EXPECT_FALSE(dialog.isRunning());
    EXPECT_TRUE(dialog.isVisible()) << "cancel stops the run, not the window";
    EXPECT_EQ(dialog.cmdCancel->text(), QStringLiteral("Закрыть"));
    saveScreenshot(&dialog, "frmBatch_cancelled");

    EventPump none;
    const std::string expected = program(
        *LayOutProject(ParseProject(w("12//a\r\n100//b\r\n10//c\r\n0.5//d\r\n<@ALIGN=C>ABW\r\n"
                                      "N002\r\n"),
                                    none),
                       kTestFont, {})
             .points);
    EXPECT_EQ(readFile(joinPath(folder, "p-002.gcode")), expected);
    for (int n = 1; n <= 10; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "p-%03d.gcode", n);
        EXPECT_EQ(std::filesystem::exists(joinPath(folder, name)), n <= 5 && n != 4) << name;
    }
    const QString report = dialog.txtReport->toPlainText();
    EXPECT_TRUE(report.contains(QStringLiteral("Строка 5: буква '~' не найдена")))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Прервано, записано файлов: 4 из 10")))
        << report.toStdString();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 6)
        << "the project, the table and four programs: no temporary file left";
}

}  // namespace
