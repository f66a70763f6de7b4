#include "data/ConfigurationHandler.h"

#include "data/ResultCodes.h"
#include "tests/data/RecordTestSupport.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using IDs = std::vector<std::int32_t>;
using Names = std::vector<std::string>;

class ConfigurationHandler : public testing::Test
{
protected:
    IDs LoadDevices(const std::string& configuration)
    {
        options.SetConfiguration(configuration);
        listed.LoadDeviceList();
        return listed.GetDeviceIDs();
    }

    Names LoadNames()
    {
        handler.LoadNames();
        Names names;
        for (std::string name = handler.GetFirst(); !name.empty(); name = handler.GetNext())
            names.push_back(name);
        return names;
    }

    CTestDirectory dir;
    COptions options;
    CConfigurationHandler listed{&options};
    CConfigurationHandler handler{nullptr};
};

} // namespace

TEST_F(ConfigurationHandler, DeviceListTakesEveryNonEmptyPieceInOrder)
{
    // A piece reads like a leading signed number: white space and a sign are
    // taken, the digits end it, a piece without digits is 0; a negative ID is
    // stored unsigned and reads back as itself.
    dir.WriteFile("Vexil2.ini", "[Lab]\r\nDevices=3,17,,250,\r\n"
                                "[Odd]\r\nDevices= 7,x7,-3,+4,12x,4294967295,\t5\r\n");
    EXPECT_EQ(LoadDevices("Lab"), (IDs{3, 17, 250}));
    EXPECT_TRUE(listed.IsDeviceInConfiguration(17));
    EXPECT_FALSE(listed.IsDeviceInConfiguration(4));
    EXPECT_EQ(LoadDevices("Odd"), (IDs{7, 0, -3, 4, 12, -1, 5}));
    EXPECT_EQ(LoadDevices("Rig"), IDs{}); // none stored: the list empties
}

TEST_F(ConfigurationHandler, DeviceTextBeyondTheLimitIsSavedWholeButReadCut)
{
    std::string text;
    for (int i = 0; i < 8190; ++i)
        text += "1,";
    text += "12345,"; // 16386 characters: the read stops after "123"
    handler.SaveConfiguration("Long", text);
    EXPECT_NE(dir.ReadFile("Vexil2.ini").find(text), std::string::npos);
    const IDs ids = LoadDevices("Long");
    ASSERT_EQ(ids.size(), 8191u);
    EXPECT_EQ(ids.back(), 123);
}

TEST_F(ConfigurationHandler, SectionNamesIgnoreCaseAndIterationReportsTheEndAndMisuse)
{
    EXPECT_EQ(RaisedCode([&] { handler.LoadDeviceList(); }), Vx::E_INVALID_POINTER); // it needs options
    EXPECT_FALSE(handler.ConfigurationExists("task"));
    handler.SaveConfiguration("TASK", "1,");
    handler.SaveConfiguration("Task", "2,3,"); // overwrites the same section
    handler.SaveConfiguration("Two", "2,");
    EXPECT_TRUE(handler.ConfigurationExists("task"));
    EXPECT_FALSE(handler.ConfigurationExists("tas"));
    EXPECT_FALSE(handler.ConfigurationExists("rule")); // no letter in common
    EXPECT_TRUE(handler.ConfigurationExists(" task "));
    EXPECT_EQ(LoadDevices("task"), (IDs{2, 3}));

    handler.LoadNames(); // a new list needs a new GetFirst
    EXPECT_EQ(RaisedCode([&] { handler.GetNext(); }), Vx::E_INVALID_ITERATOR);
    EXPECT_EQ(handler.GetFirst(), "TASK");
    EXPECT_EQ(handler.GetNext(), "Two");
    EXPECT_EQ(handler.GetNext(), "");
    EXPECT_EQ(handler.GetFirst(), "TASK");
}

// Names longer than 259 characters are never configurations.
TEST_F(ConfigurationHandler, NamesAreSectionsWithNonEmptyDevicesInFileOrder)
{
    const std::string longest(259, 'n');
    const std::string tooLong(260, 'l');
    EXPECT_EQ(LoadNames(), Names{}); // no file
    dir.WriteFile("Vexil2.ini", "[Zeta]\r\nDevices=1,\r\n[NoKey]\r\nOther=1\r\n[Empty]\r\nDevices=\r\n"
                                "[Options]\r\nColumns=126\r\n[Alpha]\r\nDevices=2,\r\n[" +
                                    tooLong + "]\r\nDevices=1,\r\n");
    EXPECT_EQ(LoadNames(), (Names{"Zeta", "Alpha"}));
    EXPECT_EQ(LoadDevices(tooLong), IDs{});
    EXPECT_EQ(RaisedCode([&] { handler.SaveConfiguration(tooLong, "2,"); }), Vx::E_SAVE_CONFIGURATION);
    EXPECT_EQ(RaisedCode([&] { handler.SaveConfiguration("", "2,"); }), Vx::E_SAVE_CONFIGURATION);
    handler.SaveConfiguration(longest, "3,");
    EXPECT_EQ(LoadNames(), (Names{"Zeta", "Alpha", longest}));
    EXPECT_EQ(LoadDevices(longest), IDs{3});
}

TEST_F(ConfigurationHandler, DeletingRemovesTheWholeSectionButOnlyTheDevicesOfOptions)
{
    dir.WriteFile("Vexil2.ini", "Stray=1\r\n[Lab]\r\nDevices=1,\r\nNote=gone\r\n[Options]\r\nInterval=42\r\n"
                                "Devices=5,\r\n[Rig]\r\nDevices=2,\r\n");
    EXPECT_TRUE(handler.DeleteConfiguration("lab"));
    EXPECT_TRUE(handler.DeleteConfiguration("Absent"));
    EXPECT_TRUE(handler.DeleteConfiguration("")); // not the keys before the first section
    EXPECT_TRUE(handler.DeleteConfiguration("Options"));
    EXPECT_EQ(dir.ReadFile("Vexil2.ini"), "Stray=1\r\n[Options]\r\nInterval=42\r\n[Rig]\r\nDevices=2,\r\n");
    // Only the exact name is spared: any other spelling removes the section.
    EXPECT_TRUE(handler.DeleteConfiguration("options"));
    EXPECT_EQ(dir.ReadFile("Vexil2.ini"), "Stray=1\r\n[Rig]\r\nDevices=2,\r\n");
}
