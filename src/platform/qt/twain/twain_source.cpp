#include "platform/qt/twain/twain_source.h"

#include <QCoreApplication>
#include <QEvent>

#include <cstring>

namespace lumeno {

TTwainSource::TTwainSource(const TW_IDENTITY& identity) : FIdentity(identity) {}

TTwainSource::~TTwainSource() = default;

int TTwainSource::EventType()
{
    static const int type = QEvent::registerEventType();
    return type;
}

TW_UINT16 TTwainSource::Entry(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData)
{
    if (!pData)
        return Fail(TWCC_BADVALUE);
    if (DG == DG_CONTROL)
        return ControlEntry(DAT, MSG, pData);
    if (DG == DG_IMAGE && DAT == DAT_IMAGENATIVEXFER && MSG == MSG_GET)
        return NativeTransfer(*static_cast<TW_HANDLE*>(pData));
    return Fail(TWCC_BADPROTOCOL);
}

TW_UINT16 TTwainSource::ControlEntry(TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData)
{
    switch (DAT) {
    case DAT_CAPABILITY:
        return Capability(MSG, *static_cast<TW_CAPABILITY*>(pData));
    case DAT_USERINTERFACE:
        return UserInterface(MSG, *static_cast<TW_USERINTERFACE*>(pData));
    case DAT_EVENT:
        if (MSG == MSG_PROCESSEVENT)
            return ProcessEvent(*static_cast<TW_EVENT*>(pData));
        break;
    case DAT_PENDINGXFERS:
        return EndTransfer(MSG, *static_cast<TW_PENDINGXFERS*>(pData));
    case DAT_STATUS:
        if (MSG == MSG_GET) {
            auto& status = *static_cast<TW_STATUS*>(pData);
            status.ConditionCode = FCondition;
            status.Reserved = 0;
            FCondition = TWCC_SUCCESS;
            return TWRC_SUCCESS;
        }
        break;
    default:
        break;
    }
    return Fail(TWCC_BADPROTOCOL);
}

TW_UINT16 TTwainSource::Capability(TW_UINT16 MSG, TW_CAPABILITY& Cap)
{
    if (MSG == MSG_GET)
        return GetCapability(Cap);
    if (MSG != MSG_SET)
        return Fail(TWCC_BADPROTOCOL);
    // Capabilities are negotiated before the source is enabled.
    if (FState != 4)
        return Fail(TWCC_SEQERROR);
    return SetCapability(Cap);
}

TW_UINT16 TTwainSource::UserInterface(TW_UINT16 MSG, TW_USERINTERFACE& UI)
{
    if (MSG == MSG_ENABLEDS) {
        if (FState != 4)
            return Fail(TWCC_SEQERROR);
        FState = 5;
        FShowUI = UI.ShowUI != 0;
        if (FShowUI)
            ShowUserInterface(static_cast<QWidget*>(static_cast<void*>(UI.hParent)));
        else
            RequestTransfer();
        return TWRC_SUCCESS;
    }
    if (MSG == MSG_DISABLEDS) {
        if (FState != 5)
            return Fail(TWCC_SEQERROR);
        HideUserInterface();
        FPending.clear();
        FState = 4;
        return TWRC_SUCCESS;
    }
    return Fail(TWCC_BADPROTOCOL);
}

TW_UINT16 TTwainSource::ProcessEvent(TW_EVENT& Event)
{
    Event.TWMessage = MSG_NULL;
    const auto* event = static_cast<const QEvent*>(Event.pEvent);
    if (FState < 5 || !event || event->type() != EventType() || FPending.empty())
        return TWRC_NOTDSEVENT;
    Event.TWMessage = FPending.front();
    FPending.pop_front();
    return TWRC_DSEVENT;
}

TW_UINT16 TTwainSource::NativeTransfer(TW_HANDLE& Dib)
{
    Dib = nullptr;
    if (FState != 6)
        return Fail(TWCC_SEQERROR);
    const TW_UINT16 rc = TransferImage(Dib);
    if (rc == TWRC_XFERDONE || rc == TWRC_CANCEL)
        FState = 7;
    if (rc != TWRC_XFERDONE && Dib) {
        GlobalFree(Dib);
        Dib = nullptr;
    }
    return rc;
}

TW_UINT16 TTwainSource::EndTransfer(TW_UINT16 MSG, TW_PENDINGXFERS& Pending)
{
    const bool valid =
        (MSG == MSG_ENDXFER && (FState == 6 || FState == 7)) || (MSG == MSG_RESET && FState == 6);
    if (!valid)
        return Fail(MSG == MSG_ENDXFER || MSG == MSG_RESET ? TWCC_SEQERROR : TWCC_BADPROTOCOL);
    // One image per enabling: the caller may close the source now.
    Pending.Count = 0;
    Pending.Reserved = 0;
    FState = 5;
    RequestClose();
    return TWRC_SUCCESS;
}

TW_UINT16 TTwainSource::GetCapability(TW_CAPABILITY& /*Cap*/)
{
    return Fail(TWCC_BADCAP);
}

TW_UINT16 TTwainSource::SetCapability(const TW_CAPABILITY& /*Cap*/)
{
    return Fail(TWCC_BADCAP);
}

void TTwainSource::RequestTransfer()
{
    if (FState != 5)
        return;
    FState = 6;
    Notify(MSG_XFERREADY);
}

void TTwainSource::RequestClose()
{
    if (FState == 5)
        Notify(MSG_CLOSEDSREQ);
}

void TTwainSource::Notify(TW_UINT16 Message)
{
    FPending.push_back(Message);
    QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Type(EventType())));
}

TW_UINT16 TTwainSource::Fail(TW_UINT16 Condition)
{
    FCondition = Condition;
    return TWRC_FAILURE;
}

void SetTwainString(TW_STR32& Dest, const std::string& Text)
{
    std::memset(Dest, 0, sizeof(Dest));
    std::memcpy(Dest, Text.data(), std::min(Text.size(), sizeof(Dest) - 2));
}

} // namespace lumeno
