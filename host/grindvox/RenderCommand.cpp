#include "host/grindvox/AudioFile.h"
#include "host/grindvox/Commands.h"
#include "host/grindvox/DemoSignal.h"
#include "host/grindvox/Progress.h"
#include "host/grindvox/Summary.h"
#include "host/grindvox/UnitDriver.h"

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// Buffers of one block: interleaved as files hold audio, planar as the unit takes it.
struct BlockBuffers {
    BlockBuffers(int channels, int frames)
        : interleavedIn(static_cast<size_t>(channels) * frames),
          interleavedOut(interleavedIn.size()), planarIn(channels), planarOut(channels) {
        for (int c = 0; c < channels; ++c) {
            planarIn[c].resize(static_cast<size_t>(frames));
            planarOut[c].resize(static_cast<size_t>(frames));
            inPointers.push_back(planarIn[c].data());
            outPointers.push_back(planarOut[c].data());
        }
    }

    std::vector<float> interleavedIn, interleavedOut;
    std::vector<std::vector<float>> planarIn, planarOut;
    std::vector<const float*> inPointers;
    std::vector<float*> outPointers;
};

Failure openSource(const RenderOptions& options, std::unique_ptr<AudioSource>* source) {
    if (options.input.empty()) {
        *source = std::make_unique<DemoSignal>();
        return {};
    }
    auto file = std::make_unique<SoundFileReader>();
    std::string error;
    if (!file->Open(options.input, &error)) return RunError(error);
    *source = std::move(file);
    return {};
}

// Feeds the source through the unit into the writer block by block; after the source runs
// out, silence until `total` frames are rendered.
Failure renderAll(UnitDriver& unit, AudioSource& source, SoundFileWriter& writer, int64_t total,
                  int blockSize, bool showProgress, RenderSummary* summary) {
    const int channels = source.Channels();
    BlockBuffers buffers(channels, blockSize);
    Progress progress(total, showProgress);
    bool sourceLeft = true;
    std::string error;
    for (int64_t done = 0; done < total;) {
        const int n = static_cast<int>(total - done < blockSize ? total - done : blockSize);
        int64_t got = 0;
        if (sourceLeft) {
            got = source.Read(buffers.interleavedIn.data(), n, &error);
            if (got < 0) return RunError(error);
            sourceLeft = got == n;
            summary->input.Add(buffers.interleavedIn.data(), got, channels);
        }
        for (int64_t i = got * channels; i < static_cast<int64_t>(n) * channels; ++i)
            buffers.interleavedIn[static_cast<size_t>(i)] = 0.0f;
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < channels; ++c)
                buffers.planarIn[c][i] =
                    buffers.interleavedIn[static_cast<size_t>(i) * channels + c];
        }
        Failure failure = unit.Render(buffers.inPointers.data(), buffers.outPointers.data(),
                                      static_cast<UInt32>(n));
        if (failure.Failed()) return failure;
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < channels; ++c)
                buffers.interleavedOut[static_cast<size_t>(i) * channels + c] =
                    buffers.planarOut[c][i];
        }
        summary->output.Add(buffers.interleavedOut.data(), n, channels);
        if (!writer.Write(buffers.interleavedOut.data(), n, &error)) return RunError(error);
        done += n;
        progress.Update(done);
    }
    progress.Finish();
    return {};
}

} // namespace

Failure RunRender(const Invocation& invocation) {
    const RenderOptions& options = invocation.render;
    UnitDriver unit;
    Failure failure = unit.Open();
    if (failure.Failed() || (failure = ApplyUnitSettings(unit, invocation.unit)).Failed())
        return failure;

    std::unique_ptr<AudioSource> source;
    if ((failure = openSource(options, &source)).Failed()) return failure;
    if (!unit.SupportsChannels(source->Channels()))
        return RunError("cannot render \"" + source->Name() + "\": it has " +
                        std::to_string(source->Channels()) + " channels, and the unit takes " +
                        unit.ChannelConfigurationText());
    if ((failure = unit.Configure(source->SampleRate(), source->Channels(), options.blockSize))
            .Failed())
        return failure;

    const double tailSeconds = options.tailGiven ? options.tailSeconds : unit.TailSeconds();
    const int64_t tailFrames =
        static_cast<int64_t>(std::llround(tailSeconds * source->SampleRate()));
    const OutputFormat& format = options.format.empty() ? OutputFormatForPath(options.output)
                                                        : *FindOutputFormat(options.format);
    SoundFileWriter writer;
    std::string error;
    if (!writer.Open(options.output, format, source->SampleRate(), source->Channels(), &error))
        return RunError(error);

    RenderSummary summary;
    summary.inputName = source->Name();
    summary.outputPath = options.output;
    summary.formatDescription = format.description;
    summary.settings = unit.DescribeSettings();
    summary.bypassed = invocation.unit.bypass;
    summary.sampleRate = source->SampleRate();
    summary.channels = source->Channels();
    summary.blockSize = options.blockSize;
    summary.inputFrames = source->Frames();
    summary.frames = source->Frames() + tailFrames;

    const auto start = std::chrono::steady_clock::now();
    const bool showProgress = !options.quiet && Progress::StandardErrorIsTerminal();
    if ((failure = renderAll(unit, *source, writer, summary.frames, options.blockSize, showProgress,
                             &summary))
            .Failed())
        return failure;
    // The state is saved first: when that fails, the uncommitted output goes with it.
    if ((failure = SaveUnitState(unit, invocation.unit)).Failed()) return failure;
    if (!writer.Commit(&error)) return RunError(error);
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    summary.clipped = format.integer && summary.output.Peak() > 1.0;

    if (!options.quiet) PrintSummary(stdout, summary);
    return {};
}
