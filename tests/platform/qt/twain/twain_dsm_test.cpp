// The source manager's own rules: sessions, sequencing, destinations,
// status, the source selection and the remembered default source, and the
// source states a data source keeps.

#include "platform/qt/registry/registry.h"
#include "platform/qt/twain/twain_container.h"
#include "platform/qt/twain/twain_dsm.h"
#include "platform/qt/twain/twain_source_select_dialog.h"
#include "support/fake_twain_qt.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QListWidget>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

class SourceManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetRegistryFolder(registryDir.Path().string());
        module = LoadSourceManager();
        ASSERT_NE(module, nullptr);
        entry = GetSourceManagerEntry(module);
        ASSERT_NE(entry, nullptr);
    }
    void TearDown() override
    {
        if (module)
            FreeSourceManager(module);
        SetRegistryFolder("");
    }

    TW_UINT16 Manager(TW_UINT16 DAT, TW_UINT16 MSG, void* data)
    {
        return entry(&app, nullptr, DG_CONTROL, DAT, MSG, data);
    }
    TW_UINT16 Source(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, void* data)
    {
        return entry(&app, &source, DG, DAT, MSG, data);
    }
    TW_UINT16 Condition(bool ofSource)
    {
        TW_STATUS status{};
        if (ofSource)
            Source(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        else
            Manager(DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode;
    }
    void OpenSession()
    {
        ASSERT_EQ(Manager(DAT_PARENT, MSG_OPENDSM, &window), TWRC_SUCCESS);
        EXPECT_NE(app.Id, 0u);
    }
    void OpenDefault()
    {
        source = TW_IDENTITY{};
        ASSERT_EQ(Manager(DAT_IDENTITY, MSG_OPENDS, &source), TWRC_SUCCESS);
    }

    test::TempDir registryDir;
    test::FakeSourceList fake;
    HSOURCEMANAGER module = nullptr;
    DSMENTRYPROC entry = nullptr;
    TW_IDENTITY app{};
    TW_IDENTITY source{};
    void* window = nullptr;
};

TEST(SourceManagerLoading, AbsentListMeansNoManagerAndNoEntryCalls)
{
    test::FakeSourceList fake;
    fake.Script.Present = false;
    EXPECT_EQ(LoadSourceManager(), nullptr);
    TW_IDENTITY app{};
    void* window = nullptr;
    EXPECT_EQ(DSM_Entry(&app, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &window), TWRC_FAILURE);
    EXPECT_EQ(GetSourceManagerEntry(nullptr), nullptr);
}

TEST_F(SourceManager, TripletsOutOfSequenceAreRefusedWithTheirCondition)
{
    source = TW_IDENTITY{};
    EXPECT_EQ(Manager(DAT_IDENTITY, MSG_OPENDS, &source), TWRC_FAILURE);
    EXPECT_EQ(Condition(false), TWCC_SEQERROR);
    EXPECT_EQ(Condition(false), TWCC_SUCCESS) << "reading the status clears it";

    OpenSession();
    EXPECT_EQ(Manager(DAT_PARENT, MSG_OPENDSM, &window), TWRC_FAILURE);
    OpenDefault();
    EXPECT_EQ(Manager(DAT_PARENT, MSG_CLOSEDSM, &window), TWRC_FAILURE) << "a source is open";
    EXPECT_EQ(Condition(false), TWCC_SEQERROR);
    TW_IDENTITY second{};
    EXPECT_EQ(Manager(DAT_IDENTITY, MSG_OPENDS, &second), TWRC_FAILURE);
    EXPECT_EQ(Condition(false), TWCC_MAXCONNECTIONS);

    TW_IDENTITY stranger = source;
    stranger.Id += 100;
    TW_STATUS status{};
    EXPECT_EQ(entry(&app, &stranger, DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_FAILURE);
    EXPECT_EQ(Condition(false), TWCC_BADDEST);
    EXPECT_EQ(Manager(DAT_IDENTITY, 0x7777, &source), TWRC_FAILURE);
    EXPECT_EQ(Condition(false), TWCC_BADPROTOCOL);

    EXPECT_EQ(Manager(DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
    EXPECT_EQ(Manager(DAT_PARENT, MSG_CLOSEDSM, &window), TWRC_SUCCESS);
}

TEST_F(SourceManager, SourceWalksItsStatesAndAnswersOnlyItsOwnEvents)
{
    OpenSession();
    OpenDefault();
    HGLOBAL dib = nullptr;
    EXPECT_EQ(Source(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_FAILURE);
    EXPECT_EQ(Condition(true), TWCC_SEQERROR);

    TW_USERINTERFACE ui{0, 0, nullptr}; // no dialog: the transfer is ready at once
    ASSERT_EQ(Source(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, NewOneValue(TWTY_UINT16, TWPT_RGB)};
    EXPECT_EQ(Source(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_FAILURE) << "not in state 4";
    GlobalFree(cap.hContainer);
    EXPECT_EQ(Manager(DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_FAILURE) << "still enabled";

    QEvent foreign(QEvent::Timer);
    TW_EVENT event{&foreign, MSG_NULL};
    EXPECT_EQ(Source(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    QEvent own(QEvent::Type(TTwainSource::EventType()));
    event = {&own, MSG_NULL};
    ASSERT_EQ(Source(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
    EXPECT_EQ(event.TWMessage, MSG_XFERREADY);
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), TTwainSource::EventType());

    ASSERT_EQ(Source(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_XFERDONE);
    EXPECT_EQ(GlobalSize(dib), test::FakeDib().size());
    GlobalFree(dib);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_FAILURE)
        << "reset is for state 6";
    ASSERT_EQ(Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    event = {&own, MSG_NULL};
    ASSERT_EQ(Source(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
    EXPECT_EQ(event.TWMessage, MSG_CLOSEDSREQ);
    EXPECT_EQ(Source(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(Manager(DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), TTwainSource::EventType());
}

TEST_F(SourceManager, DefaultSourceIsTheChosenOneOrElseTheFirst)
{
    OpenSession();
    OpenDefault();
    EXPECT_STREQ(source.ProductName, "Fake Scanner");
    ASSERT_EQ(Manager(DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);

    test::WhenShown("TwainSelectSource", [](QWidget* w) {
        auto* dialog = static_cast<TTwainSourceSelectDialog*>(w);
        EXPECT_EQ(dialog->Sources()->count(), 2);
        EXPECT_EQ(dialog->SelectedIndex(), 0);
        dialog->Sources()->setCurrentRow(1);
        dialog->accept();
    });
    TW_IDENTITY chosen{};
    ASSERT_EQ(Manager(DAT_IDENTITY, MSG_USERSELECT, &chosen), TWRC_SUCCESS);
    EXPECT_STREQ(chosen.ProductName, "Other Scanner");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(TwainSourceKey, false));
    EXPECT_EQ(reg.ReadString(TwainDefaultSourceValue), "fake:1");

    OpenDefault();
    EXPECT_STREQ(source.ProductName, "Other Scanner");
    ASSERT_EQ(Manager(DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);

    test::WhenShown("TwainSelectSource", [](QWidget* w) {
        EXPECT_EQ(static_cast<TTwainSourceSelectDialog*>(w)->SelectedIndex(), 1);
        static_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(Manager(DAT_IDENTITY, MSG_USERSELECT, &chosen), TWRC_CANCEL);

    // A remembered source that went away falls back to the first one.
    fake.Script.Devices.erase(fake.Script.Devices.begin() + 1);
    OpenDefault();
    EXPECT_STREQ(source.ProductName, "Fake Scanner");
    ASSERT_EQ(Manager(DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);

    fake.Script.Devices.clear();
    source = TW_IDENTITY{};
    EXPECT_EQ(Manager(DAT_IDENTITY, MSG_OPENDS, &source), TWRC_FAILURE);
    EXPECT_EQ(Condition(false), TWCC_NODS);
    EXPECT_EQ(Manager(DAT_PARENT, MSG_CLOSEDSM, &window), TWRC_SUCCESS);
}

TEST_F(SourceManager, FreeingTheManagerClosesWhatTheCallerLeftOpen)
{
    OpenSession();
    OpenDefault();
    FreeSourceManager(module);
    module = nullptr;
    EXPECT_EQ(entry(&app, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window), TWRC_FAILURE);
    module = LoadSourceManager();
    entry = GetSourceManagerEntry(module);
    OpenSession();
    OpenDefault();
    EXPECT_EQ(Manager(DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
    EXPECT_EQ(Manager(DAT_PARENT, MSG_CLOSEDSM, &window), TWRC_SUCCESS);
}

TEST(TwainContainer, FixedPointKeepsWholeAndFraction)
{
    const TW_UINT32 item = FloatToFix32(300.25);
    TW_FIX32 fix;
    std::memcpy(&fix, &item, sizeof(fix));
    EXPECT_EQ(fix.Whole, 300);
    EXPECT_EQ(fix.Frac, 0x4000);
    EXPECT_DOUBLE_EQ(Fix32ToFloat(item), 300.25);

    // An enumeration claiming more items than its block holds is refused.
    HGLOBAL mem = NewEnumeration(TWTY_UINT16, {1, 2}, 1, 0);
    auto* e = static_cast<TW_ENUMERATION*>(GlobalLock(mem));
    TW_UINT32 many = 1000;
    std::memcpy(reinterpret_cast<std::uint8_t*>(e) + offsetof(TW_ENUMERATION, NumItems), &many, 4);
    GlobalUnlock(mem);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ENUMERATION, mem};
    TW_UINT16 type = 0;
    std::vector<TW_UINT32> values;
    EXPECT_FALSE(ContainerValues(cap, type, values));
    GlobalFree(mem);
    EXPECT_EQ(GlobalLock(mem), nullptr) << "a freed block does not lock";
}

} // namespace
} // namespace lumeno
