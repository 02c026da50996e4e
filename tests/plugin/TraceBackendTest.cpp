// Built with its own copy of the trace hook, switched on and writing to TRACE_FILE.
#include "plugin/Trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>

TEST(TraceBackend, WritesOneLinePerCallFromEveryThread) {
    std::remove(TRACE_FILE);
    Trace("Open", 7, "(%d:%s)", -1, "open");
    std::thread([] { Trace("Render", 9, "%d frames", 512); }).join();

    std::ifstream file(TRACE_FILE);
    std::stringstream text;
    text << file.rdbuf();
    const std::string lines = text.str();
    EXPECT_NE(lines.find(" Open:7 (-1:open)\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find(" Render:9 512 frames\n"), std::string::npos) << lines;
}
