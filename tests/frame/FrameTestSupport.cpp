#include "tests/frame/FrameTestSupport.h"

#include "frame/com/Module.h"

#include <ole2.h>

namespace {

// OLE for the whole program, and the program as the module that holds the
// control's template, type library and manifest.
class COleEnvironment final : public testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        Module::SetInstance(GetModuleHandleW(nullptr));
    }
    void TearDown() override { OleUninitialize(); }
};

// Every help request is recorded; none starts the help viewer.
class CHelpCatcher final : public testing::EmptyTestEventListener
{
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        GetHelpRequests().clear();
        Help::ReplaceWinHelp([](HWND window, const char* file, UINT command, ULONG_PTR context) {
            GetHelpRequests().push_back({window, file ? file : "", command, context});
            return TRUE;
        });
    }
};

const bool registered = [] {
    testing::AddGlobalTestEnvironment(new COleEnvironment);
    testing::UnitTest::GetInstance()->listeners().Append(new CHelpCatcher);
    return true;
}();

} // namespace

std::vector<CHelpRequest>& GetHelpRequests()
{
    static std::vector<CHelpRequest> requests;
    return requests;
}

void FrameTest::Embed()
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    m_window = m_container.GetControlWindow();
    ASSERT_TRUE(IsWindow(m_window));
}
