#include "imagelib/row_pipeline.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lumeno {
namespace {

// A row that cannot be made on a worker used to end the program; now it
// leaves Run on the calling thread, after the rows before it in order.
TEST(RowPipeline, AWorkersFailureReachesTheCaller)
{
    const auto make = [](int, int Row, TRowPipeline::TRow& Out) {
        if (Row == 500)
            throw std::runtime_error("no row");
        Out.Count = 1;
        Out.BGR[0] = static_cast<std::uint8_t>(Row);
    };
    int next = 0;
    bool inOrder = true;
    const auto deliver = [&](int Row, const TRowPipeline::TRow& Out) {
        inOrder = inOrder && Row == next && Out.BGR[0] == static_cast<std::uint8_t>(Row);
        ++next;
        return true;
    };
    for (int threads : {1, 4}) {
        next = 0;
        EXPECT_THROW(TRowPipeline::Run(0, 999, 3, threads, make, deliver), std::runtime_error) << threads;
        EXPECT_TRUE(inOrder);
        EXPECT_LE(next, 500);
    }
}

} // namespace
} // namespace lumeno
