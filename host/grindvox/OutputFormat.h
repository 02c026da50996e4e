#pragma once

#include <string>
#include <vector>

// The formats `render` writes, through libsndfile, and how an output's name chooses one.
struct OutputFormat {
    const char* name;        // what --format takes
    int sndfileFormat;       // container | encoding
    const char* description; // for --help and the summary
    const char* suffixes;    // the file name suffixes that choose it, space-separated
    bool integer;            // samples beyond full scale clip
};

// The formats the libsndfile this program runs with can write, in the order --help lists
// them. The first format of a suffix is the one that suffix chooses.
const std::vector<const OutputFormat*>& OutputFormats();
// The format of that name, or null.
const OutputFormat* FindOutputFormat(const std::string& name);
// The format a file name's suffix chooses (ignoring case), or null when it has no suffix or one
// no format has.
const OutputFormat* OutputFormatForSuffix(const std::string& path);
// "wav, wav16, ..." for error messages.
std::string OutputFormatNames();
