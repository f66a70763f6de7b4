#include "data/Options.h"

#include "data/ResultCodes.h"
#include "platform/Platform.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <string>

TEST(Options, FilesWithoutANameAreRefusedAndAMissingFileGivesTheDefaults)
{
    CTestDirectory dir;
    COptions options;
    options.SetColumns(7);
    EXPECT_EQ(options.Load(nullptr), Vx::E_OPEN_OPTIONS);
    EXPECT_EQ(options.Load(""), Vx::E_OPEN_OPTIONS);
    EXPECT_EQ(options.GetColumns(), 7);
    EXPECT_EQ(options.Save(""), Vx::E_INVALID_POINTER);
    EXPECT_FALSE(dir.Exists("Vexil2.ini"));
    EXPECT_EQ(options.Load("Vexil2.ini"), S_OK); // unreadable is no failure: the defaults
    EXPECT_EQ(options.GetColumns(), 126);
}

// One "Options" line per case, loaded over options whose Interval is 33,
// Columns 3, RecursiveSelect 0 and Configuration "Lab": a key with an empty
// value leaves its field as it was.
TEST(Options, EachKeyIsReadItsOwnWay)
{
    const std::string sixty = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWX";
    const struct
    {
        std::string line;
        int interval;
        int columns;
        const char* flags; // Repeat, AutoScroll, ShowSelection, RecursiveSelect, AutomaticWidth, SeparateColumns,
                           // RememberConfiguration
        std::string configuration;
    } rows[] = {
        {"Interval=4", 5, 126, "0001000", "All"}, {"Interval=abc", 5, 126, "0001000", "All"},
        {"Interval=4294967295", 5, 126, "0001000", "All"}, {"Interval=12x", 12, 126, "0001000", "All"},
        {"Interval=+40", 40, 126, "0001000", "All"}, {"Interval=4294967306", 10, 126, "0001000", "All"},
        {"Columns=abc", 10, 0, "0001000", "All"}, {"Columns=-1", 10, -1, "0001000", "All"},
        {"Repeat=YES\r\nAutoScroll=Yes\r\nShowSelection=1\r\nRecursiveSelect=no", 10, 126, "0000000", "All"},
        {"Repeat=yes\r\nAutoScroll=yes\r\nShowSelection=yes\r\nRecursiveSelect=yes", 10, 126, "1111000", "All"},
        {"AutomaticWidth=yes\r\nSeparateColumns=yes\r\nRememberConfiguration=yes\r\nRecursiveSelect=yes ", 10, 126,
         "0001111", "All"},
        {"Interval=\r\nColumns=\r\nRecursiveSelect=\r\nConfiguration=", 33, 3, "0000000", "Lab"},
        {"Configuration=" + sixty, 10, 126, "0001000", sixty.substr(0, 49)},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.line);
        CTestDirectory dir; // a fresh file per case keeps profile caches out of the way
        dir.WriteFile("Vexil2.ini", "[Options]\r\n" + row.line + "\r\n");
        COptions options;
        options.SetInterval(33);
        options.SetColumns(3);
        options.SetRecursiveSelect(0);
        options.SetConfiguration("Lab");
        ASSERT_EQ(options.Load("Vexil2.ini"), S_OK);
        EXPECT_EQ(options.GetInterval(), row.interval);
        EXPECT_EQ(options.GetColumns(), row.columns);
        const int flags[] = {options.GetRepeat(), options.GetAutoScroll(), options.GetShowSelection(),
                             options.GetRecursiveSelect(), options.GetAutomaticWidth(), options.GetSeparateColumns(),
                             options.GetRememberConfiguration()};
        for (std::size_t i = 0; i < std::size(flags); ++i)
            EXPECT_EQ(flags[i], row.flags[i] - '0') << i;
        EXPECT_EQ(options.GetConfiguration(), row.configuration);
    }
}

TEST(Options, SaveWritesEveryKeyInOrderKeepingTheRestOfTheFileAndLoadRestoresIt)
{
    CTestDirectory dir;
    dir.WriteFile("Vexil2.ini", "[Lab]\r\nDevices=1,2,\r\n[Options]\r\nDevices=3,\r\n");
    COptions options;
    options.SetColumns(-5);
    options.SetInterval(250);
    options.SetRecursiveSelect(0);
    for (auto set : {&COptions::SetAutomaticWidth, &COptions::SetAutoScroll, &COptions::SetSeparateColumns,
                     &COptions::SetRememberConfiguration, &COptions::SetShowSelection, &COptions::SetRepeat})
        (options.*set)(7); // any non-zero value saves as "yes" and loads as 1
    options.SetConfiguration("Lab bench");
    Platform::SetFileFaults({std::nullopt, true}); // a folder that takes no new files: written in place
    ASSERT_EQ(options.Save("Vexil2.ini"), S_OK);
    Platform::SetFileFaults({});
    const std::string keys = "Columns=-5\r\nInterval=250\r\nSeparateColumns=yes\r\nRecursiveSelect=no\r\n"
                             "ShowSelection=yes\r\nAutomaticWidth=yes\r\nAutoScroll=yes\r\n"
                             "RememberConfiguration=yes\r\nRepeat=yes\r\nConfiguration=Lab bench\r\n";
    EXPECT_EQ(dir.ReadFile("Vexil2.ini"), "[Lab]\r\nDevices=1,2,\r\n[Options]\r\nDevices=3,\r\n" + keys);

    COptions loaded; // what it loads saves the same keys again
    ASSERT_EQ(loaded.Load("Vexil2.ini"), S_OK);
    ASSERT_EQ(loaded.Save("Copy.ini"), S_OK);
    EXPECT_EQ(dir.ReadFile("Copy.ini"), "[Options]\r\n" + keys);
}
