#include "app/common/settings_store.h"
#include "app/desktop/clipboard_copy.h"
#include "app/desktop/external_editor.h"
#include "app/desktop/image_print_job.h"
#include "app/desktop/print_jobs.h"
#include "app/desktop/wallpaper.h"
#include "app/desktop/wallpaper_setter.h"
#include "app/thumbs/screenshot.h"
#include "app/thumbs/thumb_files.h"
#include "controls/media/preview_form.h"
#include "controls/media/print_list.h"
#include "controls/media/print_test_support.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panels.h"
#include "imagelib/pg_startup.h"
#include "imagelib/view/pg_image.h"
#include "platform/qt/registry/reg_ini_file.h"
#include "platform/qt/registry/registry.h"
#include "support/owner_recording_dialogs.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <thread>

namespace lumeno {
namespace {

class DesktopCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartup(); }
    void SetUp() override { SetRegistryFolder(registry.Path().string()); }
    void TearDown() override { SetRegistryFolder(""); }

    std::string Stored(const std::string& name)
    {
        return TRegIniFile("Control Panel").ReadString("desktop", name, "<none>");
    }

    test::TempDir registry;
    test::TempDir dir;
    test::RecordingDialogs dialogs;
};

// Records what it is asked to apply, and on which thread.
class FakeBackend : public TWallpaperBackend {
public:
    FakeBackend(std::vector<TWallpaperValues>* applied, bool works) : applied_(applied), works_(works) {}
    bool Apply(const TWallpaperValues& values) override
    {
        applied_->push_back(values);
        thread = std::this_thread::get_id();
        return works_;
    }
    static inline std::thread::id thread;

private:
    std::vector<TWallpaperValues>* applied_;
    bool works_;
};

// Runs one wallpaper command to its end; false when it did not set one.
bool SetAndWait(TWallpaperSetter& setter, const std::string& file, const std::string& tile,
                const std::string& style, std::vector<TWallpaperValues>* applied, bool works = true,
                bool* created = nullptr)
{
    std::optional<TWallpaperOutcome> outcome;
    if (!setter.Start(file, tile, style, applied ? std::make_unique<FakeBackend>(applied, works) : nullptr,
                      [&](const TWallpaperOutcome& done) { outcome = done; }))
        return false;
    EXPECT_TRUE(setter.Busy());
    EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 10000));
    if (created)
        *created = outcome && outcome->Created;
    return outcome && outcome->Error.empty();
}

TEST(WallpaperTable, ValuesAndBitmapNames)
{
    const auto centred = WallpaperValues(TWallpaperCommand::Centered, "/p/a.bmp");
    EXPECT_EQ(centred.Tile + centred.Style, "00");
    const auto tiled = WallpaperValues(TWallpaperCommand::Tiled, "/p/a.bmp");
    EXPECT_EQ(tiled.Tile + tiled.Style, "10");
    const auto stretched = WallpaperValues(TWallpaperCommand::Stretched, "/p/a.bmp");
    EXPECT_EQ(stretched.Tile + stretched.Style, "02");
    const auto none = WallpaperValues(TWallpaperCommand::Remove, "/p/a.bmp");
    EXPECT_EQ(none.File, "(None)");
    EXPECT_EQ(none.Tile + none.Style, "00");
    EXPECT_EQ(WallpaperBitmapName("/p/my.photo.jpg"), "/p/my.bmp");
    EXPECT_EQ(WallpaperBitmapName("/p.d/.hidden.png"), "/p.d/.hidden.bmp");
}

TEST_F(DesktopCommands, TiledPhotoAfterYesWritesTheBitmapOnAWorkerForTheBackend)
{
    const std::string photo = dir.File("photo.jpg");
    test::WriteGradientImage(photo, 64, 48);
    TWallpaperSetter setter;
    std::vector<TWallpaperValues> applied;
    dialogs.Answer(mrNo);
    EXPECT_FALSE(SetAndWait(setter, photo, "1", "0", &applied));
    EXPECT_TRUE(applied.empty());
    EXPECT_EQ(Stored("Wallpaper"), "<none>");

    dialogs.Answer(mrYes);
    bool created = false;
    EXPECT_TRUE(SetAndWait(setter, photo, "1", "0", &applied, true, &created));
    EXPECT_TRUE(created);
    EXPECT_NE(FakeBackend::thread, std::this_thread::get_id()) << "the desktop's tools run off the window's thread";
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].File, dir.File("photo.bmp"));
    EXPECT_EQ(Stored("Wallpaper"), dir.File("photo.bmp"));
    EXPECT_EQ(Stored("TileWallpaper"), "1");
    TPixelGraphic bitmap;
    bitmap.LoadFromFile(dir.File("photo.bmp"));
    EXPECT_EQ(bitmap.GetWidth(), 64);

    // The bitmap exists now: it is not replaced without asking.
    dialogs.Answer(mrYes);
    dialogs.Answer(mrNo);
    EXPECT_FALSE(SetAndWait(setter, photo, "0", "2", &applied));
    EXPECT_EQ(dialogs.Shown().back().Text, "file " + dir.File("photo.bmp") + " already exists. Replace it?");
    EXPECT_EQ(applied.size(), 1u);
}

TEST_F(DesktopCommands, FailuresAreShownNeverSilent)
{
    TWallpaperSetter setter;
    std::vector<TWallpaperValues> applied;
    EXPECT_FALSE(SetAndWait(setter, "(None)", "0", "0", &applied, false));
    EXPECT_EQ(dialogs.Shown().back().Text, "The wallpaper could not be removed on this desktop");
    EXPECT_FALSE(SetAndWait(setter, dir.File("a.bmp"), "0", "0", &applied, false));
    EXPECT_EQ(dialogs.Shown().back().Text, "The wallpaper could not be set on this desktop");

    const std::string broken = dir.File("broken.png");
    test::WriteFileBytes(broken, {0x89, 'P', 'N', 'G'});
    dialogs.Answer(mrYes);
    EXPECT_FALSE(SetAndWait(setter, broken, "0", "0", &applied));
    EXPECT_EQ(dialogs.Shown().back().Type, TMsgDlgType::mtError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("broken.bmp")));
}

// Without a backend the user hears so first: no question, no bitmap beside
// the photo, no stored values.
TEST_F(DesktopCommands, NoDesktopBackendIsSaidBeforeAnythingIsWritten)
{
    const std::string photo = dir.File("photo.jpg");
    test::WriteGradientImage(photo, 64, 48);
    TWallpaperSetter setter;
    dialogs.Answer(mrYes);
    EXPECT_FALSE(SetAndWait(setter, photo, "0", "0", nullptr));
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].Text, "The wallpaper could not be set on this desktop");
    EXPECT_FALSE(std::filesystem::exists(dir.File("photo.bmp")));
    EXPECT_EQ(Stored("Wallpaper"), "<none>");
    EXPECT_FALSE(SetAndWait(setter, "(None)", "0", "0", nullptr));
    EXPECT_EQ(dialogs.Shown().back().Text, "The wallpaper could not be removed on this desktop");
}

// Plasma runs a script: a file name is a string literal in it, never code.
TEST(WallpaperBackends, PlasmaScriptHoldsTheFileNameAsData)
{
    std::string script;
    const auto runner = [&](const std::string&, const std::vector<std::string>& args) {
        script = args.back();
        return TCommandResult{0, ""};
    };
    ASSERT_TRUE(DesktopWallpaperBackend("KDE", runner)->Apply({"/p/x');print('injected.bmp", "0", "0"}));
    EXPECT_NE(script.find("writeConfig('Image', 'file:///p/x\\');print(\\'injected.bmp')"), std::string::npos)
        << script;
    ASSERT_TRUE(DesktopWallpaperBackend("KDE", runner)->Apply({"/p/it's.bmp", "0", "0"}));
    EXPECT_NE(script.find("'file:///p/it\\'s.bmp'"), std::string::npos) << script;
    EXPECT_EQ(ScriptStringLiteral("a\\b\n"), "'a\\\\b\\x0a'");
}

TEST(WallpaperBackends, EachDesktopGetsItsOwnCommands)
{
    std::vector<std::vector<std::string>> calls;
    const auto runner = [&](const std::string& program, const std::vector<std::string>& args) {
        std::vector<std::string> call{program};
        call.insert(call.end(), args.begin(), args.end());
        calls.push_back(call);
        TCommandResult result{0, ""};
        if (program == "xfconf-query" && args.size() == 3)
            result.Output = "/backdrop/screen0/monitor0/workspace0/last-image\n"
                            "/backdrop/screen0/monitor0/workspace0/image-style\n"
                            "/backdrop/screen0/monitorHDMI/workspace0/last-image\n";
        return result;
    };
    const TWallpaperValues tiled{"/p/a b.bmp", "1", "0"};
    ASSERT_TRUE(DesktopWallpaperBackend("ubuntu:GNOME", runner)->Apply(tiled));
    EXPECT_EQ(calls[0], (std::vector<std::string>{"gsettings", "set", "org.gnome.desktop.background", "picture-uri",
                                                  "file:///p/a b.bmp"}));
    EXPECT_EQ(calls.back().back(), "wallpaper");

    calls.clear();
    ASSERT_TRUE(DesktopWallpaperBackend("XFCE", runner)->Apply({"/p/a.bmp", "0", "2"}));
    ASSERT_EQ(calls.size(), 4u) << "both monitors' images and the style";
    EXPECT_EQ(calls[2].back(), "3");

    calls.clear();
    ASSERT_TRUE(DesktopWallpaperBackend("LXQt", runner)->Apply({"/p/a.bmp", "0", "0"}));
    EXPECT_EQ(calls[0], (std::vector<std::string>{"pcmanfm-qt", "--set-wallpaper=/p/a.bmp", "--wallpaper-mode=center"}));
    EXPECT_NE(DesktopWallpaperBackend("KDE", runner), nullptr);
    EXPECT_NE(DesktopWallpaperBackend("MATE", runner), nullptr);
    EXPECT_EQ(DesktopWallpaperBackend("", runner), nullptr);
    EXPECT_EQ(DesktopWallpaperBackend("sway", runner), nullptr);
}

TEST_F(DesktopCommands, ExternalEditorPerTypeWithFullPath)
{
    std::vector<std::vector<std::string>> started;
    const auto start = [&](const std::string& program, const std::vector<std::string>& args) {
        std::vector<std::string> call{program};
        call.insert(call.end(), args.begin(), args.end());
        started.push_back(call);
        return true;
    };
    const TSettingsStore store;
    int prefsShown = 0;
    EXPECT_FALSE(EditWithExternalEditor("/p/a.ico", store, start, [&] { ++prefsShown; }));
    EXPECT_EQ(dialogs.Shown().back().Text, "You need to select a ICO editor under File/Set Preferences...");
    EXPECT_EQ(prefsShown, 1);
    EXPECT_FALSE(EditWithExternalEditor("/p/a.xyz", store, start, nullptr));
    EXPECT_EQ(dialogs.Shown().back().Text, "File type of .XYZ not supported");

    // A program whose path has spaces, and a command line with options.
    const std::string program = dir.File("my editor");
    test::WriteFileBytes(program, {'#', '!'});
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    store.WriteSetting("PNG Editor", program);
    store.WriteSetting("TGA Editor", "gimp --new-instance");
    EXPECT_TRUE(EditWithExternalEditor("/p/my pics/a.png", store, start, nullptr));
    EXPECT_TRUE(EditWithExternalEditor("/p/b.tga", store, start, nullptr));
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0], (std::vector<std::string>{program, "/p/my pics/a.png"}));
    EXPECT_EQ(started[1], (std::vector<std::string>{"gimp", "--new-instance", "/p/b.tga"}));

    EXPECT_FALSE(EditWithExternalEditor("/p/b.tga", store, [](auto&&, auto&&) { return false; }, nullptr));
    EXPECT_EQ(dialogs.Shown().back().Text, "Cannot start gimp --new-instance");
}

TEST(PrintPlacement, FitsAndSendsAt240PixelsPerInch)
{
    // A 7.5 x 9.75 inch printable area at 600 dpi.
    const TPrintPlacement wide = PrintImagePlacement(2000, 1000, 300, 450, 4500, 5850, 600, 600);
    EXPECT_EQ(wide.Target, (TRect{300, 450 + (5850 - 2250) / 2, 4800, 450 + (5850 - 2250) / 2 + 2250}));
    EXPECT_EQ(wide.SendWidth, 1800);
    EXPECT_EQ(wide.SendHeight, 900);
    const TPrintPlacement tall = PrintImagePlacement(1000, 3000, 300, 450, 4500, 5850, 600, 600);
    EXPECT_EQ(tall.Target.Height(), 5850);
    EXPECT_EQ(tall.Target.Width(), 1950);
    EXPECT_EQ(tall.SendWidth, 780);
}

// The job of a shown window with a status bar, on a 600 dpi letter page.
class ImagePrinting : public DesktopCommands {
protected:
    void SetUp() override
    {
        DesktopCommands::SetUp();
        for (int i = 0; i < 5; ++i)
            bar.Panels().Add();
        window.show();
    }

    // Runs the job to its end; true when it completed.
    bool Print(const std::vector<std::string>& paths)
    {
        std::optional<bool> completed;
        EXPECT_TRUE(job->Start(printer, paths, bar, [&](bool done) { completed = done; }));
        EXPECT_TRUE(QTest::qWaitFor([&] { return completed.has_value(); }, 20000));
        return completed.value_or(false);
    }

    QImage PageImage(int index) { return test::QuarterPageImage(printer.Page(index)); }

    // A w x h gradient placed on page index: its corners inside the target
    // (dark red top left, light bottom right), white just outside it.
    void ExpectPlaced(int index, int w, int h)
    {
        const TPrintArea area = PrintableArea(printer);
        const TRect target = PrintImagePlacement(w, h, area.Left, area.Top, area.Width, area.Height,
                                                 area.PixelsPerInchX, area.PixelsPerInchY)
                                 .Target;
        const QImage page = PageImage(index);
        const QColor topLeft = page.pixelColor(target.Left / 4 + 2, target.Top / 4 + 2);
        EXPECT_NEAR(topLeft.red(), 128, 24);
        EXPECT_LT(topLeft.green(), 32);
        EXPECT_LT(topLeft.blue(), 32);
        const QColor bottomRight = page.pixelColor(target.Right / 4 - 3, target.Bottom / 4 - 3);
        EXPECT_GT(bottomRight.green(), 200);
        EXPECT_GT(bottomRight.blue(), 200);
        EXPECT_EQ(page.pixelColor(target.Left / 4 - 3, target.Top / 4 + 2), QColor(Qt::white));
        EXPECT_EQ(page.pixelColor(target.Right / 4 + 2, target.Bottom / 4 - 3), QColor(Qt::white));
        EXPECT_EQ(page.pixelColor(target.Left / 4 + 2, target.Top / 4 - 3), QColor(Qt::white));
        EXPECT_EQ(page.pixelColor(target.Right / 4 - 3, target.Bottom / 4 + 2), QColor(Qt::white));
    }

    QWidget window;
    TImagePrintJob* job = new TImagePrintJob(window);
    TdfsStatusBar bar;
    test::TestPrinter printer{600};
};

TEST_F(ImagePrinting, EachPictureFillsItsOwnPageAndClipsAreSkipped)
{
    test::WriteGradientImage(dir.File("a.png"), 200, 100);
    test::WriteGradientImage(dir.File("b.jpg"), 100, 300);
    test::WriteFileBytes(dir.File("c.avi"), {'R', 'I', 'F', 'F'});
    ASSERT_TRUE(Print({dir.File("a.png"), dir.File("c.avi"), dir.File("b.jpg")}));
    ASSERT_EQ(printer.PageCount(), 2);
    ExpectPlaced(0, 200, 100);
    ExpectPlaced(1, 100, 300);
    EXPECT_EQ(bar.Panels()[4].PanelType(), sptNormal);
    EXPECT_TRUE(dialogs.Shown().empty());

    // A page set up since the last document is the one printed on.
    printer.Orientation = TPrinterOrientation::poLandscape;
    ASSERT_TRUE(Print({dir.File("b.jpg")}));
    ASSERT_EQ(printer.PageCount(), 1);
    EXPECT_GT(printer.Metrics().PhysicalWidth, printer.Metrics().PhysicalHeight);
    ExpectPlaced(0, 100, 300);
}

// Which window a box belongs to, and on which thread it was shown.
class ThreadRecordingDialogs : public test::OwnerRecordingDialogs {
public:
    int Show(const TDialogRequest& request) override
    {
        Threads.push_back(std::this_thread::get_id());
        return OwnerRecordingDialogs::Show(request);
    }
    std::vector<std::thread::id> Threads;
};

TEST_F(ImagePrinting, AnUnreadablePictureIsSaidInFrontOfTheWindowAndSkipped)
{
    ThreadRecordingDialogs boxes;
    test::WriteFileBytes(dir.File("bad.jpg"), {0xFF, 0xD8});
    test::WriteGradientImage(dir.File("a.png"), 200, 100);
    ASSERT_TRUE(Print({dir.File("bad.jpg"), dir.File("a.png")}));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "Error reading image file");
    EXPECT_EQ(boxes.Owners[0], &window);
    EXPECT_EQ(boxes.Threads[0], std::this_thread::get_id());
    ASSERT_EQ(printer.PageCount(), 1) << "the document still ends";
    ExpectPlaced(0, 200, 100);
}

TEST_F(DesktopCommands, FolderListingHeaderAndMargins)
{
    test::TestPrinter printer(600);
    TPrintList list;
    list.Columns = {{"Name (Images)", 160, TAlignment::taLeftJustify}};
    for (int i = 0; i < 150; ++i)
        list.Items.push_back({"file" + std::to_string(i) + ".jpg", {}});
    PrintFolderListing(printer, "/home/me/pics", list);
    EXPECT_EQ(printer.TextOptions().Header, "/home/me/pics");
    EXPECT_EQ(printer.TextOptions().HeaderFont.pointSize(), 18);
    EXPECT_TRUE(printer.TextOptions().HeaderFont.italic());
    EXPECT_DOUBLE_EQ(printer.TextOptions().MarginTop, 0.75);
    EXPECT_DOUBLE_EQ(printer.TextOptions().FooterMargin, 0.25);
    EXPECT_GE(printer.PageCount(), 2);
    TPreviewForm preview(printer);
    preview.resize(700, 800);
    preview.show();
    QTest::qWait(50);
    test::SaveScreenshot(&preview, "folder_listing_preview");
}

TEST_F(DesktopCommands, CopyToClipboardTakesTheShownViewersPicture)
{
    TPGImage view;
    EXPECT_FALSE(CopyShownPicture("JPG", nullptr, nullptr, &view)) << "nothing after a failed load";
    auto picture = std::make_unique<TPixelGraphic>();
    picture->SetDimensions(8, 4, pf24Bit);
    view.SetPixelGraphic(std::move(picture));
    EXPECT_TRUE(CopyShownPicture("JPG", nullptr, nullptr, &view));
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(8, 4));
    QImage icon(5, 5, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    EXPECT_TRUE(CopyShownPicture("ICO", nullptr, &icon, &view));
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(5, 5));
    EXPECT_FALSE(CopyShownPicture("GIF", nullptr, &icon, &view));
}

} // namespace
} // namespace lumeno
