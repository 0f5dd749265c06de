#pragma once

#include <string>

struct FileChoice;

// The seam between logic and the platform's modal boxes. All texts are
// Windows-1251. The windows install the Qt implementation; tests install a
// scripted double that answers and records every call.
class Dialogs {
  public:
    enum class Icon { None, Error };
    enum class Answer { Yes, No, Cancel };

    virtual ~Dialogs() = default;

    // Message box with a single OK button. An empty title shows the application's name.
    virtual void message(const std::string& text, const std::string& title,
                         Icon icon = Icon::None) = 0;

    // Message box of a series (one per missing letter, say) with OK and a
    // second button, skipText, that skips the rest; true when it was chosen.
    virtual bool messageOrSkip(const std::string& text, const std::string& title,
                               const std::string& skipText) = 0;

    // Yes/No question; true for Yes. Esc and the close box answer No; Enter
    // answers `preferred`, which is No where Yes replaces or removes something.
    virtual bool question(const std::string& text, const std::string& title,
                          Answer preferred = Answer::Yes) = 0;

    // Yes/No/Cancel question, as about unsaved edits: save, discard, or go back
    // to them. Esc and the close box answer Cancel, so that nothing is lost by
    // accident; Enter answers Yes.
    virtual Answer questionOrCancel(const std::string& text, const std::string& title) = 0;

    // Single-line input box; empty on Cancel.
    virtual std::string input(const std::string& prompt, const std::string& title,
                              const std::string& defaultText) = 0;

    // The same box, the answer as typed in UTF-8: for callers that must tell a
    // character Windows-1251 lacks from a typed '?', into which input() turns it.
    virtual std::string inputUtf8(const std::string& prompt, const std::string& title,
                                  const std::string& defaultText);

    // message() and messageOrSkip() with the text in UTF-8 (title and button
    // Windows-1251): for a text that names a character Windows-1251 lacks.
    virtual void messageUtf8(const std::string& text, const std::string& title,
                             Icon icon = Icon::None);
    virtual bool messageOrSkipUtf8(const std::string& text, const std::string& title,
                                   const std::string& skipText);

    // The program's file chooser, opened at choice's folder (and file type).
    // OK stores the folder and file and sets ChoiceConfirmed to 1; closing sets
    // it to 0 and keeps the rest.
    virtual void chooseFile(FileChoice& choice) = 0;
};

// The process-wide dialogs in use. Before one is installed, a silent fallback
// is used that answers No and Cancel and closes the file chooser.
Dialogs& dialogs();
void setDialogs(Dialogs* dialogs);
