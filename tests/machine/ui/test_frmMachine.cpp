// The «Станок» window against the scripted GRBL: connect, the question before
// the first start, a program streamed with its progress, a program refused for
// the machine's travel, an error told in Russian with a resume from the start
// of its letter; and screenshots.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "FakeGrbl.h"
#include "MachineTestSupport.h"
#include "TestSupport.h"
#include "lib/Win1251.h"
#include "machine/MachineConnection.h"
#include "machine/ui/frmMachine.h"
#include "main/ProjectFile.h"
#include "main/ui/frmGCode.h"

namespace {

// Three strokes with lifts between them, in the GRBL profile's form.
std::string plate() {
    std::string text = "(writing_mm 1)\nG21G90G17\nG0Z5\nM3S1000\n";
    for (int stroke = 0; stroke < 3; ++stroke) {
        text += "G0X" + std::to_string(10 * stroke) + "Y0\nG1Z-0.1F100\n";
        for (int i = 1; i <= 40; ++i)
            text += "G1X" + std::to_string(10 * stroke + i / 8) + "." + std::to_string(i % 8) +
                    "Y" + std::to_string(i % 5) + "F500\n";
        text += "G0Z5\n";
    }
    return text + "M5\nM30\n";
}

FakeGrbl::Options movesTaking(int milliseconds) {
    FakeGrbl::Options options;
    options.moveTime = std::chrono::milliseconds(milliseconds);
    return options;
}

struct Window {
    FakeGrbl grbl;
    frmMachine window{[] { return MachineProgramSource{"plate.nc", plate(), {}}; }};
    explicit Window(int moveMilliseconds = 2) : grbl(movesTaking(moveMilliseconds)) {
        window.show();
        window.cboPort->setCurrentText(QString::fromStdString(grbl.port()));
        QTest::mouseClick(window.cmdConnect, Qt::LeftButton);
        EXPECT_TRUE(waitUntil(
            [&] { return window.machine().isConnected() && window.machine().offsetKnown(); }));
        window.cmdTakeProgram_Click();
    }
    std::string log() const { return window.txtLog->toPlainText().toStdString(); }
};

TEST(frmMachine, AsksOnceThenStreamsTheProgramWithItsProgress) {
    Window w(20);
    EXPECT_EQ(w.window.cmdConnect->text(), QStringLiteral("Отключить"));
    EXPECT_TRUE(w.window.lblProgram->text().contains(QStringLiteral("Строк: 134")));
    testDialogs().questionAnswers = {false};
    QTest::mouseClick(w.window.cmdStart, Qt::LeftButton);
    ASSERT_EQ(testDialogs().calls.size(), 1U);
    EXPECT_NE(win1251::toUtf8(testDialogs().calls[0].text).find("X от 0,0 до 25,0 мм"),
              std::string::npos)
        << win1251::toUtf8(testDialogs().calls[0].text);
    EXPECT_FALSE(w.window.machine().jobRunning());  // No: nothing moves
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(w.window.cmdStart, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return w.window.machine().jobRunning(); }));
    ASSERT_TRUE(waitUntil([&] {
        return w.grbl.movesDone() > 30 && w.window.lblState->text() == QStringLiteral("Работа");
    }));
    saveScreenshot(&w.window, "frmMachine_running");
    ASSERT_TRUE(waitUntil([&] { return !w.window.machine().jobRunning(); }));
    EXPECT_EQ(w.window.prgJob->value(), 134);
    EXPECT_NE(w.log().find("Программа выполнена"), std::string::npos) << w.log();
    // A second start asks no more.
    const std::size_t asked = testDialogs().calls.size();
    QTest::mouseClick(w.window.cmdStart, Qt::LeftButton);
    EXPECT_EQ(testDialogs().calls.size(), asked);
    ASSERT_TRUE(waitUntil([&] { return !w.window.machine().jobRunning(); }));
}

TEST(frmMachine, ProgramBeyondTheTravelIsRefusedBeforeAnythingMoves) {
    Window w;
    w.grbl.setSetting(130, 20);
    QTest::mouseClick(w.window.cmdConnect, Qt::LeftButton);  // off
    QTest::mouseClick(w.window.cmdConnect, Qt::LeftButton);  // on again: reads $130
    ASSERT_TRUE(waitUntil(
        [&] { return w.window.machine().isConnected() && w.window.machine().offsetKnown(); }));
    const std::size_t linesBefore = w.grbl.programLines().size();
    QTest::mouseClick(w.window.cmdStart, Qt::LeftButton);
    ASSERT_EQ(testDialogs().messagesUtf8().size(), 1U);
    EXPECT_EQ(testDialogs().messagesUtf8()[0],
              "Программа больше хода станка по оси X на 5 мм: её размер 25 мм, ход станка 20 мм "
              "($130).");
    EXPECT_EQ(w.grbl.programLines().size(), linesBefore);
}

TEST(frmMachine, ErrorIsToldInRussianAndTheResumeStartsAtItsLetter) {
    Window w;
    w.grbl.failLine("G1X13.3Y2F500", 20);  // in the second stroke
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(w.window.cmdStart, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] {
        return !w.window.machine().jobRunning() && !testDialogs().calls.empty() &&
               testDialogs().calls.back().kind == "message";
    }));
    const std::string told = testDialogs().messagesUtf8().back();
    EXPECT_NE(told.find("Строка 76 программы «G1X13.3Y2F500» не принята: error:20: Команда "
                        "G-code не поддерживается GRBL"),
              std::string::npos)
        << told;
    // The resume line is the start of the second stroke: its plunge after the travel.
    ASSERT_TRUE(waitUntil([&] { return w.window.cmdResumeFrom->isEnabled(); }));
    EXPECT_EQ(w.window.lblResumeLine->text(), QStringLiteral("G1Z-0.1F100"));
    EXPECT_EQ(w.window.spnResumeLine->value(), 49);
    saveScreenshot(&w.window, "frmMachine_error");
    const std::size_t sentBefore = w.grbl.programLines().size();
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(w.window.cmdResumeFrom, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] {
        return !w.window.machine().jobRunning() && w.grbl.programLines().size() > sentBefore + 10;
    })) << w.log();
    const std::vector<std::string> sent = w.grbl.programLines();
    const std::vector<std::string> resumed(sent.begin() + static_cast<long>(sentBefore),
                                           sent.begin() + static_cast<long>(sentBefore) + 7);
    EXPECT_EQ(resumed, (std::vector<std::string>{"G21G90G17", "G0Z5", "M3S1000", "G0X10Y0", "G0Z5",
                                                 "G0F500", "G1Z-0.1F100"}));
    EXPECT_EQ(sent.back(), "M30");
}

TEST(frmMachine, MainWindowsButtonBringsTheLaidOutProjectForGrbl) {
    const QString from = QStringLiteral(VEZOR_BINARY_DIR "/font/A-Chertezh");
    const QString to = QString::fromStdString(testProgramFolder() + "/font/A-Chertezh");
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QFile::copy(from + "/" + name, to + "/" + name);
    const std::string project = testProgramFolder() + "/NewProject.txt";
    WriteProjectTemplate(project);
    frmGCode main(testSession());
    main.Form_Load();
    main.project().ProjectPath = project;
    main.LoadProject(project);
    QTest::mouseClick(main.cmdMachine, Qt::LeftButton);
    auto* machine = main.findChild<frmMachine*>("frmMachine");
    ASSERT_NE(machine, nullptr);
    EXPECT_TRUE(machine->isVisible());
    ASSERT_TRUE(machine->program());
    // The default profile changes tools, which GRBL refuses: the GRBL profile writes it.
    EXPECT_TRUE(machine->lblProgram->text().contains(QStringLiteral("(профиль GRBL)")))
        << machine->lblProgram->text().toStdString();
    EXPECT_EQ(machine->program()->line(0), "G21G90G17");
    EXPECT_TRUE(testDialogs().calls.empty());
}

}  // namespace
