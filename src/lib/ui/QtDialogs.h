#pragma once

#include "lib/Dialogs.h"

class QString;

// Message, question and input boxes of Qt, modal to the active window.
class QtDialogs final : public Dialogs {
  public:
    void message(const std::string& text, const std::string& title, Icon icon) override;
    bool messageOrSkip(const std::string& text, const std::string& title,
                       const std::string& skipText) override;
    bool question(const std::string& text, const std::string& title,
                  Answer preferred = Answer::Yes) override;
    Answer questionOrCancel(const std::string& text, const std::string& title) override;
    std::string input(const std::string& prompt, const std::string& title,
                      const std::string& defaultText) override;
    std::string inputUtf8(const std::string& prompt, const std::string& title,
                          const std::string& defaultText) override;
    void messageUtf8(const std::string& text, const std::string& title, Icon icon) override;
    bool messageOrSkipUtf8(const std::string& text, const std::string& title,
                           const std::string& skipText) override;
    void chooseFile(FileChoice& choice) override;

  private:
    static void showMessage(const QString& text, const std::string& title, Icon icon);
    static bool showMessageOrSkip(const QString& text, const std::string& title,
                                  const std::string& skipText);
    // The answer, or a null string on Cancel.
    static QString ask(const std::string& prompt, const std::string& title,
                       const std::string& defaultText);
};
