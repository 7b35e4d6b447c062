// Writes the seeds of the node-stream target: small trees of plain and
// tree-combo nodes with texts, links, check boxes and nesting, written by
// the collections themselves. Usage: tree_nodes_seeds FOLDER; the seeds go
// to FOLDER/tree_nodes/.

#include "controls/kit/fc_tree_combo_tree_node.h"
#include "controls/kit/fc_tree_nodes.h"
#include "platform/stream.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;
using namespace lumeno;

namespace {

void Fill(TfcTreeNodes& nodes)
{
    TfcTreeNode* fruit = nodes.Add(nullptr, "Fruit");
    TfcTreeNode* apple = nodes.AddChild(fruit, "Apple");
    apple->SetCheckboxType(TfcCheckboxType::tctCheckbox);
    apple->SetChecked(true);
    apple->SetStringData("http://example.org");
    apple->SetStringData2("second");
    TfcTreeNode* pear = nodes.AddChild(fruit, QString::fromUtf8("Poire \xC3\xA9t\xC3\xA9"));
    pear->SetCheckboxType(TfcCheckboxType::tctRadioButton);
    pear->SetImageIndex(3);
    pear->SetData(7);
    nodes.AddChild(nodes.AddChild(pear, "Seed"), "Deeper");
    nodes.Add(nullptr, "Veg");
}

void Save(const fs::path& folder, const std::string& name, TfcTreeNodes& nodes)
{
    TMemoryStream stream;
    nodes.WriteData(stream);
    stream.SaveToFile((folder / name).string());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tree_nodes_seeds FOLDER\n");
        return 2;
    }
    const fs::path folder = fs::path(argv[1]) / "tree_nodes";
    fs::create_directories(folder);
    TfcTreeNodes empty;
    Save(folder, "empty.bin", empty);
    TfcTreeNodes plain;
    Fill(plain);
    Save(folder, "plain.bin", plain);
    TfcTreeNodes combo(nullptr, [](TfcTreeNodes* owner) { return std::make_unique<TfcTreeComboTreeNode>(owner); });
    Fill(combo);
    static_cast<TfcTreeComboTreeNode*>(combo.Item(1))->SetSelectable(false);
    Save(folder, "combo.bin", combo);
    return 0;
}
