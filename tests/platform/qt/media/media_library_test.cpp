#include "platform/qt/media/media_library.h"

#include "support/test_env.h"

#include <QString>
#include <QtGlobal>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumeno {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

std::vector<std::string>& Warnings()
{
    static std::vector<std::string> warnings;
    return warnings;
}

void RecordWarning(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtWarningMsg)
        Warnings().push_back(text.toStdString());
}

// A module that could not be used once left every clip failing without a
// word of why.
TEST(MediaLibrary, SaysOnceWhyItsModuleCannotBeUsed)
{
    test::TempDir dir;
    const std::string missing = dir.File("missing/liblumeno_media.so");
    const std::string notALibrary = dir.File("notes.so");
    test::WriteFileBytes(notALibrary, std::vector<unsigned char>(256, 'x'));
    Warnings().clear();
    const QtMessageHandler previous = qInstallMessageHandler(RecordWarning);
    SetMediaModulePath(missing);
    const bool missingRefused = MediaLibrary() == nullptr && MediaLibrary() == nullptr;
    SetMediaModulePath(notALibrary);
    const bool notALibraryRefused = MediaLibrary() == nullptr;
    SetMediaModulePath(LUMENO_MEDIA_MODULE);
    const bool moduleLoaded = MediaLibrary() != nullptr;
    qInstallMessageHandler(previous);

    EXPECT_TRUE(missingRefused);
    EXPECT_TRUE(notALibraryRefused);
    EXPECT_TRUE(moduleLoaded);
    ASSERT_EQ(Warnings().size(), 2u);
    EXPECT_THAT(Warnings()[0], AllOf(HasSubstr(missing), HasSubstr("No such file or directory")));
    EXPECT_THAT(Warnings()[1], AllOf(HasSubstr(notALibrary), HasSubstr("invalid ELF header")));
}

} // namespace
} // namespace lumeno
