#include "data/Options.h"

#include "data/ResultCodes.h"
#include "platform/Platform.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// The "key=value" lines of one section of the file, in file order.
std::vector<std::string> SectionLines(const std::string& bytes, const std::string& section)
{
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[')
            inside = line == "[" + section + "]";
        else if (inside && !line.empty())
            lines.push_back(line);
    }
    return lines;
}

// A file whose "Options" section holds exactly the given lines.
COptions LoadFrom(const CTestDirectory& dir, const std::string& lines, COptions options = {})
{
    dir.WriteFile("Vexil2.ini", "[Options]\r\n" + lines);
    EXPECT_EQ(options.Load("Vexil2.ini"), S_OK);
    return options;
}

} // namespace

TEST(Options, StartsWithInitialValuesAndLoadsTheMissingKeyDefaults)
{
    CTestDirectory dir;
    COptions options;
    EXPECT_EQ(options.GetColumns(), 46);
    EXPECT_EQ(options.GetInterval(), 10);
    EXPECT_EQ(options.GetRecursiveSelect(), 1);
    EXPECT_EQ(options.GetConfiguration(), "All");

    options.SetColumns(1);
    options.SetRecursiveSelect(0);
    options.SetRepeat(1);
    ASSERT_EQ(options.Load("Vexil2.ini"), S_OK); // no file: every key takes its default text
    EXPECT_FALSE(dir.Exists("Vexil2.ini"));
    EXPECT_EQ(options.GetColumns(), 126);
    EXPECT_EQ(options.GetInterval(), 10);
    EXPECT_EQ(options.GetRecursiveSelect(), 1);
    for (auto get : {&COptions::GetAutomaticWidth, &COptions::GetAutoScroll, &COptions::GetSeparateColumns,
                     &COptions::GetRememberConfiguration, &COptions::GetShowSelection, &COptions::GetRepeat})
        EXPECT_EQ((options.*get)(), 0);
    EXPECT_EQ(options.GetConfiguration(), "All");
}

TEST(Options, LoadAndSaveWithoutAFileNameReturnTheirCodes)
{
    CTestDirectory dir;
    COptions options;
    options.SetColumns(7);
    EXPECT_EQ(options.Load(nullptr), Vx::E_OPEN_OPTIONS);
    EXPECT_EQ(options.Load(""), Vx::E_OPEN_OPTIONS);
    EXPECT_EQ(options.GetColumns(), 7);
    EXPECT_EQ(options.Save(nullptr), Vx::E_INVALID_POINTER);
    EXPECT_EQ(options.Save(""), Vx::E_INVALID_POINTER);
    EXPECT_FALSE(dir.Exists("Vexil2.ini"));
}

TEST(Options, IntervalIsScannedUnsignedAndNeverLoadsBelowFive)
{
    const std::pair<const char*, int> cases[] = {
        {"4", 5}, {"3", 5}, {"5", 5}, {"abc", 5}, {"4294967295", 5}, {"-3", 5},
        {"12x", 12}, {"+40", 40}, {"2147483647", 2147483647}, {"4294967306", 10}};
    for (const auto& [text, expected] : cases) {
        CTestDirectory dir; // a fresh file per case keeps profile caches out of the way
        EXPECT_EQ(LoadFrom(dir, std::string("Interval=") + text + "\r\n").GetInterval(), expected) << text;
    }
}

TEST(Options, ColumnsTakesTheLeadingSignedNumber)
{
    const std::pair<const char*, int> cases[] = {{"12x", 12}, {"abc", 0}, {"-1", -1}, {"4294967295", -1}, {"127", 127}};
    for (const auto& [text, expected] : cases) {
        CTestDirectory dir;
        EXPECT_EQ(LoadFrom(dir, std::string("Columns=") + text + "\r\n").GetColumns(), expected) << text;
    }
}

TEST(Options, FlagsAreSetOnlyByExactlyLowerCaseYes)
{
    CTestDirectory dir;
    const COptions options = LoadFrom(dir, "Repeat=YES\r\nAutoScroll=Yes\r\nShowSelection=1\r\n"
                                           "RecursiveSelect=no\r\nAutomaticWidth=yes\r\nSeparateColumns=yes\r\n"
                                           "RememberConfiguration=yes\r\n");
    EXPECT_EQ(options.GetRepeat(), 0);
    EXPECT_EQ(options.GetAutoScroll(), 0);
    EXPECT_EQ(options.GetShowSelection(), 0);
    EXPECT_EQ(options.GetRecursiveSelect(), 0);
    EXPECT_EQ(options.GetAutomaticWidth(), 1);
    EXPECT_EQ(options.GetSeparateColumns(), 1);
    EXPECT_EQ(options.GetRememberConfiguration(), 1);
}

TEST(Options, KeysWithEmptyValuesLeaveTheFieldsAsTheyWere)
{
    CTestDirectory dir;
    COptions before;
    before.SetInterval(33);
    before.SetColumns(3);
    before.SetRecursiveSelect(0);
    before.SetConfiguration("Lab");
    const COptions options = LoadFrom(dir, "Interval=\r\nColumns=\r\nRecursiveSelect=\r\nConfiguration=\r\n", before);
    EXPECT_EQ(options.GetInterval(), 33);
    EXPECT_EQ(options.GetColumns(), 3);
    EXPECT_EQ(options.GetRecursiveSelect(), 0);
    EXPECT_EQ(options.GetConfiguration(), "Lab");
}

TEST(Options, LongValuesAreCutAtFortyNineCharacters)
{
    CTestDirectory dir;
    const std::string name = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWX"; // 60
    EXPECT_EQ(LoadFrom(dir, "Configuration=" + name + "\r\n").GetConfiguration(), name.substr(0, 49));
}

TEST(Options, SaveWritesEveryKeyInOrderAndLoadRestoresIt)
{
    CTestDirectory dir;
    COptions options;
    EXPECT_EQ(options.Load("Vexil2.ini"), S_OK);
    ASSERT_EQ(options.Save("Vexil2.ini"), S_OK);
    EXPECT_EQ(SectionLines(dir.ReadFile("Vexil2.ini"), "Options"),
              (std::vector<std::string>{"Columns=126", "Interval=10", "SeparateColumns=no", "RecursiveSelect=yes",
                                        "ShowSelection=no", "AutomaticWidth=no", "AutoScroll=no",
                                        "RememberConfiguration=no", "Repeat=no", "Configuration=All"}));

    options.SetColumns(-5);
    options.SetInterval(250);
    options.SetRecursiveSelect(0);
    for (auto set : {&COptions::SetAutomaticWidth, &COptions::SetAutoScroll, &COptions::SetSeparateColumns,
                     &COptions::SetRememberConfiguration, &COptions::SetShowSelection, &COptions::SetRepeat})
        (options.*set)(7); // any non-zero value saves as "yes" and loads as 1
    options.SetConfiguration("Lab bench");
    ASSERT_EQ(options.Save("Vexil2.ini"), S_OK);
    EXPECT_EQ(SectionLines(dir.ReadFile("Vexil2.ini"), "Options"),
              (std::vector<std::string>{"Columns=-5", "Interval=250", "SeparateColumns=yes", "RecursiveSelect=no",
                                        "ShowSelection=yes", "AutomaticWidth=yes", "AutoScroll=yes",
                                        "RememberConfiguration=yes", "Repeat=yes", "Configuration=Lab bench"}));

    COptions loaded;
    ASSERT_EQ(loaded.Load("Vexil2.ini"), S_OK);
    EXPECT_EQ(loaded.GetColumns(), -5);
    EXPECT_EQ(loaded.GetInterval(), 250);
    EXPECT_EQ(loaded.GetRecursiveSelect(), 0);
    for (auto get : {&COptions::GetAutomaticWidth, &COptions::GetAutoScroll, &COptions::GetSeparateColumns,
                     &COptions::GetRememberConfiguration, &COptions::GetShowSelection, &COptions::GetRepeat})
        EXPECT_EQ((loaded.*get)(), 1);
    EXPECT_EQ(loaded.GetConfiguration(), "Lab bench");
}

TEST(Options, SaveKeepsOtherKeysAndSectionsOfTheFile)
{
    CTestDirectory dir;
    dir.WriteFile("Vexil2.ini", "[Lab]\r\nDevices=1,2,\r\n[Options]\r\nDevices=3,\r\n");
    ASSERT_EQ(COptions().Save("Vexil2.ini"), S_OK);
    const std::string bytes = dir.ReadFile("Vexil2.ini");
    EXPECT_EQ(SectionLines(bytes, "Lab"), std::vector<std::string>{"Devices=1,2,"});
    EXPECT_EQ(SectionLines(bytes, "Options").front(), "Devices=3,");
    EXPECT_EQ(SectionLines(bytes, "Options").size(), 11u);
}

TEST(Options, SaveIntoAMissingDirectoryFails)
{
    CTestDirectory dir;
    Platform::SetModuleDirectory(dir.GetPath() + "missing" + Platform::GetPathSeparator());
    EXPECT_EQ(COptions().Save("Vexil2.ini"), Vx::E_SAVE_OPTIONS);
    COptions options;
    EXPECT_EQ(options.Load("Vexil2.ini"), S_OK); // unreadable is no failure: the defaults
    EXPECT_EQ(options.GetColumns(), 126);
}
