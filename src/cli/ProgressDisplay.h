#pragma once

// Where one radio operation shows how far it has come, when that is not a bar of its own on
// the error stream (several radios at once share one display on the terminal).
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    // percent: 0..100.
    virtual void Show(int percent) = 0;
};
