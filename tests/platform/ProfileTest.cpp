// The profile functions as the component uses them. Under Wine these run
// against the system's implementation, natively against ours: both must pass.
#include "platform/Platform.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace {

using Names = std::vector<std::string>;

TEST(Profile, ReadsValuesAsTheSystemDoes)
{
    const std::string sixty(60, 'c');
    const std::string values = "[Options]\r\n  Columns  =  12x  \r\nConfiguration=\"Bench A\"\r\nQuoted='x'\r\n"
                               "Half=\"open\r\nNoValue\r\nLong=" + sixty + "\r\n";
    const std::string loose = "Stray=1\r\n[A]\r\nx=2\r\n[ Spaced ]\r\nDevices=1,\r\n[Last]\nDevices=5,";
    const struct
    {
        const char* name;
        std::optional<std::string> file; // none: no file
        const char* section;
        const char* key;
        const char* fallback;
        std::size_t size;
        std::string value;
    } rows[] = {
        {"no file, blanks cut from the default", std::nullopt, "Options", "Columns", "no  ", 50, "no"},
        {"value trimmed", values, "Options", "Columns", "dflt", 50, "12x"},
        {"double quotes taken off", values, "Options", "Configuration", "dflt", 50, "Bench A"},
        {"single quotes taken off", values, "Options", "Quoted", "dflt", 50, "x"},
        {"one quote stays", values, "Options", "Half", "dflt", 50, "\"open"},
        {"line without =", values, "Options", "NoValue", "dflt", 50, "dflt"},
        {"just fits the buffer", values, "Options", "Long", "dflt", 61, sixty},
        {"keys before the first section", loose, "", "Stray", "dflt", 50, "1"},
        {"those keys are no section's", loose, "A", "Stray", "dflt", 50, "dflt"},
        {"section name trimmed", loose, " Spaced ", "Devices", "dflt", 50, "1,"},
        {"no final line end", loose, "Last", "Devices", "dflt", 50, "5,"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        CTestDirectory directory;
        if (row.file)
            directory.WriteFile("Vexil2.ini", *row.file);
        const std::string file = directory.GetFile("Vexil2.ini");
        EXPECT_EQ(Platform::ReadProfileString(row.section, row.key, row.fallback, row.size, file), row.value);
        EXPECT_EQ(directory.Exists("Vexil2.ini"), row.file.has_value());
    }
}

struct CWrite
{
    const char* section;
    const char* key; // none: the section goes
    const char* value; // none: the key goes
};

TEST(Profile, WritesTheFileInTheSystemsLayout)
{
    const std::string twoSections = "[A]\r\nDevices=1,\r\n[B]\r\nDevices=2,\r\n";
    const struct
    {
        const char* name;
        std::string before;
        std::vector<CWrite> writes;
        std::string after;
    } rows[] = {
        {"new file", "", {{"Options", "Columns", "126"}, {"Options", "Interval", "10"}, {"Test", "Devices", "3,17,"}},
         "[Options]\r\nColumns=126\r\nInterval=10\r\n[Test]\r\nDevices=3,17,\r\n"},
        {"same names in another case", "[Options]\r\nColumns=126\r\n", {{"options", "COLUMNS", "46"}},
         "[Options]\r\nColumns=46\r\n"},
        {"hand-written file keeps its lines", "top=0\n\n[A]\n\n; note\n  x = 1 \n\n\nbare\n[B]\ny=2",
         {{"a", "z", "  3"}},
         "top=0\r\n[A]\r\n; note\r\nx=1\r\nbare\r\nz=3\r\n[B]\r\ny=2\r\n"},
        {"names trimmed", "[ Spaced ]\r\nDevices=1,\r\n", {{" Pad ", " Devices ", "2,"}},
         "[Spaced]\r\nDevices=1,\r\n[Pad ]\r\nDevices =2,\r\n"},
        {"key deleted", "[Options]\r\nColumns=126\r\nDevices=1,2,\r\n", {{"Options", "Devices", nullptr}},
         "[Options]\r\nColumns=126\r\n"},
        {"section deleted", twoSections, {{"a", nullptr, nullptr}}, "[B]\r\nDevices=2,\r\n"},
        {"keys before the first section deleted", "Stray=1\r\n[A]\r\nx=2\r\n", {{"", nullptr, nullptr}},
         "[A]\r\nx=2\r\n"},
        {"deleting what is not there", twoSections, {{"A", "NotThere", nullptr}, {"NotThere", nullptr, nullptr}},
         twoSections},
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

TEST(Profile, SectionNamesComeInFileOrderAsFarAsTheBufferGoes)
{
    CTestDirectory directory;
    const std::string file = directory.GetFile("Vexil2.ini");
    EXPECT_TRUE(Platform::ReadProfileSectionNames(16384, file).empty());
    directory.WriteFile("Vexil2.ini", "Loose=1\r\n[First]\r\nColumns=1\r\n[ Second ]\r\n[alpha]\r\nDevices=1,\r\n");
    EXPECT_EQ(Platform::ReadProfileSectionNames(16384, file), (Names{"First", "Second", "alpha"}));
    // "First\0" takes 6 of the 10 places, one is kept for the final NUL.
    EXPECT_EQ(Platform::ReadProfileSectionNames(10, file), (Names{"First", "Se"}));
    EXPECT_EQ(Platform::ReadProfileSectionNames(7, file), (Names{"First"}));
}

} // namespace
