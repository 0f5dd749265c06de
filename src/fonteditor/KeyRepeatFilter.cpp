#include "fonteditor/KeyRepeatFilter.h"

void KeyRepeatFilter::press(int key, unsigned long time, bool flaggedRepeat) {
    if (flaggedRepeat) return;
    KeyState& state = keys_[key];
    // Time 0 means the platform gave no time at all; it proves nothing.
    if (state.released && time != 0 && time == state.releaseTime) return;
    state.stepMade = false;
}

bool KeyRepeatFilter::release(int key, unsigned long time, bool flaggedRepeat) {
    if (flaggedRepeat) return false;
    KeyState& state = keys_[key];
    state.released = true;
    state.releaseTime = time;
    if (state.stepMade) return false;
    state.stepMade = true;
    return true;
}
