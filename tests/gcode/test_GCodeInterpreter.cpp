// The interpreter for other programs' G-code: the test programs in
// tests/data/interpreter against LinuxCNC's own interpreter (rs274; its
// canonical moves kept beside each program for a computer without it), and the
// rest worked out by hand.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <sstream>

#include "TestSupport.h"
#include "gcode/GCodeReader.h"
#include "gcode/InterpretedReader.h"
#include "gcode/ToolMoves.h"
#include "lib/EventPump.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"

namespace {

const std::string kPrograms = VEZOR_TEST_DATA_DIR "/interpreter";

struct Move {
    PathPoint end;
    bool arc = false;
    double centreA = 0;
    double centreB = 0;
    double sweep = 0;  // signed radians
};

struct Interpreted {
    PenPoints points;
    ViewBounds bounds;
    InterpretedRead read;
    std::vector<Move> moves;
    std::vector<bool> cuts;
};

Interpreted interpret(std::string_view text) {
    Interpreted r;
    EventPump none;
    r.read = InterpretGCodeText(text, r.points, r.bounds, none);
    const ToolMoves& moves = *r.points.moves();
    moves.forEachMove(r.points, 1, r.points.count(),
                      [&](std::size_t, const PathPoint&, const ToolMove& m) {
                          Move move{m.end};
                          if (m.arc >= 0) {
                              const ArcShape& a = moves.arcs()[static_cast<std::size_t>(m.arc)];
                              move = {m.end, true, a.centreA, a.centreB, a.sweep};
                          }
                          r.moves.push_back(move);
                          r.cuts.push_back(m.cut());
                      });
    return r;
}

bool near(const PathPoint& a, const PathPoint& b, double tolerance) {
    return std::fabs(a.X - b.X) <= tolerance && std::fabs(a.Y - b.Y) <= tolerance &&
           std::fabs(a.Z - b.Z) <= tolerance;
}

std::string show(const PathPoint& p) {
    std::ostringstream s;
    s << "(" << p.X << ", " << p.Y << ", " << p.Z << ")";
    return s.str();
}

// The moves that go somewhere: LinuxCNC and the interpreter differ only in
// where they leave a move of no length (G28 without axes).
std::vector<Move> goingSomewhere(const std::vector<Move>& moves) {
    std::vector<Move> kept;
    PathPoint at;
    for (const Move& m : moves) {
        if (!m.arc && near(m.end, at, 1e-9)) continue;
        kept.push_back(m);
        at = m.end;
    }
    return kept;
}

// What rs274 -g writes of the program: LinuxCNC's canonical moves.
std::string linuxCncCanon(const std::string& rs274, const std::string& program) {
    const std::string out = joinPath(testProgramFolder(), "canon.txt");
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QString::fromStdString(rs274),
            {"-g", QString::fromStdString(program), QString::fromStdString(out)});
    EXPECT_TRUE(p.waitForFinished(60000));
    const std::string log = p.readAllStandardOutput().toStdString();
    EXPECT_EQ(log.find("rror"), std::string::npos) << program << ": " << log;
    return readFile(out);
}

// The canonical moves, brought into the machine's frame in millimetres.
std::vector<Move> linuxCncMoves(const std::string& canon) {
    std::vector<Move> moves;
    double scale = 1;
    PathPoint system;
    PathPoint shift;
    ArcPlane plane = ArcPlane::XY;
    std::istringstream lines(canon);
    for (std::string line; std::getline(lines, line);) {
        const auto open = line.find('(');
        if (open == std::string::npos) continue;
        std::string name = line.substr(0, open);
        name = name.substr(name.find_last_of(' ') + 1);
        std::vector<double> v;
        std::istringstream args(line.substr(open + 1));
        for (std::string arg; std::getline(args, arg, ',');) v.push_back(std::atof(arg.c_str()));
        const auto machine = [&](double x, double y, double z) {
            return PathPoint{(x + system.X + shift.X) * scale, (y + system.Y + shift.Y) * scale,
                             (z + system.Z + shift.Z) * scale};
        };
        if (name == "USE_LENGTH_UNITS") {
            scale = line.find("INCHES") != std::string::npos ? 25.4 : 1;
        } else if (name == "SET_G5X_OFFSET") {
            system = {v[1], v[2], v[3]};
        } else if (name == "SET_G92_OFFSET") {
            shift = {v[0], v[1], v[2]};
        } else if (name == "SELECT_PLANE") {
            plane = line.find("PLANE_XZ") != std::string::npos   ? ArcPlane::ZX
                    : line.find("PLANE_YZ") != std::string::npos ? ArcPlane::YZ
                                                                 : ArcPlane::XY;
        } else if (name == "STRAIGHT_TRAVERSE" || name == "STRAIGHT_FEED") {
            moves.push_back({machine(v[0], v[1], v[2])});
        } else if (name == "ARC_FEED") {
            // first end, second end, first centre, second centre, turns, axis end
            const auto [a, b, n] = PlaneAxes(plane);
            PathPoint end;
            end[a] = v[0];
            end[b] = v[1];
            end[n] = v[5];
            PathPoint centre;
            centre[a] = v[2];
            centre[b] = v[3];
            const PathPoint e = machine(end.X, end.Y, end.Z);
            const PathPoint c = machine(centre.X, centre.Y, centre.Z);
            moves.push_back({e, true, c[a], c[b], v[4]});  // sweep holds the turns here
        }
    }
    return moves;
}

// Each program's <name>.canon is what rs274 wrote of it; where rs274 is
// installed it must still write the same (VEZOR_REGENERATE_GOLDEN=1 rewrites them).
TEST(GCodeInterpreter, EndsAndArcsAsLinuxCncRunsTheTestPrograms) {
    const QString rs274 = QStandardPaths::findExecutable("rs274");
    if (rs274.isEmpty() && toolsRequired())
        GTEST_FAIL() << "rs274 not installed (Debian package linuxcnc-uspace)";
    std::size_t programs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kPrograms)) {
        if (entry.path().extension() != ".ngc") continue;
        ++programs;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        std::filesystem::path stored = entry.path();
        stored.replace_extension(".canon");
        if (!rs274.isEmpty()) {
            const std::string canon = linuxCncCanon(rs274.toStdString(), path);
            if (std::getenv("VEZOR_REGENERATE_GOLDEN")) writeFile(stored.string(), canon);
            EXPECT_TRUE(canon == readFile(stored.string())) << "rs274 now runs it otherwise";
        }
        const Interpreted ours = interpret(readFile(path));
        EXPECT_TRUE(ours.read.skipped.empty())
            << SkippedLineText(ours.points, ours.read.skipped.front());
        const std::vector<Move> mine = goingSomewhere(ours.moves);
        const std::vector<Move> theirs = goingSomewhere(linuxCncMoves(readFile(stored.string())));
        ASSERT_EQ(mine.size(), theirs.size()) << [&] {
            std::string both;
            for (std::size_t i = 0; i < std::max(mine.size(), theirs.size()); ++i)
                both += (i < mine.size() ? show(mine[i].end) : "-") + "  " +
                        (i < theirs.size() ? show(theirs[i].end) : "-") + "\n";
            return both;
        }();
        for (std::size_t i = 0; i < mine.size(); ++i) {
            // rs274 prints four decimals, of an inch in G20.
            EXPECT_TRUE(near(mine[i].end, theirs[i].end, 0.003))
                << "move " << i << ": " << show(mine[i].end) << " against " << show(theirs[i].end);
            ASSERT_EQ(mine[i].arc, theirs[i].arc) << "move " << i;
            if (!mine[i].arc) continue;
            EXPECT_NEAR(mine[i].centreA, theirs[i].centreA, 0.003) << "move " << i;
            EXPECT_NEAR(mine[i].centreB, theirs[i].centreB, 0.003) << "move " << i;
            const double turns = theirs[i].sweep;
            EXPECT_EQ(mine[i].sweep > 0, turns > 0) << "move " << i;
            EXPECT_GT(std::fabs(mine[i].sweep), (std::fabs(turns) - 1) * 2 * std::numbers::pi);
            EXPECT_LE(std::fabs(mine[i].sweep), std::fabs(turns) * 2 * std::numbers::pi + 1e-9);
        }
    }
    EXPECT_GE(programs, 6u);
}

TEST(GCodeInterpreter, OneRecordPerLineAtTheToolsPlaceAndBoundsWithArcsAndOrigin) {
    // A full circle about (30, 10) of radius 5, reached from X 25.
    const Interpreted r = interpret("G21 G90\r\nG0 X25 Y10\r\n\r\nG2 I5 F100\nM2");
    ASSERT_EQ(r.points.count(), 5u);
    EXPECT_EQ(r.points.line(4), "G2 I5 F100");
    EXPECT_EQ(r.points[2].X, 25);
    EXPECT_EQ(r.points[3].X, 25) << "an empty line keeps the place";
    EXPECT_EQ(r.points[4].X, 25) << "a full circle ends where it began";
    EXPECT_NEAR(r.moves.back().sweep, -2 * std::numbers::pi, 1e-12);
    EXPECT_EQ(r.bounds.MinX, 0);
    EXPECT_EQ(r.bounds.MinY, 0);
    EXPECT_NEAR(r.bounds.MaxX, 35, 1e-9);
    EXPECT_NEAR(r.bounds.MaxY, 15, 1e-9);
}

TEST(GCodeInterpreter, WritingByHeightOrBySpindle) {
    // Below the height of the first rapid in Z: writing; the way up and across is travel.
    const Interpreted milled =
        interpret("G0 Z5\nG0 X10\nG1 Z-1 F100\nG1 X20\nG1 Z5\nG1 X30\nG0 X40\n");
    EXPECT_EQ(milled.cuts, (std::vector<bool>{false, false, true, true, true, false, false}));

    // No Z at all: writing while the laser is on with some power.
    const Interpreted laser =
        interpret("G0 X10\nM4 S0\nG1 X20 F900\nS800\nG1 X30\nG2 X40 R5\nM5\nG1 X50\n");
    EXPECT_EQ(laser.cuts, (std::vector<bool>{false, false, true, true, false}));

    // A plotter's program that never turns anything on: every feed writes.
    const Interpreted plotted = interpret("G0 X10\nG1 X20 F900\nG0 X0\n");
    EXPECT_EQ(plotted.cuts, (std::vector<bool>{false, true, false}));
}

TEST(GCodeInterpreter, LinesItCannotRunAreNamedAndChangeNothing) {
    const Interpreted r = interpret(
        "G0 X10 Y10 F100\n"
        "#1 = 5\n"
        "G1 X[#1 * 2] F100\n"
        "O100 sub\n"
        "G41 D1 G1 X20\n"
        "G38.2 Z-10 F50\n"
        "M100\n"
        "G1 X30 A90\n"
        "G0 G1 X40\n"
        "G2 X50 Y10 R2\n"
        "G1 X60\n");
    std::vector<std::pair<std::size_t, BlockIssue>> skipped;
    for (const SkippedLine& s : r.read.skipped) skipped.emplace_back(s.line, s.issue);
    EXPECT_EQ(skipped, (std::vector<std::pair<std::size_t, BlockIssue>>{
                           {2, BlockIssue::Parameters},
                           {3, BlockIssue::Parameters},
                           {4, BlockIssue::Subroutine},
                           {5, BlockIssue::CutterCompensation},
                           {6, BlockIssue::UnknownG},
                           {7, BlockIssue::UnknownM},
                           {8, BlockIssue::OtherAxis},
                           {9, BlockIssue::ModalConflict},
                           {10, BlockIssue::ArcRadiusTooSmall},
                       }));
    // The drawing keeps what ran: from (10, 10) straight to X 60.
    ASSERT_EQ(r.moves.size(), 2u);
    EXPECT_EQ(r.moves[1].end, (PathPoint{60, 10, 0}));
    EXPECT_EQ(win1251::toUtf8(SkippedLineText(r.points, r.read.skipped[4])),
              "строка 6: G38.2 Z-10 F50 — неизвестный код G");

    // The message names the first twenty and counts the rest.
    std::string many;
    for (int i = 0; i < 23; ++i) many += "G1 X#" + std::to_string(i) + "\n";
    const Interpreted m = interpret("G0 X1\n" + many);
    const std::string message = win1251::toUtf8(IncompletePictureText(m.points, m.read.skipped));
    EXPECT_EQ(std::count(message.begin(), message.end(), '\r'), 21);
    EXPECT_NE(message.find("\rстрока 21: G1 X#19 — "), std::string::npos);
    EXPECT_EQ(message.find("строка 22:"), std::string::npos);
    EXPECT_TRUE(message.ends_with("\r...и ещё 3")) << message;
}

TEST(GCodeInterpreter, ArcsWithinTheControllersToleranceRunAndOthersDoNot) {
    // A half circle whose R is 0.004 short of half the chord: a half circle about the middle.
    const Interpreted half = interpret("G1 X10 F100\nG2 X20 R4.996\n");
    ASSERT_TRUE(half.read.skipped.empty());
    EXPECT_NEAR(half.moves[1].centreA, 15, 1e-9);
    EXPECT_NEAR(half.moves[1].centreB, 0, 1e-9);
    // An end 0.004 off the circle runs; 0.6 off does not; a full circle by R cannot be.
    const Interpreted ends = interpret("G1 X10 F100\nG3 X20.004 I5\nG3 X10.6 I-5\nG2 R5\n");
    std::vector<BlockIssue> issues;
    for (const SkippedLine& s : ends.read.skipped) issues.push_back(s.issue);
    EXPECT_EQ(issues, (std::vector<BlockIssue>{BlockIssue::ArcEndOffCircle,
                                               BlockIssue::ArcFullCircleByRadius}));
    // A long way round with a negative R: three quarters of a circle.
    const Interpreted longWay = interpret("G1 X10 F100\nG2 X20 Y10 R-10\n");
    EXPECT_NEAR(longWay.moves[1].sweep, -1.5 * std::numbers::pi, 1e-12);
}

TEST(GCodeInterpreter, ChecksumsDelimitersAndTheProgramsEnd) {
    const Interpreted r = interpret("%\nN1 G1 X5 F100*57\nN2 G1 X6*12\nM30\nG1 X99\n%\nG1 X98\n");
    EXPECT_TRUE(r.read.skipped.empty());
    ASSERT_EQ(r.moves.size(), 2u) << "nothing after M30 runs";
    EXPECT_EQ(r.moves[1].end.X, 6);
    EXPECT_EQ(r.points.count(), 7u) << "but every line is listed";
    // A second "%" ends a program that opened with one.
    const Interpreted closed = interpret("%\nG0 X1\n%\nG0 X2\n");
    EXPECT_EQ(closed.moves.size(), 1u);
}

TEST(GCodeInterpreter, AFileWithoutGCodeIsRefusedAsTheWordReadingRefusesIt) {
    for (const std::string& text :
         {std::string("Dear reader,\nthis is a letter.\n"),
          std::string("\x89PNG\r\n\x1a\n\x01\x02"), std::string("(only a comment)\n%\n")}) {
        PenPoints points;
        ViewBounds bounds{-1, -1, 1, 1};
        EventPump none;
        try {
            InterpretGCodeText(text, points, bounds, none);
            ADD_FAILURE() << "read: " << text;
        } catch (const GCodeReadError& e) {
            EXPECT_EQ(win1251::toUtf8(e.message()).rfind("Файл скорее всего не является VEzor", 0),
                      0u);
        }
        EXPECT_EQ(bounds.MaxX, 1) << "nothing changed";
    }
}

}  // namespace
