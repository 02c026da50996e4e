#pragma once

// The host's transport as the adapter reads it. The caller sets defaults first; fields the host
// does not report keep them.
struct ITimeInfo {
    double mTempoBPM = 0.0;
    double mSamplePosition = 0.0;
    double mBeatPosition = 0.0;
    double mBarStartBeat = 0.0;
    double mLoopStartBeat = 0.0;
    double mLoopEndBeat = 0.0;
    int mTimeSigNumerator = 0;
    int mTimeSigDenominator = 0;
    bool mPlaying = false;
    bool mLooping = false;
};
