// The profile functions as the component uses them. Under Wine these run
// against the system's implementation, natively against ours: both must pass.
#include "platform/Platform.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Names = std::vector<std::string>;

TEST(Profile, ReadsValuesAsTheSystemDoes)
{
    CTestDirectory directory;
    directory.WriteFile("Vexil2.ini", "Stray=1\r\n[Options]\r\n  Columns  =  12x  \r\nConfiguration=\"Bench A\"\r\n"
                                      "Quoted='x'\r\nHalf=\"open\r\nNoValue\r\n[A]\r\nx=2\r\n[Last]\nDevices=5,");
    const struct
    {
        const char* name;
        const char* section;
        const char* key;
        std::string value;
    } rows[] = {
        {"value trimmed", "Options", "Columns", "12x"},
        {"double quotes taken off", "Options", "Configuration", "Bench A"},
        {"single quotes taken off", "Options", "Quoted", "x"},
        {"one quote stays", "Options", "Half", "\"open"},
        {"line without =", "Options", "NoValue", "dflt"},
        {"keys before the first section are no section's", "A", "Stray", "dflt"},
        {"no final line end", "Last", "Devices", "5,"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Platform::ReadProfileString(row.section, row.key, "dflt", 50, directory.GetFile("Vexil2.ini")),
                  row.value) << row.name;
}

struct CWrite
{
    const char* section;
    const char* key;
    const char* value;
};

TEST(Profile, WritesTheFileInTheSystemsLayout)
{
    const struct
    {
        const char* name;
        std::string before;
        std::vector<CWrite> writes;
        std::string after;
    } rows[] = {
        {"new file", "", {{"Options", "Columns", "126"}, {"Options", "Interval", "10"}, {"Test", "Devices", "3,17,"}},
         "[Options]\r\nColumns=126\r\nInterval=10\r\n[Test]\r\nDevices=3,17,\r\n"},
        {"hand-written file keeps its lines", "top=0\n\n[A]\n\n; note\n  x = 1 \n\n\nbare\n[B]\ny=2",
         {{"a", "z", "  3"}},
         "top=0\r\n[A]\r\n; note\r\nx=1\r\nbare\r\nz=3\r\n[B]\r\ny=2\r\n"},
        {"names trimmed", "[ Spaced ]\r\nDevices=1,\r\n", {{" Pad ", " Devices ", "2,"}},
         "[Spaced]\r\nDevices=1,\r\n[Pad ]\r\nDevices =2,\r\n"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        CTestDirectory directory;
        if (!row.before.empty())
            directory.WriteFile("Vexil2.ini", row.before);
        for (const CWrite& write : row.writes)
            EXPECT_TRUE(Platform::WriteProfileString(write.section, write.key, write.value,
                                                     directory.GetFile("Vexil2.ini")));
        EXPECT_EQ(directory.ReadFile("Vexil2.ini"), row.after);
    }
}

TEST(Profile, SectionNamesComeTrimmedInFileOrder)
{
    CTestDirectory directory;
    const std::string file = directory.GetFile("Vexil2.ini");
    directory.WriteFile("Vexil2.ini", "Loose=1\r\n[First]\r\nColumns=1\r\n[ Second ]\r\n[alpha]\r\nDevices=1,\r\n");
    EXPECT_EQ(Platform::ReadProfileSectionNames(16384, file), (Names{"First", "Second", "alpha"}));
}

} // namespace
