#include "controls/shell/folder_item_data.h"

#include "platform/qt/shell/shell_namespace.h"

#include <atomic>

namespace lumeno {

namespace {
std::atomic<int> liveCount{0};
}

TFolderItemData::TFolderItemData(std::shared_ptr<TShellFolder> parentFolder, std::uint32_t attributes,
                                 TOwnedIdList relative, TOwnedIdList absolute)
    : ParentFolder(std::move(parentFolder)), Attributes(attributes), Relative(std::move(relative)),
      Absolute(std::move(absolute))
{
    ++liveCount;
}

TFolderItemData::~TFolderItemData() { --liveCount; }

int TFolderItemData::LiveCount() { return liveCount; }

} // namespace lumeno
