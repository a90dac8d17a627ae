#pragma once

class QKeyEvent;

// True for keys that put text into a box (characters, Enter, Tab, paste). Editing and moving keys are not,
// so a box that is full can still be corrected.
bool KeyAddsText(const QKeyEvent *key);
