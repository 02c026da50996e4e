#include "TestPlug.h"
#include "plugin/HostLookup.h"
#include "plugin/Trace.h"
#include "plugin/Version.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

TEST(LookUpHost, MatchesSubstringsAnywhereIgnoringCase) {
    EXPECT_EQ(LookUpHost("com.cockos.REAPER"), kHostReaper);
    EXPECT_EQ(LookUpHost("com.apple.logic10"), kHostLogic);
    EXPECT_EQ(LookUpHost("Deliverer"), kHostAbletonLive) << "'live' inside another word";
    EXPECT_EQ(LookUpHost("com.example.host"), kHostUnknown);
    EXPECT_EQ(LookUpHost(nullptr), kHostUnknown);
}

TEST(LookUpHost, TheEarlierEntryOfTheTableWins) {
    EXPECT_EQ(LookUpHost("reaper cubase bridge"), kHostCubase);
    EXPECT_EQ(LookUpHost("Standalone Live"), kHostStandalone);
}

TEST(LookUpHost, LooksAtTheFirst255CharactersOfALongName) {
    const std::string padding(300, 'x');
    EXPECT_EQ(LookUpHost((padding + "reaper").c_str()), kHostUnknown);
    EXPECT_EQ(LookUpHost((std::string(249, 'x') + "reaper").c_str()), kHostReaper);
}

TEST(Text, LowerCaseAndWhitespace) {
    char lower[8];
    ToLower(lower, "AbC-1");
    EXPECT_STREQ(lower, "abc-1");
    EXPECT_TRUE(IsWhitespace('\r'));
    EXPECT_FALSE(IsWhitespace('\v'));
}

TEST(Version, PartsDecimalAndText) {
    int major, minor, fix;
    GetVersionParts(0x000A0B0C, &major, &minor, &fix);
    EXPECT_EQ(major, 10);
    EXPECT_EQ(minor, 11);
    EXPECT_EQ(fix, 12);
    EXPECT_EQ(GetDecimalVersion(0x00010100), 10100);
    char text[kVersionStrSize];
    GetVersionStr(0x000A0B0C, text);
    EXPECT_STREQ(text, "v10.11.12");
    GetVersionParts(static_cast<int>(0xFFFF0000u), &major, &minor, &fix);
    EXPECT_EQ(major, 65535) << "the major part shifts in zeros";
}

TEST(Version, PluginAndHostVersions) {
    TestPlug plug; // version 0x10203
    EXPECT_EQ(plug.GetEffectVersion(false), 0x10203);
    EXPECT_EQ(plug.GetEffectVersion(true), 10203);
    plug.SetHost("Cubase", 0x00070002);
    EXPECT_EQ(plug.GetHost(), kHostCubase);
    EXPECT_EQ(plug.GetHostVersion(true), 70002);
    char text[kVersionStrSize];
    plug.GetHostVersionStr(text);
    EXPECT_STREQ(text, "v7.0.2");
    plug.SetHost("nobody", 0);
    EXPECT_EQ(plug.GetHost(), kHostUnknown);
}

TEST(CompileTimestamp, SingleAndDoubleDigitDays) {
    char out[kCompileTimestampSize];
    CompileTimestamp("Dec  6 2026", "23:47:05", out);
    EXPECT_STREQ(out, "[Dec 6 23:47]");
    CompileTimestamp("Dec 16 2026", "23:47:05", out);
    EXPECT_STREQ(out, "[Dec16 23:47]");
}

TEST(CompileTimestamp, AppendingGrowsOneStaticText) {
    AppendTimestamp("Jan  1 2026", "00:00:00", "Grindvox");
    EXPECT_STREQ(AppendTimestamp("Jan  1 2026", "01:02:03", "ignored"),
                 "Grindvox [Jan 1 00:00] [Jan 1 01:02]");
}

TEST(CurrentTime, HasTheDateTimeAndZoneLetters) {
    const std::string now = CurrentTime();
    ASSERT_GE(now.size(), 15u);
    EXPECT_EQ(now[8], ' ');
    EXPECT_EQ(now[11], ':');
    EXPECT_EQ(now[14], ' ');
    for (size_t i = 15; i < now.size(); ++i)
        EXPECT_TRUE(isupper(now[i])) << now;
}

namespace {

std::string traceLine(int size, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int length = FormatTraceLine(buffer, size, "Render", 42, format, args);
    va_end(args);
    EXPECT_EQ(length, static_cast<int>(std::string(buffer).size()));
    return buffer;
}

} // namespace

TEST(Trace, LinesNameTheFunctionLineAndMessageAndEndInANewline) {
    const std::string line = traceLine(512, "(%d:%s)", 14, "render");
    EXPECT_NE(line.find(" Render:42 (14:render)\n"), std::string::npos) << line;
    EXPECT_EQ(line.find('\n'), line.size() - 1);

    const std::string cut = traceLine(24, "%s", std::string(100, 'm').c_str());
    EXPECT_EQ(cut.size(), 23u);
    EXPECT_EQ(cut.back(), '\n');
}

TEST(Trace, NameFunctionsAnswerEmptyWhileTracingIsOff) {
    EXPECT_STREQ(AUSelectStr(14), "");
    EXPECT_STREQ(AUPropertyStr(0), "");
    EXPECT_STREQ(AUScopeStr(1), "");
    EXPECT_STREQ(VSTOpcodeStr(3), "");
}

TEST(Timer, DoesNotFireBeforeItsTime) {
    Timer timer;
    EXPECT_FALSE(timer.Every(3600.0));
    EXPECT_TRUE(timer.Every(-1.0));
}
