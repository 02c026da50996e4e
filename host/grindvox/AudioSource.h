#pragma once

#include <cstdint>
#include <string>

// Where a render's input comes from: a file or a generated signal, read front to back in
// interleaved 32-bit float frames.
class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual int Channels() const = 0;
    virtual double SampleRate() const = 0;
    // The frames there are to read.
    virtual int64_t Frames() const = 0;
    // The frames the source's header promised, when it promised more than Frames() (a file
    // that ends early); -1 otherwise.
    virtual int64_t DeclaredFrames() const { return -1; }
    // What the decoder complained of while reading, such as lost sync in a FLAC stream cut
    // short; empty when nothing.
    virtual std::string DecoderComplaint() const { return ""; }
    // What the summary calls the input ("demo signal", the file name).
    virtual std::string Name() const = 0;
    // Reads up to `frames` frames into `interleaved` (room for frames x Channels()); returns
    // the frames read, fewer only at the end, or -1 with the reason in `error`.
    virtual int64_t Read(float* interleaved, int64_t frames, std::string* error) = 0;
};
