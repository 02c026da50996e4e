#include "host/grindvox/OutputFormat.h"

#include <sndfile.h>

namespace {

// Every format the program knows; a libsndfile built without an encoder drops it from the list.
const OutputFormat kFormats[] = {
    {"wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, "WAV, 32-bit float", ".wav .wave", false},
    {"wav16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "WAV, 16-bit integer", ".wav .wave", true},
    {"wav24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, "WAV, 24-bit integer", ".wav .wave", true},
    {"aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, "AIFF, 32-bit float", ".aiff .aif", false},
    {"aiff16", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, "AIFF, 16-bit integer", ".aiff .aif", true},
    {"aiff24", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, "AIFF, 24-bit integer", ".aiff .aif", true},
    {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "FLAC, 24-bit", ".flac", true},
    {"flac16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "FLAC, 16-bit", ".flac", true},
    {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, "Ogg Vorbis", ".ogg .oga", false},
    {"opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, "Ogg Opus", ".opus", false},
    {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, "MP3", ".mp3", false},
};

bool libraryWrites(const OutputFormat& format) {
    SF_INFO info = {};
    info.samplerate = 48000;
    info.channels = 2;
    info.format = format.sndfileFormat;
    return sf_format_check(&info) != 0;
}

std::string lowerSuffix(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string suffix = path.substr(dot);
    for (char& c : suffix)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return suffix;
}

bool listsSuffix(const char* suffixes, const std::string& suffix) {
    const std::string list = std::string(" ") + suffixes + " ";
    return list.find(" " + suffix + " ") != std::string::npos;
}

} // namespace

const std::vector<const OutputFormat*>& OutputFormats() {
    static const std::vector<const OutputFormat*> formats = [] {
        std::vector<const OutputFormat*> writable;
        for (const OutputFormat& format : kFormats) {
            if (libraryWrites(format)) writable.push_back(&format);
        }
        return writable;
    }();
    return formats;
}

const OutputFormat* FindOutputFormat(const std::string& name) {
    for (const OutputFormat* format : OutputFormats()) {
        if (name == format->name) return format;
    }
    return nullptr;
}

const OutputFormat* OutputFormatForSuffix(const std::string& path) {
    const std::string suffix = lowerSuffix(path);
    if (suffix.size() < 2) return nullptr;
    for (const OutputFormat* format : OutputFormats()) {
        if (listsSuffix(format->suffixes, suffix)) return format;
    }
    return nullptr;
}

std::string OutputFormatNames() {
    std::string names;
    for (const OutputFormat* format : OutputFormats()) {
        if (!names.empty()) names += ", ";
        names += format->name;
    }
    return names;
}
