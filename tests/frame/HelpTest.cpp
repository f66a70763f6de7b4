// Help of the control: which requests open which topic of which help file.
// The help viewer itself never starts: the requests are caught (FrameTestSupport).
#include "tests/frame/FrameTestSupport.h"

#include <functional>

namespace {

LRESULT SendHelpRequest(HWND window, DWORD context)
{
    HELPINFO request{sizeof request, HELPINFO_WINDOW, 0, nullptr, context, {0, 0}};
    return SendMessageW(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&request));
}

class FrameHelp : public FrameTest
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Embed()); }
};

TEST_F(FrameHelp, EachRequestOpensItsTopicInTheHelpFileBesideTheModuleAndTopicZeroNone)
{
    m_control->ShowHelpContext(m_window, 0);
    EXPECT_TRUE(GetHelpRequests().empty());
    const struct
    {
        const char* name;
        std::function<void()> ask;
        DWORD context;
        bool overActiveWindow; // else over the control's window
    } cases[] = {
        {"Help button", [this] { SendMessageW(Item(IDC_HELP_BUTTON), BM_CLICK, 0, 0); }, 1, false},
        {"request without context", [this] { EXPECT_TRUE(SendHelpRequest(m_window, 0)); }, 1, false},
        {"request with context 14", [this] { EXPECT_TRUE(SendHelpRequest(m_window, 14)); }, 14, true},
    };
    for (const auto& row : cases)
    {
        SCOPED_TRACE(row.name);
        GetHelpRequests().clear();

        row.ask();
        m_container.PumpMessages();

        ASSERT_EQ(GetHelpRequests().size(), 1u);
        const CHelpRequest& request = GetHelpRequests()[0];
        EXPECT_EQ(request.window, row.overActiveWindow ? GetActiveWindow() : m_window);
        EXPECT_EQ(request.file, GetProgramHelpFile());
        EXPECT_EQ(request.command, 1u); // HELP_CONTEXT
        EXPECT_EQ(request.context, row.context);
        // Served here: the request does not travel on to the host's windows.
        EXPECT_EQ(m_container.CountFrameMessages(WM_HELP), 0);
    }
}

} // namespace
