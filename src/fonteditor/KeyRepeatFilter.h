#pragma once

#include <map>

// Tells a key's real press and release from the repeats of a held key, so that
// a held arrow moves the letter one step, not one step per repeat. Not every
// system flags every repeat: an unflagged repeated press then carries the very
// time of the release just before it, which gives it away.
class KeyRepeatFilter {
  public:
    void press(int key, unsigned long time, bool flaggedRepeat);
    // True for the first release after a real press (or a release whose press
    // was never seen): the one that makes the key's step.
    bool release(int key, unsigned long time, bool flaggedRepeat);

  private:
    struct KeyState {
        bool stepMade = false;
        bool released = false;
        unsigned long releaseTime = 0;
    };
    std::map<int, KeyState> keys_;
};
