#include "dialogs/FileDialog.h"

#include <utility>

namespace FileDialog {
namespace {

CAsk& Current()
{
    static CAsk ask;
    return ask;
}

} // namespace

BOOL Ask(OPENFILENAMEA& request, bool save)
{
    if (const CAsk& ask = Current())
        return ask(request, save);
    return save ? GetSaveFileNameA(&request) : GetOpenFileNameA(&request);
}

CAsk Replace(CAsk ask)
{
    return std::exchange(Current(), std::move(ask));
}

} // namespace FileDialog
