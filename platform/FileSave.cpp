// Saving a file so that it is either complete or left as it was, and the
// test seam for full disks and folders that refuse new files.
#include "platform/Platform.h"

#include <algorithm>

namespace {

Platform::CFileFaults faults;

} // namespace

namespace Platform {

void SetFileFaults(const CFileFaults& newFaults) { faults = newFaults; }

const CFileFaults& GetFileFaults() { return faults; }

std::size_t TakeRoomForWrite(std::uint64_t offset, std::size_t wanted, std::uint64_t oldSize)
{
    const auto inRoom = static_cast<std::size_t>(offset < oldSize ? std::min<std::uint64_t>(oldSize - offset, wanted) : 0);
    const std::size_t beyond = wanted - inRoom;
    if (!faults.FreeBytes)
        return wanted;
    const auto granted = static_cast<std::size_t>(std::min<std::uint64_t>(beyond, *faults.FreeBytes));
    *faults.FreeBytes -= granted;
    return inRoom + granted;
}

bool ReplaceFileContent(const std::string& target, std::string_view bytes)
{
    const std::string temporary = target + ".tmp-new";
    switch (WriteNewFile(temporary, bytes))
    {
    case WriteOutcome::Written:
        if (MoveFileOver(temporary, target))
            return true;
        break;
    case WriteOutcome::Failed:
        break;
    case WriteOutcome::CannotCreate:
    {
        // Only the file itself may be written: keep what it holds, and put
        // that back if the new content does not fit.
        const std::optional<std::string> old = ReadFileBytes(target);
        if (!old)
            return false;
        if (OverwriteFile(target, bytes))
            return true;
        OverwriteFile(target, *old);
        return false;
    }
    }
    RemoveFile(temporary);
    return false;
}

} // namespace Platform
