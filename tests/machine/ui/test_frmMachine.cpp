// The «Станок» window against the scripted GRBL: connect, the question before
// the first start, a program streamed with its progress, a program refused for
// the machine's travel, an error told in Russian with a resume from the start
// of its letter, jogging by key, leaving while the machine works, what the bar
// and the log say, numbers under a Russian locale; and screenshots.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <clocale>

#include "FakeGrbl.h"
#include "MachineTestSupport.h"
#include "TestSupport.h"
#include "gcode/GCodeEstimate.h"
#include "lib/Win1251.h"
#include "machine/MachineConnection.h"
#include "machine/ResumePlan.h"
#include "machine/ui/frmHeightMap.h"
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

// Many short letters: five moves a stroke, fewer than GRBL's planner holds.
std::string letters() {
    std::string text = "G21G90G17\nG0Z5\nM3S1000\n";
    for (int stroke = 0; stroke < 12; ++stroke) {
        text += "G0X" + std::to_string(3 * stroke) + "Y0\nG1Z-0.1F100\n";
        for (int i = 1; i <= 4; ++i)
            text += "G1X" + std::to_string(3 * stroke + i % 2) + "Y" + std::to_string(i) + "F500\n";
        text += "G0Z5\n";
    }
    return text + "M5\nM30\n";
}

struct Window {
    FakeGrbl grbl;
    std::string text = plate();
    frmMachine window{[this] { return MachineProgramSource{"plate.nc", text, {}}; }};
    explicit Window(int moveMilliseconds = 2, std::string program = plate())
        : grbl(movesTaking(moveMilliseconds)), text(std::move(program)) {
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

namespace {

void key(QWidget* to, QEvent::Type type, int k, bool autoRepeat = false) {
    QKeyEvent event(type, k, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(to, &event);
}

void settle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

std::size_t count(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<std::size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const auto& l) { return l.rfind(prefix, 0) == 0; }));
}

TEST(frmMachine, AnArrowKeyJogsOneStepAtMostAndOnlyWhileHeld) {
    Window w(700);  // a step takes 0.7 s
    w.window.cboJogStep->setCurrentText("10");
    key(&w.window, QEvent::KeyPress, Qt::Key_Up);
    settle(60);
    // The key held: repeats flagged as such, and X's repeat pairs of release and press.
    for (int i = 0; i < 3; ++i) {
        key(&w.window, QEvent::KeyPress, Qt::Key_Up, true);
        key(&w.window, QEvent::KeyRelease, Qt::Key_Up);
        key(&w.window, QEvent::KeyPress, Qt::Key_Up);
        settle(30);
    }
    key(&w.window, QEvent::KeyRelease, Qt::Key_Up);
    settle(1500);
    EXPECT_EQ(count(w.grbl.programLines(), "$J="), 1U);
    EXPECT_NE(w.grbl.realtimeBytes().find('\x85'), std::string::npos);
    // Released before the step was done: the machine stands where it was.
    EXPECT_EQ(w.grbl.position()[1], 0);
    EXPECT_EQ(w.grbl.state(), "Idle");
}

TEST(frmMachine, LeavingWhileTheMachineWorksAsksThenStopsItFirst) {
    Window w(40);
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(w.window.cmdStart, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return w.grbl.movesDone() > 5; }));
    // «Отключить» and closing the window ask; No leaves everything as it was.
    const std::size_t asked = testDialogs().calls.size();
    testDialogs().questionAnswers = {false, false};
    QTest::mouseClick(w.window.cmdConnect, Qt::LeftButton);
    EXPECT_FALSE(w.window.close());
    ASSERT_EQ(testDialogs().calls.size(), asked + 2);
    EXPECT_EQ(testDialogs().calls.back().preferred, Dialogs::Answer::No);  // not on Enter
    EXPECT_TRUE(w.window.machine().jobRunning());
    EXPECT_EQ(w.grbl.realtimeBytes().find('!'), std::string::npos);
    // Yes: hold, reset once it stands (spindle off), then the port closes.
    testDialogs().questionAnswers = {true};
    EXPECT_TRUE(w.window.close());
    EXPECT_FALSE(w.window.machine().isOpen());
    const std::string realtime = w.grbl.realtimeBytes();
    const std::size_t hold = realtime.find('!');
    ASSERT_NE(hold, std::string::npos);
    EXPECT_NE(realtime.find('\x18', hold), std::string::npos);
    EXPECT_EQ(w.grbl.state(), "Idle");
    EXPECT_LT(w.grbl.movesDone(), 120U);
}

TEST(frmMachine, ClosingTheMainWindowAsksTheMachineWindowFirst) {
    const QString from = QStringLiteral(VEZOR_BINARY_DIR "/font/A-Chertezh");
    const QString to = QString::fromStdString(testProgramFolder() + "/font/A-Chertezh");
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QFile::copy(from + "/" + name, to + "/" + name);
    FakeGrbl grbl(movesTaking(50));
    frmGCode main(testSession());
    main.Form_Load();
    main.show();
    // Typed into the window, never saved as a project: the machine takes it all the same.
    const char* parameters[] = {"5", "80", "6", "1"};
    for (std::size_t i = 0; i < 4; ++i) main.txtParameters[i]->setText(parameters[i]);
    main.txtPaint->setPlainText(QStringLiteral("АБВ"));
    settle(500);
    QTest::mouseClick(main.cmdMachine, Qt::LeftButton);
    auto* machine = main.findChild<frmMachine*>("frmMachine");
    ASSERT_NE(machine, nullptr);
    ASSERT_TRUE(machine->program()) << testDialogs().messagesUtf8().size();
    EXPECT_TRUE(machine->lblProgram->text().contains(QStringLiteral("Текст главного окна")));
    // A field marked invalid: the list's last good layout is not what the fields say.
    main.txtParameters[2]->selectAll();
    QTest::keyClicks(main.txtParameters[2], "abc");
    machine->cmdTakeProgram_Click();
    ASSERT_FALSE(testDialogs().messagesUtf8().empty());
    EXPECT_EQ(testDialogs().messagesUtf8().back().rfind("Программа не передана станку:", 0), 0U);
    main.txtParameters[2]->selectAll();
    QTest::keyClicks(main.txtParameters[2], "6");
    settle(500);
    machine->cboPort->setCurrentText(QString::fromStdString(grbl.port()));
    QTest::mouseClick(machine->cmdConnect, Qt::LeftButton);
    ASSERT_TRUE(waitUntil(
        [&] { return machine->machine().isConnected() && machine->machine().offsetKnown(); }));
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(machine->cmdStart, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return grbl.movesDone() > 3; }));
    // The typed text is not kept (Нет to saving it), the machine's question answered No.
    testDialogs().threeWayAnswers = {Dialogs::Answer::No};
    testDialogs().questionAnswers = {false};
    QCloseEvent stay;
    QApplication::sendEvent(&main, &stay);
    EXPECT_FALSE(stay.isAccepted());
    EXPECT_TRUE(machine->machine().jobRunning());
    EXPECT_EQ(grbl.realtimeBytes().find('!'), std::string::npos);
    testDialogs().threeWayAnswers = {Dialogs::Answer::No};
    testDialogs().questionAnswers = {true};
    QCloseEvent leave;
    QApplication::sendEvent(&main, &leave);
    EXPECT_TRUE(leave.isAccepted());
    EXPECT_FALSE(machine->machine().isOpen());
    EXPECT_NE(grbl.realtimeBytes().find('\x18'), std::string::npos);
    EXPECT_EQ(grbl.state(), "Idle");
}

TEST(frmMachine, AfterAResetTheResumeLineIsTheLetterTheMachineWasWriting) {
    Window w(60, letters());
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(w.window.cmdStart, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return w.grbl.movesDone() > 20; }));
    QTest::mouseClick(w.window.cmdReset, Qt::LeftButton);  // mid-move: GRBL's ALARM:3
    ASSERT_TRUE(waitUntil([&] { return !w.window.machine().jobRunning(); }));
    // The moving line after the last one done is the one that was cut short.
    const MachineProgram& program = *w.window.program();
    std::size_t moving = 0, running = 0;
    for (std::size_t i = 0; i < program.size(); ++i)
        if (program.path().kind(i) != ProgramPath::Kind::None && moving++ == w.grbl.movesDone()) {
            running = i;
            break;
        }
    EXPECT_EQ(w.window.spnResumeLine->value(),
              static_cast<int>(program.sourceLine(StrokeStart(program, running))));
    EXPECT_TRUE(w.window.prgJob->format().startsWith(QStringLiteral("Остановлено")));
    EXPECT_LE(w.window.prgJob->value(), static_cast<int>(running));
}

TEST(frmMachine, TheBarTheLogAndTheFrameTellWhatTheMachineDid) {
    Window w(150, letters());
    w.grbl.failLine("G1X1Y1F500", 22);  // the fifth line
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(w.window.cmdStart, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !w.window.machine().jobRunning(); }));
    EXPECT_LE(w.window.prgJob->value(), 5);
    EXPECT_TRUE(w.window.lblTimeLeft->text().isEmpty());
    EXPECT_TRUE(w.window.prgJob->format().startsWith(QStringLiteral("Остановлено")));
    // The frame has a bar of its own and ends as a frame.
    ASSERT_TRUE(waitUntil([&] { return w.window.cmdFrame->isEnabled(); }));
    QTest::mouseClick(w.window.cmdFrame, Qt::LeftButton);
    EXPECT_TRUE(w.window.prgJob->format().startsWith(QStringLiteral("Обводка")));
    ASSERT_TRUE(waitUntil([&] { return !w.window.machine().jobRunning(); }));
    EXPECT_NE(w.log().find("Обводка выполнена."), std::string::npos) << w.log();
    EXPECT_EQ(w.log().find("Программа выполнена"), std::string::npos) << w.log();
    // GRBL's messages in Russian, never a status report; a lost link told once.
    QTest::mouseClick(w.window.cmdUnlock, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return w.log().find("разблокирован") != std::string::npos; }));
    EXPECT_EQ(w.log().find("Caution"), std::string::npos);
    EXPECT_EQ(w.log().find('<'), std::string::npos);
    w.grbl.hangUp();
    ASSERT_TRUE(waitUntil([&] { return !w.window.machine().isOpen(); }, 10));
    const std::string lost = "Связь со станком потеряна";
    EXPECT_EQ(w.log().find(lost), w.log().rfind(lost));
    EXPECT_TRUE(w.window.lblFeed->text().isEmpty());
}

TEST(frmMachine, NumbersGoOutWithAPointUnderARussianLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr)
        << "the ru_RU.UTF-8 locale is missing (scripts/setup.sh makes it)";
    struct Back {
        ~Back() { std::setlocale(LC_ALL, "C"); }
    } back;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_EQ(std::string(probe), "1,5");  // the C library writes a comma now
    Window w(2, letters());
    w.window.cboJogStep->setCurrentText("0.1");
    w.window.jog(0, 1);
    ASSERT_TRUE(waitUntil([&] { return count(w.grbl.programLines(), "$J=") == 1; }));
    EXPECT_EQ(w.grbl.programLines().back(), "$J=G21G91X0.1F500");
    const MachineProgram program = MachineProgram::fromText(
        "G21G90\nG0Z2.5\nG0X1.25Y0.5\n"
        "G1Z-0.15F120.5\nG1X3.75Y0.5F600\n");
    for (const std::string& line : ResumeLines(program, 4))
        EXPECT_EQ(line.find(','), std::string::npos) << line;
    for (const std::string& line : FrameLines(program, 600.5, 10))
        EXPECT_EQ(line.find(','), std::string::npos) << line;
    MachiningFigures figures;
    figures.seconds = 36.94;
    figures.writingMm = 12.5;
    for (const auto& [name, value] : FigureLines(figures))
        EXPECT_EQ(value.find(','), std::string::npos) << name << " " << value;
}

}  // namespace

namespace {

TEST(frmMachine, AToolChangeStopsForTheOperatorAndContinueGoesOn) {
    const std::string program =
        "G21G90G17\nG0Z5\nM3S1000\nG0X1Y1\nG1Z-0.1F100\nG1X5Y1F500\nG0Z5\nT2 M6 (V-bit 30)\n"
        "G0X10Y1\nG1Z-0.1F100\nG1X15Y1F500\nG0Z5\nM5\nM30\n";
    Window w(20, program);
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(w.window.cmdStart, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !w.window.machine().jobRunning(); }));
    ASSERT_FALSE(testDialogs().messagesUtf8().empty());
    EXPECT_NE(testDialogs().messagesUtf8().back().find("поставьте инструмент T2"),
              std::string::npos);
    EXPECT_EQ(w.window.spnResumeLine->value(), 8);
    ASSERT_TRUE(waitUntil([&] { return w.window.cmdResume->isEnabled(); }));
    const std::size_t before = w.grbl.programLines().size();
    QTest::mouseClick(w.window.cmdResume, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] {
        return !w.window.machine().jobRunning() && w.grbl.programLines().size() > before + 5;
    }));
    EXPECT_NE(w.log().find("Программа выполнена."), std::string::npos) << w.log();
    const std::vector<std::string> sent = w.grbl.programLines();
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                            [](const std::string& l) { return l.find("M6") != std::string::npos; }),
              0);
    // On from the line after it: up, the spindle on again, across, down.
    const std::vector<std::string> resumed(sent.begin() + static_cast<long>(before),
                                           sent.begin() + static_cast<long>(before) + 4);
    EXPECT_EQ(resumed, (std::vector<std::string>{"G21G90G17", "G0Z5", "M3S1000", "G0X5Y1"}));
    EXPECT_EQ(sent.back(), "M30");
}

TEST(frmMachine, TheHeightMapWindowProbesShowsTheMapAndWritesByIt) {
    FakeGrbl::Options plate = movesTaking(2);
    plate.surfaceZ = -1.5;
    FakeGrbl grbl(plate);
    frmMachine window([] { return MachineProgramSource{"plate.nc", letters(), {}}; });
    window.show();
    window.cboPort->setCurrentText(QString::fromStdString(grbl.port()));
    QTest::mouseClick(window.cmdConnect, Qt::LeftButton);
    ASSERT_TRUE(waitUntil(
        [&] { return window.machine().isConnected() && window.machine().offsetKnown(); }));
    window.cmdTakeProgram_Click();
    QTest::mouseClick(window.cmdHeightMap, Qt::LeftButton);
    frmHeightMap* map = window.heightMapWindow();
    ASSERT_NE(map, nullptr);
    // The area is the program's with a margin.
    EXPECT_DOUBLE_EQ(map->spnX0->value(), window.program()->extent().min[0] - 2);
    map->spnColumns->setValue(3);
    map->spnRows->setValue(2);
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(map->cmdProbe, Qt::LeftButton);
    ASSERT_TRUE(
        waitUntil([&] { return map->map().has_value() || !testDialogs().messagesUtf8().empty(); }));
    ASSERT_TRUE(map->map()) << testDialogs().messagesUtf8().back();
    for (const double z : map->map()->z) EXPECT_DOUBLE_EQ(z, -1.5);
    EXPECT_EQ(map->prgProbe->value(), 6);
    // Written by the map: the writing 1.5 mm lower, and the program says so.
    const double plainLow = window.program()->extent().min[2];
    map->chkApply->setChecked(true);
    EXPECT_TRUE(window.lblProgram->text().contains(QStringLiteral("по карте высот")));
    EXPECT_NEAR(window.program()->extent().min[2], plainLow - 1.5, 1e-9);
    // A work zero moved since the probing: nothing starts.
    window.machine().command("G10L20P1Z3");
    ASSERT_TRUE(waitUntil(
        [&] { return window.machine().status().offset[2] != 0 && window.cmdStart->isEnabled(); }));
    const std::size_t told = testDialogs().messagesUtf8().size();
    testDialogs().questionAnswers = {true};
    QTest::mouseClick(window.cmdStart, Qt::LeftButton);
    ASSERT_EQ(testDialogs().messagesUtf8().size(), told + 1);
    EXPECT_NE(testDialogs().messagesUtf8().back().find("не тот, от которого снята карта высот"),
              std::string::npos);
    EXPECT_FALSE(window.machine().jobRunning());
    // A plate tilted and warped, as it is shown.
    HeightMap warped = *map->map();
    for (std::size_t i = 0; i < warped.z.size(); ++i)
        warped.z[i] = 0.05 * static_cast<double>(i % 3) - 0.08 * static_cast<double>(i / 3);
    map->setMap(warped);
    EXPECT_TRUE(map->lblRange->text().contains(QStringLiteral("перепад 0.180")))
        << map->lblRange->text().toStdString();
    saveScreenshot(map, "frmHeightMap");
}

}  // namespace
