#include "fonteditor/LetterUndo.h"

#include <algorithm>

namespace letteredit {

void LetterUndo::record(const Letter& before, const Letter& after) {
    const auto& a = before.points;
    const auto& b = after.points;
    if (a == b) return;
    const std::size_t shorter = std::min(a.size(), b.size());
    std::size_t head = 0;
    while (head < shorter && a[head] == b[head]) ++head;
    std::size_t tail = 0;
    while (tail < shorter - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
    Step step;
    step.at = head;
    const auto d = [](std::size_t n) { return static_cast<std::ptrdiff_t>(n); };
    step.removed.assign(a.begin() + d(head), a.end() - d(tail));
    step.inserted.assign(b.begin() + d(head), b.end() - d(tail));
    step.before = {before.selected, before.selection};
    step.after = {after.selected, after.selection};
    for (const Step& gone : undone_) storedLines_ -= gone.removed.size() + gone.inserted.size();
    undone_.clear();
    storedLines_ += step.removed.size() + step.inserted.size();
    done_.push_back(std::move(step));
    while (storedLines_ > kLineBudget && done_.size() > 1) forgetOldest();
}

bool LetterUndo::apply(Letter& letter, const Step& step, bool forward) {
    const auto& out = forward ? step.removed : step.inserted;
    const auto& in = forward ? step.inserted : step.removed;
    auto& points = letter.points;
    // A letter changed behind the history's back is left alone.
    if (step.at + out.size() > points.size()) return false;
    const auto from = points.begin() + static_cast<std::ptrdiff_t>(step.at);
    const auto common = std::min(out.size(), in.size());
    std::copy_n(in.begin(), common, from);
    if (out.size() > common)
        points.erase(from + static_cast<std::ptrdiff_t>(common),
                     from + static_cast<std::ptrdiff_t>(out.size()));
    else
        points.insert(from + static_cast<std::ptrdiff_t>(common),
                      in.begin() + static_cast<std::ptrdiff_t>(common), in.end());
    const Selection& selection = forward ? step.after : step.before;
    letter.selected = selection.selected;
    letter.selection = selection.all;
    return true;
}

bool LetterUndo::undo(Letter& letter) {
    if (done_.empty() || !apply(letter, done_.back(), false)) return false;
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    return true;
}

bool LetterUndo::redo(Letter& letter) {
    if (undone_.empty() || !apply(letter, undone_.back(), true)) return false;
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    return true;
}

void LetterUndo::clear() {
    done_.clear();
    undone_.clear();
    storedLines_ = 0;
}

void LetterUndo::forgetOldest() {
    storedLines_ -= done_.front().removed.size() + done_.front().inserted.size();
    done_.erase(done_.begin());
}

}  // namespace letteredit
