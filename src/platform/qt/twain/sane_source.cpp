#include "platform/qt/twain/sane_source.h"

#include "platform/dialogs.h"
#include "platform/qt/twain/sane_options_dialog.h"
#include "platform/qt/twain/twain_container.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QString>

#include <algorithm>

namespace lumeno {

int SaneModePixelType(const std::string& Mode)
{
    const QString mode = QString::fromStdString(Mode).toLower();
    for (const char* bw : {"lineart", "binary", "halftone", "black"})
        if (mode.contains(QLatin1String(bw)))
            return TWPT_BW;
    if (mode.contains(QLatin1String("gray")) || mode.contains(QLatin1String("grey")))
        return TWPT_GRAY;
    if (mode.contains(QLatin1String("color")) || mode.contains(QLatin1String("colour")))
        return TWPT_RGB;
    return -1;
}

TSaneSource::TSaneSource(const TW_IDENTITY& Identity, std::unique_ptr<TSaneDevice> Device)
    : TTwainSource(Identity), FDevice(std::move(Device))
{
}

TSaneSource::~TSaneSource() = default;

void TSaneSource::ShowUserInterface(QWidget* /*Parent*/)
{
    // Parentless: the caller disables its window while the source is enabled.
    FDialog = std::make_unique<TSaneOptionsDialog>(*FDevice, QString::fromUtf8(Identity().ProductName));
    FDialog->setWindowModality(Qt::ApplicationModal);
    QObject::connect(FDialog.get(), &QDialog::accepted, FDialog.get(), [this] {
        FDialog->Apply();
        RequestTransfer();
    });
    QObject::connect(FDialog.get(), &QDialog::rejected, FDialog.get(), [this] { RequestClose(); });
    FDialog->open();
}

void TSaneSource::HideUserInterface()
{
    FDialog.reset();
}

TW_UINT16 TSaneSource::TransferImage(HGLOBAL& Dib)
{
    std::unique_ptr<QProgressDialog> progress;
    if (UserInterfaceShown()) {
        progress =
            std::make_unique<QProgressDialog>(QObject::tr("Scanning..."), QObject::tr("Cancel"), 0, 1000);
        progress->setWindowModality(Qt::ApplicationModal);
        progress->setMinimumDuration(1000);
    }
    const auto onProgress = [&progress](std::int64_t done, std::int64_t total) {
        if (!progress)
            return true;
        if (total > 0)
            progress->setValue(static_cast<int>(std::min<std::int64_t>(done * 1000 / total, 999)));
        QCoreApplication::processEvents();
        return !progress->wasCanceled();
    };
    switch (FDevice->Scan(Dib, onProgress)) {
    case TSaneDevice::TScanResult::Done:
        return TWRC_XFERDONE;
    case TSaneDevice::TScanResult::Cancelled:
        return TWRC_CANCEL;
    default:
        MessageBox("Scanning failed: " + FDevice->ErrorText(), Identity().ProductName, MB_OK | MB_ICONERROR);
        return Fail(TWCC_OPERATIONERROR);
    }
}

int TSaneSource::CurrentPixelType()
{
    std::string mode;
    return FDevice->GetString("mode", mode) ? SaneModePixelType(mode) : -1;
}

TW_UINT16 TSaneSource::Container(TW_CAPABILITY& Cap, TW_UINT16 ConType, HGLOBAL Mem)
{
    if (!Mem)
        return Fail(TWCC_LOWMEMORY);
    Cap.ConType = ConType;
    Cap.hContainer = Mem;
    return TWRC_SUCCESS;
}

TW_UINT16 TSaneSource::GetPixelType(TW_CAPABILITY& Cap)
{
    std::vector<TW_UINT32> types;
    for (const std::string& mode : FDevice->StringChoices("mode")) {
        const int type = SaneModePixelType(mode);
        if (type >= 0 && std::find(types.begin(), types.end(), TW_UINT32(type)) == types.end())
            types.push_back(static_cast<TW_UINT32>(type));
    }
    const int current = CurrentPixelType();
    if (types.empty() || current < 0) {
        // No mode to choose: the device scans what its parameters say.
        SANE_Parameters p{};
        if (!FDevice->Parameters(p))
            return Fail(TWCC_OPERATIONERROR);
        const TW_UINT16 type = p.format != SANE_FRAME_GRAY ? TWPT_RGB : p.depth == 1 ? TWPT_BW : TWPT_GRAY;
        return Container(Cap, TWON_ONEVALUE, NewOneValue(TWTY_UINT16, type));
    }
    const auto index =
        static_cast<TW_UINT32>(std::find(types.begin(), types.end(), TW_UINT32(current)) - types.begin());
    return Container(Cap, TWON_ENUMERATION, NewEnumeration(TWTY_UINT16, types, index, index));
}

TW_UINT16 TSaneSource::SetPixelType(const std::vector<TW_UINT32>& Allowed)
{
    const int current = CurrentPixelType();
    if (current >= 0 && std::find(Allowed.begin(), Allowed.end(), TW_UINT32(current)) != Allowed.end())
        return TWRC_SUCCESS;
    for (TW_UINT32 type : Allowed)
        for (const std::string& mode : FDevice->StringChoices("mode"))
            if (SaneModePixelType(mode) == static_cast<int>(type) && FDevice->SetString("mode", mode))
                return TWRC_SUCCESS;
    return Fail(TWCC_BADVALUE);
}

TW_UINT16 TSaneSource::GetCapability(TW_CAPABILITY& Cap)
{
    double dpi = 0;
    switch (Cap.Cap) {
    case ICAP_PIXELTYPE:
        return GetPixelType(Cap);
    case ICAP_XRESOLUTION:
        if (!FDevice->GetNumber("resolution", dpi))
            return Fail(TWCC_BADCAP);
        return Container(Cap, TWON_ONEVALUE, NewOneValue(TWTY_FIX32, FloatToFix32(dpi)));
    case ICAP_UNITS:
        return Container(Cap, TWON_ONEVALUE, NewOneValue(TWTY_UINT16, TWUN_INCHES));
    case CAP_XFERCOUNT:
        return Container(Cap, TWON_ONEVALUE, NewOneValue(TWTY_INT16, 1));
    default:
        return Fail(TWCC_BADCAP);
    }
}

TW_UINT16 TSaneSource::SetCapability(const TW_CAPABILITY& Cap)
{
    TW_UINT16 type = 0;
    std::vector<TW_UINT32> values;
    if (!ContainerValues(Cap, type, values) || values.empty())
        return Fail(TWCC_BADVALUE);
    const TW_UINT32 value = values.front();
    switch (Cap.Cap) {
    case ICAP_PIXELTYPE:
        return SetPixelType(values);
    case ICAP_XRESOLUTION:
        return type == TWTY_FIX32 && FDevice->SetNumber("resolution", Fix32ToFloat(value))
                   ? TWRC_SUCCESS
                   : Fail(TWCC_BADVALUE);
    case ICAP_UNITS:
        return value == TWUN_INCHES ? TWRC_SUCCESS : Fail(TWCC_BADVALUE);
    case ICAP_BITDEPTH:
        return FDevice->SetNumber("depth", value) ? TWRC_SUCCESS : Fail(TWCC_BADVALUE);
    case CAP_XFERCOUNT:
        // One image per enabling; asking for any number is fine.
        return value != 0 ? TWRC_SUCCESS : Fail(TWCC_BADVALUE);
    default:
        return Fail(TWCC_BADCAP);
    }
}

} // namespace lumeno
