#include "host/grindvox/AudioFile.h"
#include "host/grindvox/Commands.h"
#include "host/grindvox/DemoSignal.h"
#include "host/grindvox/DistinctFiles.h"
#include "host/grindvox/Interruption.h"
#include "host/grindvox/Progress.h"
#include "host/grindvox/Summary.h"
#include "host/grindvox/UnitDriver.h"

#include <sys/stat.h>
#include <unistd.h>

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
    if (options.demo) {
        *source = std::make_unique<DemoSignal>();
        return {};
    }
    auto file = std::make_unique<SoundFileReader>();
    std::string error;
    if (!file->Open(options.input, &error)) return RunError(error);
    *source = std::move(file);
    return {};
}

// The format --format names, else the one OUTPUT's suffix names; WAV for standard output and
// the other outputs written in place (pipes, devices), whose names seldom have a suffix. A
// regular file whose name names no format is refused rather than written as something the
// user did not ask for.
Failure chooseFormat(const RenderOptions& options, const OutputTarget& target,
                     const OutputFormat** format) {
    if (!options.format.empty()) {
        *format = FindOutputFormat(options.format);
        return {};
    }
    *format = target.standardOutput ? nullptr : OutputFormatForSuffix(target.name);
    if (!*format && target.kind == OutputTarget::Kind::InPlace) *format = FindOutputFormat("wav");
    if (*format) return {};
    const size_t slash = target.name.find_last_of('/');
    const size_t dot = target.name.find_last_of('.');
    const bool suffixed = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return UsageError("cannot tell which format to write \"" + target.name + "\" in: " +
                      (suffixed ? "no format has the suffix " + target.name.substr(dot)
                                : std::string("its name has no suffix")) +
                      "; give one the formats have, or name the format with --format (" +
                      OutputFormatNames() + ")");
}

// Whether the output is this process's standard output, by name or by another path to it,
// so that the summary must go elsewhere.
bool writesStandardOutput(const OutputTarget& target) {
    if (target.standardOutput) return true;
    struct stat out, written;
    return fstat(STDOUT_FILENO, &out) == 0 && stat(target.name.c_str(), &written) == 0 &&
           out.st_dev == written.st_dev && out.st_ino == written.st_ino;
}

// Feeds the source through the unit into the writer block by block; after the source runs
// out, `tailFrames` of silence. A source that runs out before the frames it announced ends
// the audio there, tail and all, rather than padding it to the announced length. Counts the
// frames the source gave and sets summary->frames to the frames rendered.
Failure renderAll(UnitDriver& unit, AudioSource& source, SoundFileWriter& writer,
                  int64_t tailFrames, int blockSize, bool showProgress, RenderSummary* summary,
                  int64_t* framesRead) {
    const int channels = source.Channels();
    BlockBuffers buffers(channels, blockSize);
    int64_t total = source.Frames() + tailFrames;
    Progress progress(total, showProgress);
    bool sourceLeft = true;
    std::string error;
    *framesRead = 0;
    for (int64_t done = 0; done < total;) {
        int n = static_cast<int>(total - done < blockSize ? total - done : blockSize);
        int64_t got = 0;
        if (sourceLeft) {
            got = source.Read(buffers.interleavedIn.data(), n, &error);
            if (got < 0) return RunError(error);
            sourceLeft = got == n;
            *framesRead += got;
            summary->input.Add(buffers.interleavedIn.data(), got, channels);
            if (!sourceLeft && *framesRead < source.Frames()) {
                total = *framesRead + tailFrames;
                n = static_cast<int>(total - done < blockSize ? total - done : blockSize);
            }
        }
        if (n == 0) break;
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
    summary->frames = total;
    summary->inputFrames = *framesRead;
    progress.Finish();
    return {};
}

// A file that held less than it promised renders what it held; the user hears of it.
void warnIfShort(const AudioSource& source, int64_t framesRead) {
    const std::string complaint = source.DecoderComplaint();
    if (!complaint.empty())
        Warn("\"" + source.Name() + "\" may be damaged or cut short: its decoder reported \"" +
             complaint + "\"");
    const int64_t declared = source.DeclaredFrames();
    const int64_t expected = declared > framesRead ? declared : source.Frames();
    if (framesRead >= expected) return;
    char seconds[64];
    std::snprintf(seconds, sizeof seconds, " (%.3f s of %.3f s)", framesRead / source.SampleRate(),
                  expected / source.SampleRate());
    Warn("\"" + source.Name() + "\" ended early: " + std::to_string(framesRead) +
         " frames read of " + std::to_string(expected) +
         (declared > framesRead ? " its header declares" : " it should hold") + seconds);
}

} // namespace

Failure RunRender(const Invocation& invocation) {
    const RenderOptions& options = invocation.render;
    InstallInterruptionHandlers();
    // Everything about the files that can be refused is refused before the unit is opened or
    // a byte is read.
    Failure failure = CheckFilesAreDistinct(invocation);
    if (failure.Failed()) return failure;
    OutputTarget target;
    if ((failure = ExamineOutput(options.output, invocation.noClobber, &target)).Failed())
        return failure;
    if (target.standardOutput && isatty(STDOUT_FILENO))
        return UsageError("not writing audio to a terminal; redirect standard output "
                          "(grindvox render IN - > out.wav) or name OUTPUT");
    const OutputFormat* format = nullptr;
    if ((failure = chooseFormat(options, target, &format)).Failed()) return failure;
    OutputTarget stateTarget;
    if (!invocation.unit.saveState.empty() &&
        (failure = ExamineOutput(invocation.unit.saveState, invocation.noClobber, &stateTarget))
            .Failed())
        return failure;

    UnitDriver unit;
    if ((failure = unit.Open()).Failed() ||
        (failure = ApplyUnitSettings(unit, invocation.unit)).Failed())
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
    SoundFileWriter writer;
    std::string error;
    if (!writer.Open(target, *format, source->SampleRate(), source->Channels(),
                     invocation.noClobber, &error))
        return RunError(error);

    RenderSummary summary;
    summary.inputName = source->Name();
    summary.outputPath = target.DisplayName();
    summary.formatDescription = format->description;
    summary.settings = unit.DescribeSettings();
    summary.bypassed = invocation.unit.bypass;
    summary.sampleRate = source->SampleRate();
    summary.channels = source->Channels();
    summary.blockSize = options.blockSize;

    const auto start = std::chrono::steady_clock::now();
    const bool showProgress = !options.quiet && Progress::StandardErrorIsTerminal();
    int64_t framesRead = 0;
    if ((failure = renderAll(unit, *source, writer, tailFrames, options.blockSize, showProgress,
                             &summary, &framesRead))
            .Failed())
        return failure;
    warnIfShort(*source, framesRead);
    // The state is saved first: when that fails, the uncommitted output goes with it.
    if ((failure = SaveUnitState(unit, invocation.unit, invocation.noClobber)).Failed())
        return failure;
    if (!writer.Commit(&error)) return RunError(error);
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    summary.clipped = format->integer && summary.output.Peak() > 1.0;

    if (!options.quiet) PrintSummary(writesStandardOutput(target) ? stderr : stdout, summary);
    return {};
}
