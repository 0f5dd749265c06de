#pragma once

#include <QTemporaryDir>
#include <deque>
#include <string>
#include <vector>

#include "lib/Dialogs.h"
#include "lib/FileChoice.h"
#include "lib/SettingsStore.h"
#include "main/Session.h"

class QWidget;

// Dialogs double: answers from a script, records every call in order.
class ScriptedDialogs final : public Dialogs {
  public:
    struct Call {
        std::string kind;  // "message", "messageOrSkip", "question", "questionOrCancel" or "input"
        std::string text;  // Windows-1251
        std::string title;
        std::string defaultText;  // the input's default; the skip button's text
        Icon icon = Icon::None;
        Answer preferred = Answer::Yes;  // a question's answer on Enter
        std::string utf8 = {};           // the text as given, when it was given in UTF-8
    };

    void message(const std::string& text, const std::string& title, Icon icon) override;
    bool messageOrSkip(const std::string& text, const std::string& title,
                       const std::string& skipText) override;
    void messageUtf8(const std::string& text, const std::string& title, Icon icon) override;
    bool messageOrSkipUtf8(const std::string& text, const std::string& title,
                           const std::string& skipText) override;
    bool question(const std::string& text, const std::string& title,
                  Answer preferred = Answer::Yes) override;
    Answer questionOrCancel(const std::string& text, const std::string& title) override;
    std::string input(const std::string& prompt, const std::string& title,
                      const std::string& defaultText) override;
    // Takes the next file answer: confirmed, it becomes the choice; otherwise
    // (or with none left) the chooser is closed.
    void chooseFile(FileChoice& choice) override;

    std::vector<Call> calls;
    std::deque<bool> questionAnswers;      // default: No
    std::deque<Answer> threeWayAnswers;    // questionOrCancel's; default: Cancel (Esc)
    std::deque<bool> skipAnswers;          // default: OK, no skip
    std::deque<std::string> inputAnswers;  // default: Cancel (empty)
    std::deque<FileChoice> fileAnswers;    // default: closed
    int fileChoosings = 0;                 // how often the file chooser was opened

    // The texts of the message boxes shown, in order, as UTF-8 (for readable test failures).
    std::vector<std::string> messagesUtf8() const;
    void reset();
};

// The environment every test starts from: scripted dialogs, a memory settings
// store, a fresh session for the windows and a fresh temporary program folder.
// Made anew before each test.
ScriptedDialogs& testDialogs();
MemorySettingsStore& testSettings();
Session& testSession();
// The temporary program folder of the running test (UTF-8 path).
std::string testProgramFolder();

// Writes a file (creating its folders); content is written as given.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// Saves a picture of the widget under <build>/screenshots/<name>.png; returns its path.
std::string saveScreenshot(QWidget* widget, const std::string& name);

// UTF-8 literal to Windows-1251 (same as cp()).
std::string w(const std::string& utf8);

// Whether this Windows test program runs under Wine (never on Linux).
bool runsUnderWine();

// Whether the outside tools and data the README lists for the tests (LinuxCNC's
// rs274, GRBL's tools, the decoders, the source fonts) must be there: CI sets
// VEZOR_REQUIRE_TOOLS=1, so that a test without its tool fails there rather
// than passing by skipping. Never on Windows, where those are not run.
bool toolsRequired();

// Skips the test for want of a tool or its data, or fails it where tools are required.
#define SKIP_WITHOUT_TOOL(why)                                                  \
    do {                                                                        \
        if (toolsRequired()) GTEST_FAIL() << why << " (VEZOR_REQUIRE_TOOLS=1)"; \
        GTEST_SKIP() << why;                                                    \
    } while (false)
