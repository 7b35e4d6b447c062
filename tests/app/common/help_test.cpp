// Every help context a window asks for has its page, and the contents
// lead only to pages that are there.

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

} // namespace
} // namespace lumeno
