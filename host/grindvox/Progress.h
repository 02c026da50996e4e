#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

// A progress bar on standard error for work that takes more than about a second, drawn only
// when standard error is a terminal: a render of a short file prints nothing, and a log file
// never fills with carriage returns. Redraws at most ten times a second.
class Progress {
public:
    // `enabled` false draws nothing whatever happens.
    Progress(int64_t total, bool enabled);
    ~Progress();

    void Update(int64_t done);
    // Clears the bar, if one was drawn, so the summary starts on a clean line.
    void Finish();

    // True when standard error is a terminal.
    static bool StandardErrorIsTerminal();

private:
    using Clock = std::chrono::steady_clock;

    int64_t mTotal;
    bool mEnabled;
    bool mDrawn = false;
    Clock::time_point mStart;
    Clock::time_point mLastDraw;
};
