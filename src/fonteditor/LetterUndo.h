#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "fonteditor/LetterEditing.h"

namespace letteredit {

// The edits made to one letter, undone and redone in order. A step keeps only
// the run of lines it replaced and the run that replaced them, so undoing puts
// the very bytes back and a drag of one point in a large letter costs a line,
// not a copy of the letter. The selection travels with each step, so an undone
// edit shows what it touched.
class LetterUndo {
  public:
    // How many stored lines the history may hold before it forgets its oldest steps.
    static constexpr std::size_t kLineBudget = 4'000'000;

    // Records the change from `before` to `after` as one step; nothing when the
    // points did not change. Whatever was undone can no longer be redone.
    void record(const Letter& before, const Letter& after);
    // Undoes or redoes one step on `letter`; false when there is none.
    bool undo(Letter& letter);
    bool redo(Letter& letter);
    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    void clear();

  private:
    struct Selection {
        std::optional<std::size_t> selected;
        std::vector<std::size_t> all;
    };
    struct Step {
        std::size_t at = 0;
        std::vector<std::string> removed;
        std::vector<std::string> inserted;
        Selection before;
        Selection after;
    };
    static bool apply(Letter& letter, const Step& step, bool forward);
    void forgetOldest();

    std::vector<Step> done_;
    std::vector<Step> undone_;
    std::size_t storedLines_ = 0;
};

}  // namespace letteredit
