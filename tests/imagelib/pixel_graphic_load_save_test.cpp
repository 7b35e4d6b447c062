#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pg_messages.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

// Reads "GAMMA" files: a 2 × 1 picture, 24-bit or with a 2-entry palette,
// whose gamma the file gives as text after the magic.
class TGammaReader : public TFileFormatReader {
public:
    TGammaReader() : TFileFormatReader("gam", "Gamma test") {}
    bool CanRead(TFileHeader Header) const override
    {
        return std::string(Header.begin(), Header.begin() + 5) == "GAMMA";
    }
    void Read(TStream& Stream, TPixelGraphic& Graphic, int) const override
    {
        char text[12] = {};
        Stream.Read(text, sizeof text - 1);
        const bool palette = text[5] == 'P';
        Graphic.SetDimensions(2, 1, palette ? pf8Bit : pf24Bit);
        if (palette) {
            Graphic.SetPaletteSize(2);
            Graphic.SetPaletteEntry(0, RGB(128, 64, 255));
            Graphic.SetPaletteEntry(1, RGB(0, 1, 2));
        } else {
            Graphic.SetPixel(0, 0, RGB(128, 64, 255));
            Graphic.SetPixel(1, 0, RGB(0, 1, 2));
        }
        Graphic.SetGamma(std::strtold(text + 6, nullptr));
    }
};

// Stores only 256 greys (or nothing); writes what it gets as BMP.
class TGreyWriter : public TFileFormatWriter {
public:
    TGreyWriter(std::string ext, TColorResolutions classes) : TFileFormatWriter(std::move(ext), "Grey map")
    {
        CanWriteResolutions = classes;
    }
    void Write(TStream& Stream, TPixelGraphic& Graphic) const override { Graphic.SaveToStream(Stream); }
};

class TNoClassWriter : public TGreyWriter {
public:
    TNoClassWriter() : TGreyWriter("none", {}) {}
};

// Fails half-way through.
class TFailingWriter : public TFileFormatWriter {
public:
    TFailingWriter() : TFileFormatWriter("fail", "Failing") { CanWriteResolutions = AllColorResolutions(); }
    void Write(TStream& Stream, TPixelGraphic&) const override
    {
        Stream.WriteBuffer("partial", 7);
        throw EPixelGraphic("disk full");
    }
};

TMemoryStream StreamOf(const std::string& text)
{
    return TMemoryStream(text.data(), static_cast<std::int64_t>(text.size()));
}

void Fill24(TPixelGraphic& g, int w, int h)
{
    g.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g.SetPixel(x, y, RGB(x * 40, y * 60, (x + y) * 20));
}

std::vector<std::uint8_t> PixelBytes(TPixelGraphic& g)
{
    return {g.GetBits(), g.GetBits() + g.GetImageSize()};
}

// Pixels no codec can pack small.
void FillNoise24(TPixelGraphic& g, int w, int h)
{
    g.SetDimensions(w, h, pf24Bit);
    std::uint32_t state = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            g.SetPixel(x, y, static_cast<TColor>(state >> 8));
        }
}

// The child's exit status where no file system may be mounted.
constexpr int NoMountStatus = 77;

// What the child writes to Pipe until it closes it, or a minute has passed.
std::string ReadReport(int Pipe, bool& TimedOut)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    std::string report;
    char chunk[4096];
    TimedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{Pipe, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            TimedOut = true;
            return report;
        }
        const ssize_t got = ::read(Pipe, chunk, sizeof chunk);
        if (got <= 0)
            return report;
        report.append(chunk, static_cast<std::size_t>(got));
    }
}

// Runs Work in a child process that sees Folder as a new 64 KiB tmpfs of its
// own, so a disk fills up without touching anyone else's; returns what Work
// reports, followed by the cause when the child failed or hung, or nothing
// where no file system may be mounted.
std::optional<std::string> OnAFullDisk(const std::string& Folder, const std::function<std::string()>& Work)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", Folder.c_str(), "tmpfs", 0, "size=64k") != 0)
            ::_exit(NoMountStatus);
        const std::string report = Work();
        const bool sent = ::write(pipeEnds[1], report.data(), report.size()) == ssize_t(report.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    bool timedOut = false;
    const std::string report = child > 0 ? ReadReport(pipeEnds[0], timedOut) : "no child process";
    ::close(pipeEnds[0]);
    if (child < 0)
        return report;
    if (timedOut)
        ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == NoMountStatus)
        return std::nullopt;
    if (timedOut)
        return report + "child hung";
    if (WIFSIGNALED(status))
        return report + "child killed by signal " + std::to_string(WTERMSIG(status));
    if (WEXITSTATUS(status) != 0)
        return report + "child exited with " + std::to_string(WEXITSTATUS(status));
    return report;
}

class LoadSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        PGStartup();
        FileFormatRegistry().AddReader(std::make_unique<TGammaReader>());
        FileFormatRegistry().AddWriter(std::make_unique<TGreyWriter>("xgm", TColorResolutions().set(5)));
        FileFormatRegistry().AddWriter(std::make_unique<TNoClassWriter>());
        FileFormatRegistry().AddWriter(std::make_unique<TFailingWriter>());
        // Like TIFF: everything but two arbitrary colours.
        FileFormatRegistry().AddWriter(std::make_unique<TGreyWriter>("xtf", AllColorResolutions().reset(1)));
    }
    void TearDown() override { PGShutdown(); }

    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_.Path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir_;
    test::RecordingDialogs dialogs_;
};

TEST_F(LoadSave, GammaCorrectionOnLoad)
{
    TPixelGraphic g;
    TMemoryStream s = StreamOf("GAMMA 2.2");
    g.LoadFromStream(s);
    const auto mapped = [](int v) {
        return static_cast<unsigned>(Round(255 * std::pow(v / 255.0L, 2.2L / 1.8L)));
    };
    EXPECT_EQ(g.GetPixel(0, 0), RGB(mapped(128), mapped(64), 255));
    EXPECT_EQ(g.GetPixel(1, 0), RGB(0, mapped(1), mapped(2)));
    EXPECT_EQ(g.GetGamma(), 1.8L);

    TMemoryStream near = StreamOf("GAMMA 1.85"); // within 5 %: left alone
    g.LoadFromStream(near);
    EXPECT_EQ(g.GetPixel(0, 0), RGB(128, 64, 255));

    TMemoryStream palette = StreamOf("GAMMAP2.2");
    g.LoadFromStream(palette);
    EXPECT_EQ(g.GetPaletteEntry(0), RGB(mapped(128), mapped(64), 255));
    EXPECT_EQ(g.GetPixel(0, 0), 0u);

    GammaCorrectOnLoad = false;
    TMemoryStream off = StreamOf("GAMMA 2.2");
    g.LoadFromStream(off);
    EXPECT_EQ(g.GetPixel(0, 0), RGB(128, 64, 255));
    EXPECT_EQ(g.GetGamma(), 2.2L);
}

TEST_F(LoadSave, LoadNotifiesOnceAndRejectsUnknownData)
{
    TPixelGraphic source;
    Fill24(source, 30, 20);
    TMemoryStream s;
    source.SaveToStream(s);
    s.SetPosition(0);
    TPixelGraphic g;
    int changes = 0;
    g.SetOnChange([&](TObject*) { ++changes; });
    g.LoadFromStream(s);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(PixelBytes(g), PixelBytes(source));

    TMemoryStream junk = StreamOf("not an image at all");
    try {
        g.LoadFromStream(junk);
        ADD_FAILURE() << "loaded";
    } catch (const EPGUnknownFileFormat& e) {
        EXPECT_STREQ(e.what(), "Unknown file format");
    }
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(g.GetEmpty());
    g.SetDimensions(1, 1, pf8Bit); // updates are balanced: changes notify again
    EXPECT_EQ(changes, 3);
}

TEST_F(LoadSave, PowerFunction)
{
    EXPECT_EQ(Power(-2, 0), 1);
    EXPECT_EQ(Power(0, 2.5L), 0);
    EXPECT_EQ(Power(1, 7), 1);
    EXPECT_NEAR(static_cast<double>(Power(4, 0.5L)), 2.0, 1e-12);
    try {
        Power(-1, 2);
        ADD_FAILURE() << "negative base accepted";
    } catch (const EPixelGraphic& e) {
        EXPECT_STREQ(e.what(), "Invalid Argument");
    }
}

TEST_F(LoadSave, ConversionAskedAndAccepted)
{
    TPixelGraphic g;
    Fill24(g, 5, 4);
    g.SetDither(false);
    const auto before = PixelBytes(g);
    dialogs_.Answer(mrOk);
    g.SaveToFile(dir_.File("a.xgm"));
    ASSERT_EQ(dialogs_.Shown().size(), 1u);
    const TDialogRequest box = dialogs_.Shown()[0];
    EXPECT_EQ(box.Text, GetPGLangStrS1S2S3(17, "Grey map", "16.7 million colors", "256 shades of gray"));
    EXPECT_EQ(box.Type, TMsgDlgType::mtWarning);
    EXPECT_EQ(box.Buttons, mbOKCancel);
    // The image in memory is untouched; the file holds the grey copy.
    EXPECT_EQ(g.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(PixelBytes(g), before);
    TPixelGraphic saved;
    saved.LoadFromFile(dir_.File("a.xgm"));
    EXPECT_EQ(saved.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(saved.GetPaletteType(), pGray256);
    EXPECT_EQ(saved.GetWidth(), 5);
    EXPECT_EQ(saved.GetHeight(), 4);
}

TEST_F(LoadSave, ConversionRefusedLeavesNoFile)
{
    TPixelGraphic g;
    Fill24(g, 5, 4);
    dialogs_.Answer(mrCancel);
    try {
        g.SaveToFile(dir_.File("b.xgm"));
        ADD_FAILURE() << "saved";
    } catch (const EPGCannotWriteColorRes& e) {
        EXPECT_STREQ(e.what(), "The graphic cannot be saved with to a Grey map file with the current color "
                               "resolution (16.7 million colors)");
    }
    g.SetSaveColorResWarningAction(pgwaRaise);
    EXPECT_THROW(g.SaveToFile(dir_.File("c.xgm")), EPGCannotWriteColorRes);
    EXPECT_EQ(dialogs_.Shown().size(), 1u);
    EXPECT_TRUE(Files().empty());
}

TEST_F(LoadSave, ConversionWithoutAskingOrWithANotice)
{
    TPixelGraphic g;
    Fill24(g, 3, 3);
    g.SetSaveColorResWarningAction(pgwaIgnore);
    g.SaveToFile(dir_.File("quiet.xgm"));
    EXPECT_TRUE(dialogs_.Shown().empty());
    g.SetSaveColorResWarningAction(pgwaOKBox);
    dialogs_.Answer(mrCancel); // an OK box has nothing to refuse with
    g.SaveToFile(dir_.File("told.xgm"));
    ASSERT_EQ(dialogs_.Shown().size(), 1u);
    EXPECT_EQ(dialogs_.Shown()[0].Buttons, mbOK);
    EXPECT_EQ(Files(), (std::vector<std::string>{"quiet.xgm", "told.xgm"}));
}

TEST_F(LoadSave, PreferenceOrderPicksTheNextWritableClass)
{
    TPixelGraphic bw;
    bw.SetDimensions(8, 2, pf1Bit);
    bw.SetPaletteType(pBlackWhite);
    bw.SetPixel(3, 1, 1);
    bw.SaveToFile(dir_.File("bw.xtf")); // class 0 is writable: no question
    EXPECT_TRUE(dialogs_.Shown().empty());

    TPixelGraphic two;
    two.SetDimensions(8, 2, pf1Bit);
    two.SetPaletteSize(2);
    two.SetPaletteEntry(0, RGB(200, 0, 0));
    two.SetPaletteEntry(1, RGB(0, 0, 200));
    two.SetPixel(3, 1, 1);
    two.SetSaveColorResWarningAction(pgwaIgnore);
    two.SaveToFile(dir_.File("two.xtf"));
    TPixelGraphic saved;
    saved.LoadFromFile(dir_.File("two.xtf"));
    EXPECT_EQ(saved.GetPixelFormat(), pf4Bit); // 16 colours come after 2 colours
    EXPECT_EQ(saved.GetPixelColor(3, 1), RGB(0, 0, 200));
    EXPECT_EQ(saved.GetPixelColor(0, 0), RGB(200, 0, 0));
    saved.LoadFromFile(dir_.File("bw.xtf"));
    EXPECT_EQ(saved.GetPixelFormat(), pf1Bit);
    EXPECT_EQ(saved.GetPaletteType(), pBlackWhite);
}

TEST_F(LoadSave, WriterLookupFailures)
{
    TPixelGraphic g;
    Fill24(g, 2, 2);
    try {
        g.SaveToFile(dir_.File("x.xyz"));
        ADD_FAILURE();
    } catch (const EPGUnknownExtension& e) {
        EXPECT_STREQ(e.what(), "Unknown file extension \"xyz\"");
    }
    try {
        g.SaveToFile(dir_.File("x.none"));
        ADD_FAILURE();
    } catch (const EPGCanWriteResolutionsEmpty& e) {
        EXPECT_STREQ(e.what(), "TNoClassWriter.CanWriteResolutions is empty");
    }
    PGShutdown();
    try {
        g.SaveToFile(dir_.File("x.bmp"));
        ADD_FAILURE();
    } catch (const EPGFileFormatWritersEmpty& e) {
        EXPECT_STREQ(e.what(), "FileFormatWriters is empty");
    }
    // Saving to a stream as BMP needs no registry.
    TMemoryStream s;
    g.SaveToStream(s);
    EXPECT_EQ(s.Data()[0], 'B');
    EXPECT_TRUE(Files().empty());
}

TEST_F(LoadSave, FailedSaveKeepsTheOldFileAndLeavesNoNewOne)
{
    TPixelGraphic g;
    Fill24(g, 2, 2);
    const std::string old = dir_.File("old.fail");
    test::WriteFileBytes(old, {'k', 'e', 'e', 'p'});
    fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_THROW(g.SaveToFile(old), EPixelGraphic);
    EXPECT_EQ(test::ReadFileBytes(old), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
    EXPECT_THROW(g.SaveToFile(dir_.File("new.fail")), EPixelGraphic);
    EXPECT_EQ(Files(), (std::vector<std::string>{"old.fail"}));

    // A successful save replaces the file and keeps its permissions.
    const std::string bmp = dir_.File("old.bmp");
    fs::rename(old, bmp);
    g.SaveToFile(bmp);
    EXPECT_EQ(fs::status(bmp).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    TPixelGraphic back;
    back.LoadFromFile(bmp);
    EXPECT_EQ(PixelBytes(back), PixelBytes(g));
}

// A save onto a full disk once said only "Stream write error".
TEST_F(LoadSave, ASaveOntoAFullDiskNamesTheFileAndTheReason)
{
    TPixelGraphic g;
    FillNoise24(g, 512, 512);
    const std::vector<std::string> names = {dir_.File("full.bmp"), dir_.File("full.png"),
                                            dir_.File("full.jpg"), dir_.File("full.tif"),
                                            dir_.File("full.tga")};
    const std::optional<std::string> report = OnAFullDisk(dir_.Path(), [&] {
        std::string lines;
        for (const std::string& name : names) {
            try {
                g.SaveToFile(name);
                lines += "saved\n";
            } catch (const std::exception& e) {
                lines += std::string(e.what()) + "\n";
            }
        }
        return lines + std::to_string(Files().size()) + " files left\n";
    });
    if (!report)
        GTEST_SKIP() << "no file system may be mounted here";
    std::string expected;
    for (const std::string& name : names)
        expected += "Cannot write file \"" + name + "\". No space left on device\n";
    EXPECT_EQ(*report, expected + "0 files left\n");
}

TEST_F(LoadSave, SaveToStreamAsUsesTheRegistry)
{
    TPixelGraphic g;
    Fill24(g, 4, 4);
    TMemoryStream s;
    g.SetSaveColorResWarningAction(pgwaIgnore);
    g.SaveToStreamAs(s, ".XGM");
    s.SetPosition(0);
    TPixelGraphic back;
    back.LoadFromStream(s);
    EXPECT_EQ(back.GetPaletteType(), pGray256);
}

TEST_F(LoadSave, WriteDataAndReadDataRoundTrip)
{
    TPixelGraphic g;
    g.SetDimensions(9, 3, pf4Bit);
    g.SetPaletteType(pSys16);
    for (int x = 0; x < 9; ++x)
        g.SetPixel(x, x % 3, static_cast<std::uint32_t>(x + 3));
    TMemoryStream s;
    s.WriteBuffer("head", 4);
    g.WriteData(s);
    const std::int64_t end = s.GetPosition();
    EXPECT_EQ(end, 4 + g.GetDIBSize()); // the size covers the length prefix and the BMP file
    s.WriteBuffer("tail", 4);

    s.SetPosition(4);
    TPixelGraphic back;
    back.ReadData(s);
    EXPECT_EQ(s.GetPosition(), end);
    EXPECT_EQ(back.GetPixelFormat(), pf4Bit);
    EXPECT_EQ(back.GetPaletteType(), pSys16);
    EXPECT_EQ(PixelBytes(back), PixelBytes(g));

    // A reader stopped early by the user still leaves the stream after the block.
    s.SetPosition(4);
    TPixelGraphic stopped;
    stopped.SetOnProgress([](TObject*, int, int, bool& abort) { abort = true; });
    stopped.ReadData(s);
    EXPECT_EQ(s.GetPosition(), end);
}

} // namespace
} // namespace lumeno
