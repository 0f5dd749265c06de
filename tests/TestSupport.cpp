#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <fstream>
#include <memory>
#include <sstream>

#include "lib/DiskFiles.h"
#include "lib/Win1251.h"

#ifdef _WIN32
#include <windows.h>
#endif

// Built without widgets, the tests that take screenshots are not built either.
#ifdef QT_WIDGETS_LIB
#include <QWidget>
#endif

void ScriptedDialogs::message(const std::string& text, const std::string& title, Icon icon) {
    calls.push_back({"message", text, title, {}, icon});
}

bool ScriptedDialogs::messageOrSkip(const std::string& text, const std::string& title,
                                    const std::string& skipText) {
    calls.push_back({"messageOrSkip", text, title, skipText, Icon::None});
    if (skipAnswers.empty()) return false;
    bool answer = skipAnswers.front();
    skipAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::messageUtf8(const std::string& text, const std::string& title, Icon icon) {
    message(win1251::fromUtf8(text), title, icon);
    calls.back().utf8 = text;
}

bool ScriptedDialogs::messageOrSkipUtf8(const std::string& text, const std::string& title,
                                        const std::string& skipText) {
    const bool skip = messageOrSkip(win1251::fromUtf8(text), title, skipText);
    calls.back().utf8 = text;
    return skip;
}

bool ScriptedDialogs::question(const std::string& text, const std::string& title,
                               Answer preferred) {
    calls.push_back({"question", text, title, {}, Icon::None, preferred});
    if (questionAnswers.empty()) return false;
    bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

Dialogs::Answer ScriptedDialogs::questionOrCancel(const std::string& text,
                                                  const std::string& title) {
    calls.push_back({"questionOrCancel", text, title, {}, Icon::None});
    if (threeWayAnswers.empty()) return Answer::Cancel;
    const Answer answer = threeWayAnswers.front();
    threeWayAnswers.pop_front();
    return answer;
}

std::string ScriptedDialogs::input(const std::string& prompt, const std::string& title,
                                   const std::string& defaultText) {
    calls.push_back({"input", prompt, title, defaultText, Icon::None});
    if (inputAnswers.empty()) return {};
    std::string answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::chooseFile(FileChoice& choice) {
    ++fileChoosings;
    choice.ChoiceConfirmed = 0;
    if (fileAnswers.empty()) return;
    const FileChoice answer = fileAnswers.front();
    fileAnswers.pop_front();
    if (answer.ChoiceConfirmed == 1) choice = answer;
}

std::vector<std::string> ScriptedDialogs::messagesUtf8() const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.kind == "message") out.push_back(c.utf8.empty() ? win1251::toUtf8(c.text) : c.utf8);
    return out;
}

void ScriptedDialogs::reset() {
    calls.clear();
    questionAnswers.clear();
    threeWayAnswers.clear();
    skipAnswers.clear();
    inputAnswers.clear();
    fileAnswers.clear();
    fileChoosings = 0;
}

void writeFile(const std::string& path, const std::string& bytes) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    std::ofstream out(disk::fsPath(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(disk::fsPath(path), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

#ifdef QT_WIDGETS_LIB
std::string saveScreenshot(QWidget* widget, const std::string& name) {
    const QString dir = QStringLiteral(VEZOR_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    const QString path = dir + "/" + QString::fromStdString(name) + ".png";
    widget->grab().save(path);
    return path.toStdString();
}
#endif

std::string w(const std::string& utf8) { return win1251::fromUtf8(utf8); }

bool toolsRequired() {
#ifdef _WIN32
    return false;
#else
    return qEnvironmentVariable("VEZOR_REQUIRE_TOOLS") == QStringLiteral("1");
#endif
}

bool runsUnderWine() {
#ifdef _WIN32
    // Wine's ntdll has an export of its own that Windows' lacks.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}
