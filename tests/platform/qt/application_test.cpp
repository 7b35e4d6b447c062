#include "platform/exception.h"
#include "platform/qt/application.h"
#include "platform/qt/qt_dialogs.h"
#include "support/recording_dialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <gtest/gtest.h>
#include <thread>

namespace lumeno {
namespace {

class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw Exception("Unknown file format");
        return QObject::event(e);
    }
};

TEST(Application, ExceptionLeavingAHandlerIsShownAndTheProgramGoesOn)
{
    test::RecordingDialogs rec;
    ThrowingObject obj;
    QEvent ev(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&obj, &ev));
    const auto shown = rec.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "Unknown file format");
    EXPECT_EQ(shown[0].Type, TMsgDlgType::mtError);
}

TEST(QtDialogs, WorkerThreadGetsTheDefaultWithoutABox)
{
    TQtDialogs dialogs;
    int result = -1;
    std::thread worker([&] { result = dialogs.Show({"", "Warning", TMsgDlgType::mtWarning, mbOKCancel, mrCancel}); });
    worker.join();
    EXPECT_EQ(result, mrCancel);
}

} // namespace
} // namespace lumeno
