#include "lib/Dialogs.h"

#include "lib/FileChoice.h"
#include "lib/Win1251.h"

std::string Dialogs::inputUtf8(const std::string& prompt, const std::string& title,
                               const std::string& defaultText) {
    return win1251::toUtf8(input(prompt, title, defaultText));
}

void Dialogs::messageUtf8(const std::string& text, const std::string& title, Icon icon) {
    message(win1251::fromUtf8(text), title, icon);
}

bool Dialogs::messageOrSkipUtf8(const std::string& text, const std::string& title,
                                const std::string& skipText) {
    return messageOrSkip(win1251::fromUtf8(text), title, skipText);
}

namespace {

class SilentDialogs final : public Dialogs {
  public:
    void message(const std::string&, const std::string&, Icon) override {}
    bool messageOrSkip(const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    bool question(const std::string&, const std::string&, Answer) override { return false; }
    Answer questionOrCancel(const std::string&, const std::string&) override {
        return Answer::Cancel;
    }
    std::string input(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    void chooseFile(FileChoice& choice) override { choice.ChoiceConfirmed = 0; }
};

SilentDialogs g_silent;
Dialogs* g_dialogs = &g_silent;

}  // namespace

Dialogs& dialogs() { return *g_dialogs; }
void setDialogs(Dialogs* d) { g_dialogs = d ? d : &g_silent; }
