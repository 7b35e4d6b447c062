#include "imagelib/codecs/codec_io.h"
#include "codec_test_support.h"
#include "imagelib/pg_exceptions.h"
#include "platform/stream.h"
#include "support/recording_dialogs.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

const TCodecErrors& TestErrors = TGAErrors;

template <class F>
std::string ErrorOf(F f)
{
    return test::ErrorText<EPGTGAFileFormatReader>([&] { f(); });
}

TEST(CodecReader, ReadsBothByteOrdersWithinItsLimit)
{
    const std::uint8_t data[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
    TMemoryStream s(data, sizeof data);
    s.SetPosition(1);
    TCodecReader in(s, TestErrors, 8);
    EXPECT_EQ(in.U16LE(), 0x0302);
    EXPECT_EQ(in.U16BE(), 0x0405);
    EXPECT_EQ(in.U32LE(), 0x09080706u);
    EXPECT_EQ(in.Remaining(), 0);
    // The stream has one byte more, but the limit ends the reading here.
    EXPECT_EQ(ErrorOf([&] { in.U8(); }), "TGA: Unexpected end of file");
    EXPECT_EQ(s.GetPosition(), 9);
}

TEST(CodecReader, ShortStreamAndSkipsRaiseUnexpectedEnd)
{
    const std::uint8_t data[] = {0xFF, 0xFF, 0xFF};
    TMemoryStream s(data, sizeof data);
    TCodecReader in(s, TestErrors, 100);
    EXPECT_EQ(in.Remaining(), 3);
    EXPECT_EQ(ErrorOf([&] { in.U32BE(); }), "TGA: Unexpected end of file");
    EXPECT_EQ(ErrorOf([&] { in.Skip(-1); }), "TGA: Unexpected end of file");
    in.Skip(2);
    EXPECT_EQ(in.U8(), 0xFF);
    EXPECT_EQ(ErrorOf([&] { in.Skip(1); }), "TGA: Unexpected end of file");
}

// Small and large reads, skips and windows across the byte reader's buffer
// refills all see the stream's bytes in order, and stop at the limit.
TEST(CodecByteReader, KeepsTheBytesInOrderAcrossRefills)
{
    std::vector<std::uint8_t> data(200000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    TMemoryStream s(data.data(), static_cast<std::int64_t>(data.size()));
    s.SetPosition(3);
    TCodecByteReader in(s, TestErrors, 150000);
    std::size_t at = 3;
    EXPECT_EQ(in.Peek(), data[at]);
    EXPECT_EQ(in.U8(), data[at++]);
    std::vector<std::uint8_t> block(70000);
    in.Read(block.data(), 100);
    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 100, data.begin() + static_cast<std::ptrdiff_t>(at)));
    at += 100;
    in.Read(block.data(), 70000); // past the buffered part, straight from the stream
    EXPECT_TRUE(std::equal(block.begin(), block.end(), data.begin() + static_cast<std::ptrdiff_t>(at)));
    at += 70000;
    in.Skip(65000);
    at += 65000;
    const std::span<const std::uint8_t> window = in.Window();
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(window[0], data[at]);
    in.Take(window.size() / 2);
    at += window.size() / 2;
    EXPECT_EQ(in.U8(), data[at++]);
    EXPECT_EQ(in.Remaining(), static_cast<std::int64_t>(3 + 150000 - at));
    in.Skip(in.Remaining() - 1);
    EXPECT_EQ(in.U8(), data[3 + 150000 - 1]);
    EXPECT_EQ(in.Peek(), -1);
    EXPECT_TRUE(in.Window().empty());
    EXPECT_EQ(ErrorOf([&] { in.U8(); }), "TGA: Unexpected end of file");
    EXPECT_EQ(ErrorOf([&] { in.Read(block.data(), 1); }), "TGA: Unexpected end of file");
}

TEST(CodecIo, EachFormatRaisesItsOwnClassWithItsPrefix)
{
    EXPECT_THROW(PNGErrors.RaiseMessage(msgUnexpectedEnd), EPGPNGFileFormatReaderWriter);
    EXPECT_THROW(TIFFWriterErrors.Raise("x"), EPGTIFFileFormatWriter);
    try {
        PxMReaderErrors.RaiseMessage(msgInvalid, "MaxVal");
    } catch (const EPGPxMFileFormatReader& e) {
        EXPECT_STREQ(e.what(), "PBM, PGM, PPM: MaxVal invalid");
    }
}

TEST(CodecIo, PutAndGetAgree)
{
    std::uint8_t b[4];
    PutU32BE(b, 0x11223344);
    EXPECT_EQ(b[0], 0x11);
    EXPECT_EQ(GetU32BE(b), 0x11223344u);
    PutU32LE(b, 0xA1B2C3D4);
    EXPECT_EQ(b[0], 0xD4);
    EXPECT_EQ(GetU32LE(b), 0xA1B2C3D4u);
    PutU16BE(b, 0xBEEF);
    EXPECT_EQ(GetU16BE(b), 0xBEEF);
    EXPECT_EQ(GetU16LE(b), 0xEFBE);
}

TEST(CodecIo, ImageSizeCapAtTwoGiB)
{
    EXPECT_NO_THROW(CheckImageSize(TestErrors, 16384, 16383, 32));
    // 16384 × 32768 × 4 bytes is exactly 2 GiB.
    EXPECT_EQ(ErrorOf([] { CheckImageSize(TestErrors, 16384, 32768, 32); }), "TGA: Invalid size of image");
    EXPECT_EQ(ErrorOf([] { CheckImageSize(TestErrors, -1, 1, 8); }), "TGA: Invalid size of image");
    EXPECT_EQ(ErrorOf([] { CheckImageSize(TestErrors, INT64_MAX / 2, 2, 24); }), "TGA: Invalid size of image");
    EXPECT_EQ(ErrorOf([] { CheckImageSize(TestErrors, 1, INT64_MAX, 1); }), "TGA: Invalid size of image");
    EXPECT_EQ(DIBStride(3, 24), 12);
    EXPECT_EQ(DIBStride(33, 1), 8);
}

TEST(CodecIo, WarningsFollowTheAction)
{
    test::RecordingDialogs dialogs;
    HandleCodecWarning(pgwaIgnore, TestErrors, "TGA Warning", "odd");
    EXPECT_TRUE(dialogs.Shown().empty());

    HandleCodecWarning(pgwaOKBox, TestErrors, "TGA Warning", "odd");
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].Caption, "TGA Warning");
    EXPECT_EQ(dialogs.Shown()[0].Text, "odd");
    EXPECT_EQ(dialogs.Shown()[0].Buttons, mbOK);

    dialogs.Answer(mrOk);
    EXPECT_NO_THROW(HandleCodecWarning(pgwaOKCancelBox, TestErrors, "TGA Warning", "odd"));
    dialogs.Answer(mrCancel);
    EXPECT_EQ(ErrorOf([] { HandleCodecWarning(pgwaOKCancelBox, TestErrors, "TGA Warning", "odd"); }),
              "TGA: Operation aborted on user request");
    EXPECT_EQ(dialogs.Shown().back().Buttons, mbOKCancel);
    EXPECT_EQ(dialogs.Shown().back().Type, TMsgDlgType::mtWarning);

    const auto shown = dialogs.Shown().size();
    EXPECT_EQ(ErrorOf([] { HandleCodecWarning(pgwaRaise, TestErrors, "TGA Warning", "odd"); }), "TGA: odd");
    EXPECT_EQ(dialogs.Shown().size(), shown);
}

} // namespace
} // namespace lumeno
