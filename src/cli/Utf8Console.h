#pragma once

// The command-line tool writes UTF-8. A Windows console shows the bytes it is given in its
// output code page (an OEM page such as 866 unless changed, where UTF-8 Cyrillic turns into
// noise), so while the tool runs, the console it writes to is switched to UTF-8, and back to
// the page it had when the tool ends. Output redirected to a file or a pipe has no console
// and stays plain UTF-8. Does nothing on other systems.
class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

    // The console's output code page was changed here (and is restored by the destructor).
    bool Switched() const { return previous_ != 0; }

private:
    unsigned previous_ = 0;
};
