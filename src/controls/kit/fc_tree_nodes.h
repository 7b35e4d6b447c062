#pragma once
// The node collection of one kit tree: adding, inserting, deleting, index
// access that remembers its last answer, counted updates, sorting, find by
// text, and the node stream that Assign goes through.

#include "controls/kit/fc_tree_node.h"
#include "platform/exception.h"
#include "platform/stream.h"

#include <functional>

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(ETreeViewError, Exception);
// A node stream that does not hold what it claims.
LUMENO_DECLARE_EXCEPTION(EfcStreamError, EReadError);

// What the collection tells the control that shows it. Rows are indexes
// among the parent's children (parent nullptr: the root level).
class TfcTreeNodesHost {
public:
    virtual ~TfcTreeNodesHost() = default;
    virtual void NodesAboutToInsert(TfcTreeNode* parent, int row) = 0;
    virtual void NodesInserted() = 0;
    virtual void NodeAboutToDelete(TfcTreeNode* node) = 0;
    virtual void NodesDeleted() = 0;
    virtual void NodesAboutToReset() = 0;
    virtual void NodesReset() = 0;
    // Nodes keep their identity while their order changes.
    virtual void NodesAboutToSort() = 0;
    virtual void NodesSorted() = 0;
    virtual void NodeChanged(TfcTreeNode* node) = 0;
    virtual void NodeExpandedChanged(TfcTreeNode* node) = 0;
    virtual void CheckedChanged(TfcTreeNode* node) = 0;
    // A text or data change that may need the siblings re-sorted.
    virtual void SortKeyChanged(TfcTreeNode* node, bool text) = 0;
    virtual void SetRedraw(bool on) = 0;
    // After Assign: the control selects the first node.
    virtual void NodesAssigned() {}
};

using TfcNodeFactory = std::function<std::unique_ptr<TfcTreeNode>(TfcTreeNodes*)>;
using TfcNodeCompare = std::function<int(const TfcTreeNode*, const TfcTreeNode*)>;

class TfcTreeNodes {
public:
    explicit TfcTreeNodes(TfcTreeNodesHost* host = nullptr, TfcNodeFactory factory = {});
    ~TfcTreeNodes();
    TfcTreeNodes(const TfcTreeNodes&) = delete;
    TfcTreeNodes& operator=(const TfcTreeNodes&) = delete;

    TfcTreeNodesHost* Host() const { return host_; }
    void SetNodeFactory(TfcNodeFactory factory) { factory_ = std::move(factory); }

    // Number of nodes on every level.
    int Count() const { return count_; }
    int RootCount() const { return static_cast<int>(roots_.size()); }
    TfcTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front().get(); }
    TfcTreeNode* Root(int index) const;
    // The node at an absolute index in tree order; raises ETreeViewError
    // for an index out of range. Neighbours of the last answer are cheap.
    TfcTreeNode* Item(int index);

    // After sibling's last sibling (at the end of the root level for nullptr).
    TfcTreeNode* Add(TfcTreeNode* sibling, const QString& text);
    TfcTreeNode* AddFirst(TfcTreeNode* sibling, const QString& text);
    TfcTreeNode* AddChild(TfcTreeNode* parent, const QString& text);
    TfcTreeNode* AddChildFirst(TfcTreeNode* parent, const QString& text);
    // Before sibling (at the end of the root level for nullptr).
    TfcTreeNode* Insert(TfcTreeNode* sibling, const QString& text);
    void Delete(TfcTreeNode* node);
    void Clear();

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

    // Sorts the children of parent (nullptr: the root level), and with
    // recurse every level below.
    void SortChildren(TfcTreeNode* parent, const TfcNodeCompare& compare, bool recurse);

    // The first node, in tree order, whose text equals text ignoring case.
    TfcTreeNode* FindNode(const QString& text, bool visibleOnly) const;

    // The node stream: the version property and the binary "Data".
    static constexpr std::int32_t StreamVersion = 1;
    std::int32_t ReadStreamVersion() const { return streamVersion_; }
    void SetReadStreamVersion(std::int32_t value) { streamVersion_ = value; }
    void WriteData(TStream& stream) const;
    // Replaces the nodes by the stream's; a broken stream raises
    // EfcStreamError and leaves the nodes as they were.
    void ReadData(TStream& stream);
    // Copies another collection's nodes through the stream format.
    void Assign(const TfcTreeNodes& source);

private:
    friend class TfcTreeNode;
    struct Record;
    TfcTreeNode* InsertAt(TfcTreeNode* parent, int row, const QString& text);
    std::vector<std::unique_ptr<TfcTreeNode>>& ChildList(TfcTreeNode* parent);
    void Renumber(TfcTreeNode* parent, int from);
    void Forget() { lastNode_ = nullptr; }
    void Build(TfcTreeNode* parent, const Record& record);
    std::unique_ptr<TfcTreeNode> NewNode();

    TfcTreeNodesHost* host_;
    TfcNodeFactory factory_;
    std::vector<std::unique_ptr<TfcTreeNode>> roots_;
    int count_ = 0;
    int updateCount_ = 0;
    std::int32_t streamVersion_ = StreamVersion;
    TfcTreeNode* lastNode_ = nullptr;
    int lastIndex_ = -1;
};

} // namespace lumeno
