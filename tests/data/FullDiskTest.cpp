// Saves on a disk that is full: each save reports its failure and leaves the
// file it would have replaced byte for byte. Once through the platform's
// seam, and once on a really full file system (a small tmpfs that the test
// run mounts when it runs as root).
#include "data/ConfigurationHandler.h"
#include "data/DataContainer.h"
#include "data/Options.h"
#include "data/ResultCodes.h"
#include "platform/Platform.h"
#include "tests/data/RecordTestSupport.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

const std::string HEADER = "Manual editing of this file is prohibited\r\n\r\n";
const std::string OLD_INI = "[Options]\r\nColumns=2\r\n[Rig]\r\nDevices=2,\r\n";
const std::string OLD_LIST = HEADER + "1A|2000|20|{12345679-9ABC-DEF0-0102-030405060708}|OLD\r\n";
const std::string OLD_SELECTIONS = HEADER + "1A|OLD\r\n";

class FullDisk : public testing::Test
{
protected:
    struct CSave
    {
        const char* name;
        std::function<HRESULT(FullDisk&)> save;
        HRESULT failure;
        const char* file;
        const std::string& old;
    };
    static const CSave SAVES[5];

    explicit FullDisk(const std::filesystem::path& parent = {}) : dir(parent)
    {
        container.AddDevice(0x1A, "DSP", 1);
        container.AddRegister(0x1A, 0x10, "A", "", 32, 0, 3, GUID{}).State = 2;
        container.AddRegister(0x1A, 0x2000, "CTRL", "", 32, 1, CRegisterData::USER_OPERATIONS, TestGuid(1));
    }

    void WriteOldFiles()
    {
        for (const CSave& save : SAVES)
            dir.WriteFile(save.file, save.old);
    }

    void ExpectEverySaveFailsAndKeepsItsFile()
    {
        for (const CSave& save : SAVES)
        {
            EXPECT_EQ(save.save(*this), save.failure) << save.name;
            EXPECT_EQ(dir.ReadFile(save.file), save.old) << save.name;
        }
    }

    CTestDirectory dir;
    CDataContainer container;
};

const FullDisk::CSave FullDisk::SAVES[5] = {
    {"selections", [](FullDisk& t) { return RaisedCode([&] { t.container.SaveSelections("Vexil2Selections.txt"); }); },
     Vx::E_SELECTION_FILE_UNAVAILABLE, "Vexil2Selections.txt", OLD_SELECTIONS},
    {"user registers", [](FullDisk& t) { return RaisedCode([&] { t.container.SaveUserRegisters("Vexil2List.txt"); }); },
     Vx::E_OPEN_USER_REGISTER_FILE, "Vexil2List.txt", OLD_LIST},
    {"options", [](FullDisk&) { return COptions().Save("Vexil2.ini"); }, Vx::E_SAVE_OPTIONS, "Vexil2.ini", OLD_INI},
    {"configuration",
     [](FullDisk&) { return RaisedCode([] { CConfigurationHandler(nullptr).SaveConfiguration("Lab", "1,"); }); },
     Vx::E_SAVE_CONFIGURATION, "Vexil2.ini", OLD_INI},
    {"configuration deleted",
     [](FullDisk&) { return CConfigurationHandler(nullptr).DeleteConfiguration("Rig") ? S_OK : E_FAIL; }, E_FAIL,
     "Vexil2.ini", OLD_INI},
};

TEST_F(FullDisk, ThroughTheSeamEverySaveFailsAndKeepsItsFile)
{
    WriteOldFiles();
    Platform::SetFileFaults({std::uint64_t{0}, false});
    ExpectEverySaveFailsAndKeepsItsFile();
    Platform::SetFileFaults({});
}

#ifndef VEXIL_FULL_DISK_DIR
#define VEXIL_FULL_DISK_DIR ""
#endif

// The mount that the test run made, as this program writes paths.
std::filesystem::path FullDiskMount()
{
    const std::string unixPath = VEXIL_FULL_DISK_DIR;
#ifdef _WIN32
    return std::filesystem::path("Z:" + unixPath);
#else
    return std::filesystem::path(unixPath);
#endif
}

class RealFullDisk : public FullDisk
{
protected:
    RealFullDisk() : FullDisk(FullDiskMount()) {}

    // Fills the file system to the last byte; what fits goes into "filler".
    void Fill()
    {
        std::ofstream filler(dir.GetFile("filler"), std::ios::binary);
        const std::string page(4096, 'f');
        while (filler.write(page.data(), static_cast<std::streamsize>(page.size())) && filler.flush())
        {
        }
        filler.clear();
        while (filler.put('f') && filler.flush())
        {
        }
    }
};

TEST_F(RealFullDisk, EverySaveFailsAndKeepsItsFile)
{
    if (!std::filesystem::exists(FullDiskMount() / ".vexil-tmpfs"))
        GTEST_SKIP() << "needs the small tmpfs that the test run mounts as root";
    WriteOldFiles();
    // Room for one page: enough for a copy of the ini, not for the profile
    // functions' rewrite of it, which they report as done.
    dir.WriteFile("Vexil2.ini", OLD_INI + "[Padding]\r\nText=" + std::string(4000 - OLD_INI.size() - 24, 'p') + "\r\n");
    const std::string ini = dir.ReadFile("Vexil2.ini");
    dir.WriteFile("spare", std::string(4096, 's'));
    Fill();
    dir.Remove("spare");
    COptions options;
    options.SetConfiguration(std::string(200, 'c'));
    EXPECT_EQ(options.Save("Vexil2.ini"), Vx::E_SAVE_OPTIONS);
    EXPECT_EQ(dir.ReadFile("Vexil2.ini"), ini);

    dir.WriteFile("Vexil2.ini", OLD_INI);
    Fill();
    ExpectEverySaveFailsAndKeepsItsFile();
}

} // namespace
