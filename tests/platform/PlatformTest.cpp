#include "platform/Platform.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

#ifdef _WIN32
TEST(ModuleDirectory, IsTheDirectoryOfTheModuleThatHoldsTheCode)
{
    Platform::SetModuleDirectory({});
    std::string expected(MAX_PATH, '\0');
    expected.resize(GetModuleFileNameA(nullptr, expected.data(), MAX_PATH));
    expected.resize(expected.find_last_of('\\') + 1);
    EXPECT_EQ(Platform::GetModuleDirectory(), expected);
}
#endif

// A save is complete or leaves the old bytes; a folder that refuses new
// files is written in place, so the file keeps its identity.
TEST(ReplaceFileContent, CompletesOrLeavesTheOldBytes)
{
    const std::string old = "old content, ten and more bytes";
    const std::string longer(200, 'n');
    const struct
    {
        const char* name;
        Platform::CFileFaults faults;
        std::string bytes;
        bool saved;
    } cases[] = {
        {"full disk", {std::uint64_t{3}, false}, longer, false},
        {"no new files, shorter", {std::nullopt, true}, "abc", true},
        {"no new files, longer than the room left", {std::uint64_t{10}, true}, longer, false},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.name);
        CTestDirectory directory;
        directory.WriteFile("file.txt", old);
        std::filesystem::create_hard_link(directory.GetFile("file.txt"), directory.GetFile("link.txt"));
        Platform::SetFileFaults(test.faults);
        const bool saved = Platform::ReplaceFileContent(directory.GetFile("file.txt"), test.bytes);
        Platform::SetFileFaults({});
        EXPECT_EQ(saved, test.saved);
        EXPECT_EQ(directory.ReadFile("file.txt"), test.saved ? test.bytes : old);
        EXPECT_FALSE(directory.Exists("file.txt.tmp-new"));
        // Written in place or not at all: the other link sees the same bytes.
        EXPECT_EQ(directory.ReadFile("link.txt"), directory.ReadFile("file.txt"));
    }
}

} // namespace
