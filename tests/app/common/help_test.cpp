// Every help context a window asks for has its page, and the contents
// lead only to pages that are there.

#include "app/common/file_types.h"
#include "app/common/help.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

QString ReadPage(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(HelpPages, EveryContextHasAPageWithATitle)
{
    ASSERT_FALSE(HelpFolder().empty()) << "no help folder beside the program";
    for (const int context : kHelpContexts) {
        const QString page = ReadPage(QString::fromStdString(HelpPage(context)));
        EXPECT_TRUE(page.contains(QRegularExpression("<title>[^<]+</title>"))) << "context " << context;
    }
}

TEST(HelpPages, TheContentsLeadToEveryPageAndOnlyToPages)
{
    const QDir folder(QString::fromStdString(HelpFolder()));
    const QString contents = ReadPage(folder.filePath("index.html"));
    QStringList linked;
    for (const auto& match : QRegularExpression("href=\"([^\"#]+)\"").globalMatch(contents))
        linked << match.captured(1);
    for (const QString& link : linked)
        EXPECT_TRUE(folder.exists(link)) << link.toStdString();
    for (const QString& page : folder.entryList({"*.html"}, QDir::Files)) {
        if (page != "index.html") {
            EXPECT_TRUE(linked.contains(page)) << page.toStdString() << " is not in the contents";
        }
        const QString text = ReadPage(folder.filePath(page));
        EXPECT_FALSE(text.contains("example.org")) << page.toStdString();
        EXPECT_FALSE(text.contains("http")) << page.toStdString() << " names a web site";
    }
}

// The text that follows a command's name on a page, up to the next bold name.
QString AfterName(const QString& page, const QString& name)
{
    const qsizetype start = page.indexOf("<b>" + name + "</b>");
    if (start < 0)
        return {};
    const qsizetype from = start + name.size() + 7;
    return page.mid(from, page.indexOf("<b>", from) - from).simplified();
}

TEST(HelpPages, PagesTellWhatTheCommandsDo)
{
    const QDir folder(QString::fromStdString(HelpFolder()));
    const QString main = ReadPage(folder.filePath("main-window.html"));
    const QString deleteFolder = AfterName(main, "Delete Folder");
    EXPECT_TRUE(deleteFolder.contains("for good")) << deleteFolder.toStdString();
    EXPECT_FALSE(deleteFolder.contains("to the trash or")) << deleteFolder.toStdString();
    const QString autoZoom = AfterName(main, "Auto Zoom");
    EXPECT_TRUE(autoZoom.contains("every picture")) << autoZoom.toStdString();

    // The Editors tab has an editor for each of the ten file types.
    const QString editors = AfterName(ReadPage(folder.filePath("preferences.html")), "Editors");
    for (int type = 0; type < FileTypeCount; ++type) {
        const char* name = FileTypeName(static_cast<TFileType>(type));
        EXPECT_TRUE(editors.contains(name)) << name;
    }
}

} // namespace
} // namespace lumeno
