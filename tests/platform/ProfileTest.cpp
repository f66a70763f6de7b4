// The profile functions as the component uses them. Under Wine these run
// against the system's implementation, natively against ours: both must pass.
#include "platform/Platform.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

class Profile : public testing::Test
{
protected:
    std::string Read(const char* section, const char* key, const char* fallback = "dflt",
                     std::size_t size = 50)
    {
        return Platform::ReadProfileString(section, key, fallback, size, m_file);
    }
    bool Write(const char* section, const char* key, const char* value)
    {
        return Platform::WriteProfileString(section, key, value, m_file);
    }
    std::string Bytes() { return m_directory.ReadFile("Vexil2.ini"); }

    CTestDirectory m_directory;
    std::string m_file = m_directory.GetFile("Vexil2.ini");
};

TEST_F(Profile, MissingFileGivesTheDefaultWithoutTrailingBlanks)
{
    EXPECT_EQ(Read("Options", "Columns", "126"), "126");
    EXPECT_EQ(Read("Options", "Columns", "no  "), "no");
    EXPECT_EQ(Read("Options", "Columns", ""), "");
    EXPECT_FALSE(m_directory.Exists("Vexil2.ini"));
    EXPECT_TRUE(Platform::ReadProfileSectionNames(16384, m_file).empty());
}

TEST_F(Profile, WritesTheFileInTheSystemsLayout)
{
    ASSERT_TRUE(Write("Options", "Columns", "126"));
    ASSERT_TRUE(Write("Options", "Interval", "10"));
    ASSERT_TRUE(Write("Test", "Devices", "3,17,"));
    EXPECT_EQ(Bytes(), "[Options]\r\nColumns=126\r\nInterval=10\r\n[Test]\r\nDevices=3,17,\r\n");
    ASSERT_TRUE(Write("options", "COLUMNS", "46"));
    EXPECT_EQ(Bytes(), "[Options]\r\nColumns=46\r\nInterval=10\r\n[Test]\r\nDevices=3,17,\r\n");
}

TEST_F(Profile, RewritingAHandWrittenFileKeepsItsLines)
{
    m_directory.WriteFile("Vexil2.ini", "top=0\n\n[A]\n\n; note\n  x = 1 \n\n\nbare\n[B]\ny=2");
    ASSERT_TRUE(Write("a", "z", "  3"));
    EXPECT_EQ(Bytes(), "top=0\r\n[A]\r\n; note\r\nx=1\r\nbare\r\nz=3\r\n[B]\r\ny=2\r\n");
}

TEST_F(Profile, NamesAreTrimmedOfSurroundingBlanks)
{
    m_directory.WriteFile("Vexil2.ini", "[ Spaced ]\r\nDevices=1,\r\n");
    EXPECT_EQ(Platform::ReadProfileSectionNames(16384, m_file), (Names{"Spaced"}));
    EXPECT_EQ(Read(" Spaced ", "Devices"), "1,");
    ASSERT_TRUE(Write(" Pad ", " Devices ", "2,"));
    EXPECT_EQ(Bytes(), "[Spaced]\r\nDevices=1,\r\n[Pad ]\r\nDevices =2,\r\n");
    EXPECT_EQ(Read("Pad", "Devices"), "2,");
}

TEST_F(Profile, KeysBeforeTheFirstSectionFormTheNamelessSection)
{
    m_directory.WriteFile("Vexil2.ini", "Stray=1\r\n[A]\r\nx=2\r\n");
    EXPECT_EQ(Read("", "Stray"), "1");
    EXPECT_EQ(Read("A", "Stray"), "dflt");
    ASSERT_TRUE(Write("", nullptr, nullptr));
    EXPECT_EQ(Read("", "Stray"), "dflt");
    EXPECT_EQ(Read("A", "x"), "2");
}

TEST_F(Profile, NamesAreComparedWithoutRegardToCase)
{
    ASSERT_TRUE(Write("TEST", "Devices", "1,"));
    EXPECT_EQ(Read("test", "devices"), "1,");
    EXPECT_EQ(Read("Test", "DEVICES"), "1,");
}

TEST_F(Profile, ValuesAreTrimmedAndUnquoted)
{
    m_directory.WriteFile("Vexil2.ini", "[Options]\r\n  Columns  =  12x  \r\nConfiguration=\"Bench A\"\r\n"
                                        "Quoted='x'\r\nHalf=\"open\r\nNoValue\r\nEmpty=\r\n");
    EXPECT_EQ(Read("Options", "Columns"), "12x");
    EXPECT_EQ(Read("Options", "Configuration"), "Bench A");
    EXPECT_EQ(Read("Options", "Quoted"), "x");
    EXPECT_EQ(Read("Options", "Half"), "\"open");
    EXPECT_EQ(Read("Options", "NoValue"), "dflt");
    EXPECT_EQ(Read("Options", "Empty"), "");
    EXPECT_EQ(Read("Options", "Missing"), "dflt");
}

TEST_F(Profile, ValuesAreCutToTheBuffer)
{
    const std::string sixty(60, 'c');
    ASSERT_TRUE(Write("Options", "Configuration", sixty.c_str()));
    EXPECT_EQ(Read("Options", "Configuration"), std::string(49, 'c'));
    EXPECT_EQ(Read("Options", "Configuration", "", 61), sixty);
}

TEST_F(Profile, LinesOfAnyLengthAndWithoutFinalLineEndAreRead)
{
    const std::string devices(20000, '7');
    m_directory.WriteFile("Vexil2.ini", "[Big]\nDevices=" + devices + "\n[Last]\nDevices=5,");
    EXPECT_EQ(Read("Big", "Devices", "", 16384), devices.substr(0, 16383));
    EXPECT_EQ(Read("Last", "Devices"), "5,");
}

TEST_F(Profile, DeletingAKeyKeepsTheRestOfTheSection)
{
    ASSERT_TRUE(Write("Options", "Columns", "126"));
    ASSERT_TRUE(Write("Options", "Devices", "1,2,"));
    ASSERT_TRUE(Write("Options", "Devices", nullptr));
    EXPECT_EQ(Read("Options", "Devices"), "dflt");
    EXPECT_EQ(Read("Options", "Columns"), "126");
    EXPECT_TRUE(Write("Options", "NotThere", nullptr));
}

TEST_F(Profile, DeletingASectionRemovesItsKeys)
{
    ASSERT_TRUE(Write("A", "Devices", "1,"));
    ASSERT_TRUE(Write("B", "Devices", "2,"));
    ASSERT_TRUE(Write("a", nullptr, nullptr));
    EXPECT_EQ(Read("A", "Devices"), "dflt");
    EXPECT_EQ(Platform::ReadProfileSectionNames(16384, m_file), (Names{"B"}));
    EXPECT_TRUE(Write("NotThere", nullptr, nullptr));
}

TEST_F(Profile, SectionNamesComeInFileOrder)
{
    m_directory.WriteFile("Vexil2.ini", "Loose=1\r\n[Options]\r\nColumns=1\r\n[Zeta]\r\n[alpha]\r\nDevices=1,\r\n");
    EXPECT_EQ(Platform::ReadProfileSectionNames(16384, m_file), (Names{"Options", "Zeta", "alpha"}));
}

TEST_F(Profile, SectionNamesBeyondTheBufferAreNotSeen)
{
    ASSERT_TRUE(Write("First", "Devices", "1,"));
    ASSERT_TRUE(Write("Second", "Devices", "2,"));
    // "First\0" takes 6 of the 10 places, one is kept for the final NUL.
    EXPECT_EQ(Platform::ReadProfileSectionNames(10, m_file), (Names{"First", "Se"}));
    EXPECT_EQ(Platform::ReadProfileSectionNames(7, m_file), (Names{"First"}));
}

TEST_F(Profile, AMissingDirectoryCannotBeWrittenAndReadsAsDefaults)
{
    const std::string file = m_directory.GetFile("missing") + Platform::GetPathSeparator() + "Vexil2.ini";
    EXPECT_FALSE(Platform::WriteProfileString("Options", "Columns", "1", file));
    EXPECT_EQ(Platform::ReadProfileString("Options", "Columns", "126", 50, file), "126");
}

TEST_F(Profile, ADirectoryInPlaceOfTheFileCannotBeWritten)
{
    std::filesystem::create_directory(m_file);
    EXPECT_FALSE(Write("Options", "Columns", "1"));
    EXPECT_EQ(Read("Options", "Columns", "126"), "126");
}

} // namespace
