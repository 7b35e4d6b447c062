#include "app/desktop/dde_handler.h"
#include "app/desktop/single_instance.h"
#include "support/test_env.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QTest>
#include <gtest/gtest.h>

#include <future>

#include <sys/stat.h>
#include <unistd.h>

namespace lumeno {
namespace {

TEST(MacroCommands, SplitAtBracketPairs)
{
    std::vector<std::string> list;
    SplitMacroCommands("[Open(\"a.jpg\")][Open(\"b.jpg\")]", list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], "[Open(\"a.jpg\")]");
    EXPECT_EQ(list[1], "[Open(\"b.jpg\")]");
    list.clear();
    SplitMacroCommands("[Close]", list);
    EXPECT_EQ(list, std::vector<std::string>{"[Close]"});
}

TEST(MacroCommands, TwoOpensShowTheSecondAndOtherCommandsPassAsTheyAre)
{
    EXPECT_EQ(LastMacroFile({"[Open(\"/p/a.jpg\")]", "[Open(\"/p/b.jpg\")]"}), "/p/b.jpg");
    EXPECT_EQ(LastMacroFile({"[Open(\"/p/a.jpg\")]", "[Print]"}), "[Print]");
    EXPECT_EQ(LastMacroFile({}), "");
}

TEST(MacroCommands, OpenMacroKeepsQuotesBracketsAndLineEndsInside)
{
    const std::string path = "/p/odd \"name\"][x\n%20é.jpg";
    const std::string macro = OpenMacro(path);
    EXPECT_EQ(macro.find('\n'), std::string::npos);
    std::vector<std::string> list;
    SplitMacroCommands(macro, list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(MacroFileName(list[0]), path);
    EXPECT_EQ(MacroFileName("[Open(\"/plain/path.jpg\")]"), "/plain/path.jpg");
}

TEST(MacroCommands, CommandsWaitForTheHandler)
{
    TDDEHandler handler;
    handler.ExecuteMacro({"[Open(\"a.jpg\")][Open(\"b.jpg\")]"});
    EXPECT_EQ(handler.Pending().size(), 2u);
    std::vector<std::string> received;
    handler.SetMacroHandler([&](const std::vector<std::string>& commands) { received = commands; });
    EXPECT_EQ(received.size(), 2u);
    EXPECT_TRUE(handler.Pending().empty());
    handler.ExecuteMacro({"[Open(\"c.jpg\")]"});
    EXPECT_EQ(received, std::vector<std::string>{"[Open(\"c.jpg\")]"});
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        DDEHandler().SetMacroHandler([this](const std::vector<std::string>& commands) {
            shown.push_back(LastMacroFile(commands));
        });
    }
    void TearDown() override { DDEHandler().SetMacroHandler(nullptr); }

    // A second start in its own thread, as a second process would be.
    std::future<bool> SecondStart(const QStringList& args)
    {
        return std::async(std::launch::async, [this, args] {
            TSingleInstance second(socket);
            return second.Start(args);
        });
    }
    bool Wait(std::future<bool>& result)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000));
        return result.get();
    }

    test::TempDir dir;
    std::string socket = dir.File("dde");
    std::vector<std::string> shown;
};

TEST_F(SingleInstance, ASecondStartWithAFileForwardsItAndEnds)
{
    TSingleInstance first(socket);
    EXPECT_FALSE(first.Start({}));
    ASSERT_TRUE(first.Listening());
    const std::string odd = dir.File("a \"b\"][c.jpg");
    test::WriteFileBytes(odd, {1});
    auto result = SecondStart({QString::fromStdString(odd)});
    EXPECT_TRUE(Wait(result));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.empty(); }, 5000));
    EXPECT_EQ(shown, std::vector<std::string>{odd});

    auto plain = SecondStart({});
    EXPECT_FALSE(Wait(plain)) << "a start without a file runs on its own";
}

TEST_F(SingleInstance, OnlyARegularFileIsHandedOver)
{
    TSingleInstance first(socket);
    first.Start({});
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0600), 0);
    for (const std::string& argument :
         {dir.Path().string(), std::string("--help"), dir.File("missing.jpg"), dir.File("pipe.jpg")}) {
        auto result = SecondStart({QString::fromStdString(argument)});
        EXPECT_FALSE(Wait(result)) << argument;
    }
    QTest::qWait(50);
    EXPECT_TRUE(shown.empty());
}

TEST_F(SingleInstance, NoServerOrAStaleSocketMakesThisStartTheServer)
{
    {
        TSingleInstance gone(socket);
        gone.Start({});
    }
    test::WriteFileBytes(socket, {1}); // left behind by a start that died
    TSingleInstance first(socket);
    EXPECT_FALSE(first.Start({QString::fromStdString(dir.File("x.jpg"))}));
    EXPECT_TRUE(first.Listening());
}

TEST_F(SingleInstance, TheSocketLivesInAPrivateFolderOrNowhere)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir.File("none")));
    const QFileInfo folder(QFileInfo(QString::fromStdString(DdeSocketPath())).path());
    EXPECT_TRUE(folder.isDir());
    EXPECT_EQ(folder.ownerId(), ::getuid());
    EXPECT_EQ(folder.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther), 0);
    if (saved.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", saved);

    TSingleInstance alone("");
    EXPECT_FALSE(alone.Start({QString::fromStdString(dir.File("x.jpg"))}));
    EXPECT_FALSE(alone.Listening());
    EXPECT_FALSE(QFileInfo::exists(".lock"));
}

TEST_F(SingleInstance, OverlongAndBrokenLinesAreDropped)
{
    TSingleInstance first(socket);
    first.Start({});
    auto sent = std::async(std::launch::async, [this] {
        QLocalSocket client;
        client.connectToServer(QString::fromStdString(socket));
        client.waitForConnected(2000);
        client.write(QByteArray("[Open(\"\xff\xfe.jpg\")]\n"));
        client.write(QByteArray("[Open(\"/cut.jpg\")]\xE2\x82\n")); // ends inside a character
        client.write(QByteArray(kMaxMacroLine + 10, 'x') + "\n");
        client.waitForBytesWritten(2000);
        client.waitForDisconnected(3000);
        return client.state() == QLocalSocket::UnconnectedState;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000));
    EXPECT_TRUE(sent.get()) << "the server hangs up on an overlong line";
    EXPECT_TRUE(shown.empty());
}

} // namespace
} // namespace lumeno
