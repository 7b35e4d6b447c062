// A libFuzzer target for the kit tree's node stream: each input is read into
// a collection of plain nodes and into one of tree-combo nodes, whose Boolean
// values travel in the stream too. A refused stream raises EfcStreamError and
// nothing else; a stream that reads is written and must read back.

#include "controls/kit/fc_tree_combo_tree_node.h"
#include "controls/kit/fc_tree_nodes.h"
#include "platform/stream.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

void ReadAndRewrite(lumeno::TfcTreeNodes& nodes, const std::uint8_t* data, std::size_t size)
{
    lumeno::TMemoryStream stream(data, static_cast<std::int64_t>(size));
    try {
        nodes.ReadData(stream);
    } catch (const lumeno::EfcStreamError&) {
        return;
    }
    lumeno::TMemoryStream written;
    nodes.WriteData(written);
    written.SetPosition(0);
    nodes.ReadData(written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumeno::TfcTreeNodes plain;
    ReadAndRewrite(plain, data, size);
    lumeno::TfcTreeNodes combo(nullptr, [](lumeno::TfcTreeNodes* owner) {
        return std::make_unique<lumeno::TfcTreeComboTreeNode>(owner);
    });
    ReadAndRewrite(combo, data, size);
    return 0;
}
