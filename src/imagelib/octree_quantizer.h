#pragma once
// Palette for palette pictures: the source's colours, weighted by how many
// pixels use them, merged in an octree until few enough leaves remain.

#include "platform/types.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace lumeno {

class TOctreeQuantizer {
public:
    explicit TOctreeQuantizer(int MaxColors);
    ~TOctreeQuantizer();
    TOctreeQuantizer(const TOctreeQuantizer&) = delete;
    TOctreeQuantizer& operator=(const TOctreeQuantizer&) = delete;

    // Adds a colour used by Count pixels, merging leaves when there are too many.
    void AddColor(TColor Color, std::uint64_t Count);
    // One entry per leaf, depth first with children in order.
    std::vector<TColor> Palette() const;
    int LeafCount() const { return FLeafCount; }

private:
    struct TNode {
        int Level = 0;
        bool Leaf = false;
        bool Listed = false;
        std::uint64_t PixelCount = 0;
        std::uint64_t SumRed = 0, SumGreen = 0, SumBlue = 0;
        int ChildCount = 0;
        std::array<TNode*, 8> Children{};
        TNode* Next = nullptr;
        TNode* Previous = nullptr;
    };

    void Reduce();
    TNode* DeepestListed() const;
    void JoinClosestChildren(TNode* Node);
    static std::uint64_t Distance(const TNode* A, const TNode* B);
    TNode* DeepestBranch(TNode* Node) const;
    void Link(TNode* Node);
    void Unlink(TNode* Node);
    void FreeChildren(TNode* Node);
    void FreeNode(TNode* Node);
    static std::uint64_t Weight(const TNode* Node);
    void CollectLeaves(const TNode* Node, std::vector<TColor>& Out) const;

    int FMaxColors;
    TNode* FRoot;
    int FLeafCount = 0;
    int FDepthLimit = 8;
    std::array<TNode*, 8> FReducible{};
};

} // namespace lumeno
