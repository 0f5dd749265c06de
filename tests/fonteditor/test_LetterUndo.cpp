#include <gtest/gtest.h>

#include <functional>

#include "TestSupport.h"
#include "font/FontStorage.h"
#include "fonteditor/LetterUndo.h"
#include "fonteditor/PointEditing.h"

using namespace letteredit;

TEST(LetterUndo, EveryEditUndoneGivesBackTheLetterFileByteForByte) {
    const std::string path = testProgramFolder() + "/letter";
    // Forms the editor would never write must come back as they were.
    const std::string original = " 7.50 ,20\r\n10,10\r\n0,0\r\n40,60\r\n-.5,3\r\n80,90\r\n";
    writeFile(path, original);
    Letter letter;
    letter.points = ReadLetterLines(path);
    const auto fileNow = [&] {
        WriteLetterFile(path, letter.points);
        return readFile(path);
    };
    LetterUndo undo;
    std::vector<std::string> files{original};
    std::vector<Letter> states{letter};
    const auto edit = [&](const std::function<void()>& change) {
        const Letter before = letter;
        change();
        undo.record(before, letter);
        files.push_back(fileNow());
        states.push_back(letter);
    };
    edit([&] {
        selectOnly(letter, 0);
        click(letter, Mode::PlacePoints, 30, 30);
    });
    edit([&] {
        select(letter, {1, 4});
        moveSelection(letter, 10, 0);
    });
    edit([&] { mirrorSelection(letter, true); });
    edit([&] { scaleSelection(letter, 2); });
    edit([&] { insertOnSegment(letter, 17.25, 39, 1); });
    edit([&] { insertBreakAfterSelected(letter); });
    edit([&] { paste(letter, "1,2\r\n3,4\n"); });
    edit([&] {
        select(letter, {0, 2, 3});
        removeSelection(letter);
    });
    edit([&] { shiftAll(letter, 0, -1); });
    // A drag is one step however many moves it makes.
    edit([&] {
        select(letter, {2});
        const Drag drag = startDrag(letter);
        for (double d = 0.3; d < 5; d += 0.7) dragBy(letter, drag, d, -d);
    });
    ASSERT_EQ(files.size(), 11u);
    for (std::size_t i = 1; i < files.size(); ++i) EXPECT_NE(files[i], files[i - 1]) << i;

    for (std::size_t i = files.size() - 1; i > 0; --i) {
        ASSERT_TRUE(undo.undo(letter));
        EXPECT_EQ(fileNow(), files[i - 1]) << i;
        EXPECT_EQ(letter.selection, states[i - 1].selection) << i;
    }
    EXPECT_FALSE(undo.undo(letter));
    EXPECT_EQ(fileNow(), original);
    for (std::size_t i = 1; i < files.size(); ++i) {
        ASSERT_TRUE(undo.redo(letter));
        EXPECT_EQ(fileNow(), files[i]) << i;
    }
    EXPECT_FALSE(undo.redo(letter));

    // A new edit after an undo ends what could be redone; an edit that changes
    // nothing is no step.
    undo.undo(letter);
    const Letter before = letter;
    undo.record(before, letter);
    EXPECT_TRUE(undo.canRedo());
    select(letter, {0});
    moveSelection(letter, 1, 1);
    undo.record(before, letter);
    EXPECT_FALSE(undo.canRedo());
    undo.undo(letter);
    undo.undo(letter);
    EXPECT_EQ(fileNow(), files[files.size() - 3]);
}
