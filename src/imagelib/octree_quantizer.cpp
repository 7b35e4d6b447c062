#include "imagelib/octree_quantizer.h"

namespace lumeno {

TOctreeQuantizer::TOctreeQuantizer(int MaxColors) : FMaxColors(MaxColors), FRoot(new TNode) {}

TOctreeQuantizer::~TOctreeQuantizer()
{
    FreeNode(FRoot);
}

void TOctreeQuantizer::AddColor(TColor Color, std::uint64_t Count)
{
    const unsigned r = GetRValue(Color), g = GetGValue(Color), b = GetBValue(Color);
    TNode* node = FRoot;
    for (;;) {
        node->PixelCount += Count;
        node->SumRed += Count * r;
        node->SumGreen += Count * g;
        node->SumBlue += Count * b;
        if (node->Leaf || node->Level >= FDepthLimit)
            break;
        const int shift = 7 - node->Level;
        const int index =
            static_cast<int>(((r >> shift) & 1) * 4 + ((g >> shift) & 1) * 2 + ((b >> shift) & 1));
        TNode*& child = node->Children[index];
        if (!child) {
            child = new TNode;
            child->Level = node->Level + 1;
            if (child->Level >= FDepthLimit) {
                child->Leaf = true;
                ++FLeafCount;
            }
            ++node->ChildCount;
        } else if (node->ChildCount > 1 && !node->Listed) {
            Link(node);
        }
        node = child;
    }
    if (FLeafCount > FMaxColors)
        Reduce();
}

void TOctreeQuantizer::Link(TNode* Node)
{
    TNode*& head = FReducible[Node->Level];
    Node->Next = head;
    Node->Previous = nullptr;
    if (head)
        head->Previous = Node;
    head = Node;
    Node->Listed = true;
}

void TOctreeQuantizer::Unlink(TNode* Node)
{
    if (!Node->Listed)
        return;
    if (Node->Previous)
        Node->Previous->Next = Node->Next;
    else
        FReducible[Node->Level] = Node->Next;
    if (Node->Next)
        Node->Next->Previous = Node->Previous;
    Node->Next = Node->Previous = nullptr;
    Node->Listed = false;
}

std::uint64_t TOctreeQuantizer::Weight(const TNode* Node)
{
    return 2 * Node->SumRed + 3 * Node->SumGreen + Node->SumBlue;
}

TOctreeQuantizer::TNode* TOctreeQuantizer::DeepestListed() const
{
    for (int level = FDepthLimit - 1; level >= 0; --level) {
        TNode* best = nullptr;
        for (TNode* n = FReducible[level]; n; n = n->Next)
            if (!best || Weight(n) < Weight(best))
                best = n;
        if (best)
            return best;
    }
    return nullptr;
}

// Nodes enter the reducible lists only when a colour revisits one of their
// branches, so the lists can be empty while there are too many leaves; then
// the deepest node with several children is merged instead.
TOctreeQuantizer::TNode* TOctreeQuantizer::DeepestBranch(TNode* Node) const
{
    if (Node->Leaf)
        return nullptr;
    TNode* best = Node->ChildCount > 1 ? Node : nullptr;
    for (TNode* child : Node->Children) {
        if (!child)
            continue;
        TNode* found = DeepestBranch(child);
        if (found && (!best || found->Level > best->Level ||
                      (found->Level == best->Level && Weight(found) < Weight(best))))
            best = found;
    }
    return best;
}

// The reducible lists can hold a shallower node than the deepest branch, and
// merging the root sends every later colour into one leaf; so the deepest
// branch goes first and the root is never merged while more than one colour
// is wanted: two of its children are joined instead.
void TOctreeQuantizer::Reduce()
{
    TNode* node = DeepestListed();
    TNode* branch = DeepestBranch(FRoot);
    if (branch && (!node || branch->Level > node->Level))
        node = branch;
    if (!node)
        return;
    if (node == FRoot && FMaxColors > 1) {
        JoinClosestChildren(FRoot);
        return;
    }
    Unlink(node);
    FreeChildren(node);
    node->Leaf = true;
    ++FLeafCount;
    if (FDepthLimit - 1 > node->Level)
        FDepthLimit = node->Level + 1;
}

std::uint64_t TOctreeQuantizer::Distance(const TNode* A, const TNode* B)
{
    const auto mean = [](std::uint64_t Sum, const TNode* N) {
        return static_cast<std::int64_t>(Sum / (N->PixelCount ? N->PixelCount : 1));
    };
    const std::int64_t dr = mean(A->SumRed, A) - mean(B->SumRed, B);
    const std::int64_t dg = mean(A->SumGreen, A) - mean(B->SumGreen, B);
    const std::int64_t db = mean(A->SumBlue, A) - mean(B->SumBlue, B);
    return static_cast<std::uint64_t>(2 * dr * dr + 3 * dg * dg + db * db);
}

// Every child of the node is a single leaf here: the closest pair of them
// becomes one leaf carrying both colours' pixels.
void TOctreeQuantizer::JoinClosestChildren(TNode* Node)
{
    int keep = -1, drop = -1;
    std::uint64_t best = 0;
    for (int i = 0; i < 8; ++i)
        for (int j = i + 1; j < 8; ++j) {
            const TNode* a = Node->Children[static_cast<std::size_t>(i)];
            const TNode* b = Node->Children[static_cast<std::size_t>(j)];
            if (!a || !b)
                continue;
            const std::uint64_t d = Distance(a, b);
            if (keep < 0 || d < best) {
                best = d;
                keep = i;
                drop = j;
            }
        }
    if (keep < 0)
        return;
    TNode* into = Node->Children[static_cast<std::size_t>(keep)];
    TNode*& from = Node->Children[static_cast<std::size_t>(drop)];
    into->PixelCount += from->PixelCount;
    into->SumRed += from->SumRed;
    into->SumGreen += from->SumGreen;
    into->SumBlue += from->SumBlue;
    FreeNode(from);
    from = nullptr;
    --Node->ChildCount;
    if (!into->Leaf) {
        FreeChildren(into);
        into->Leaf = true;
        ++FLeafCount;
    }
}

void TOctreeQuantizer::FreeChildren(TNode* Node)
{
    for (TNode*& child : Node->Children) {
        if (child)
            FreeNode(child);
        child = nullptr;
    }
    Node->ChildCount = 0;
}

void TOctreeQuantizer::FreeNode(TNode* Node)
{
    FreeChildren(Node);
    Unlink(Node);
    if (Node->Leaf)
        --FLeafCount;
    delete Node;
}

void TOctreeQuantizer::CollectLeaves(const TNode* Node, std::vector<TColor>& Out) const
{
    if (Node->Leaf) {
        const std::uint64_t n = Node->PixelCount ? Node->PixelCount : 1;
        Out.push_back(RGB(static_cast<unsigned>(Node->SumRed / n), static_cast<unsigned>(Node->SumGreen / n),
                          static_cast<unsigned>(Node->SumBlue / n)));
        return;
    }
    for (const TNode* child : Node->Children)
        if (child)
            CollectLeaves(child, Out);
}

std::vector<TColor> TOctreeQuantizer::Palette() const
{
    std::vector<TColor> out;
    CollectLeaves(FRoot, out);
    return out;
}

} // namespace lumeno
