// The album's files, fonts, printer, frame setup and web wizard commands.

#include "app/album/f_a_prefs.h"
#include "app/album/f_album.h"
#include "app/album/frm_pub_wizard.h"
#include "controls/media/font_dialog.h"
#include "platform/dialogs.h"
#include "platform/qt/asking_window.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QStandardPaths>

namespace lumeno {

TAlbumFileSettings TfAlbum::FileSettings() const
{
    const TAlbumOptions o = fAPrefs()->Options();
    TAlbumFileSettings s;
    s.Rows = o.Rows;
    s.Cols = o.Cols;
    s.Border = o.Border;
    s.PrintFrames = o.PrintFrames;
    s.CaptionChoice = o.Caption;
    s.FontName = captionFont_.family().toStdString();
    s.FontSize = captionFont_.pointSize();
    s.FontColor = captionFontColor_;
    s.Bold = captionFont_.bold();
    s.Italic = captionFont_.italic();
    return s;
}

void TfAlbum::ApplyFileSettings(const TAlbumFileSettings& s)
{
    TAlbumOptions o = fAPrefs()->Options();
    o.Rows = s.Rows;
    o.Cols = s.Cols;
    o.Border = s.Border;
    o.PrintFrames = s.PrintFrames;
    o.Caption = s.CaptionChoice;
    fAPrefs()->SetOptions(o);
    fAPrefs()->SetHoldsAlbumLayout(true);
    captionFont_ = QFont(QString::fromStdString(s.FontName), s.FontSize);
    captionFont_.setBold(s.Bold);
    captionFont_.setItalic(s.Italic);
    captionFontColor_ = s.FontColor;
}

void TfAlbum::New1Click()
{
    captionFont_ = QFont("Arial", 8);
    captionFontColor_ = clBlack;
    saveName_.clear();
    fAPrefs()->SetHoldsAlbumLayout(false);
    fAPrefs()->LoadSettings();
    LVAlbum->clear();
    UpdateCount();
}

std::string TfAlbum::DefaultPickFileName(bool save)
{
    if (openFolder_.empty())
        openFolder_ = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
    QFileDialog dialog(this, save ? "Lumeno Save Album" : "Lumeno Open Album");
    dialog.setNameFilter("Lumeno Photo Album (*.alb)");
    dialog.setDefaultSuffix("alb");
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (!saveName_.empty())
            dialog.selectFile(QString::fromStdString(saveName_));
        else
            dialog.setDirectory(QString::fromStdString(openFolder_));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDirectory(QString::fromStdString(openFolder_));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first().toStdString();
}

bool TfAlbum::RequireEntries()
{
    if (LVAlbum->topLevelItemCount() > 0)
        return true;
    ShowMessage("You need to have entries in the Album to save");
    return false;
}

bool TfAlbum::WriteAlbumFile(const std::string& FileName)
{
    if (!RequireEntries())
        return false;
    const std::vector<TAlbumEntry> entries = Entries();
    try {
        WriteAlbumFileTo(FileName, entries, FileSettings());
    } catch (const std::exception& e) {
        MessageDlg("Cannot save the album " + FileName + ": " + e.what(), TMsgDlgType::mtError, mbOK);
        return false;
    }
    saveName_ = FileName;
    return true;
}

bool TfAlbum::OpenAlbumFile(const std::string& FileName)
{
    TAlbumFile album;
    try {
        album = ReadAlbumFileFrom(FileName);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return false;
    }
    ApplyFileSettings(album.Settings);
    SetEntries(album.Entries);
    saveName_ = FileName;
    openFolder_ = QFileInfo(QString::fromStdString(FileName)).absolutePath().toStdString();
    if (album.CutShort)
        MessageDlg("The album " + FileName + " was cut short: its last entry is incomplete and was left out",
                   TMsgDlgType::mtWarning, mbOK);
    if (album.Damaged > 0)
        MessageDlg("The album " + FileName + " is damaged: entries without a TAB after the path were left out (" +
                       std::to_string(album.Damaged) + ")",
                   TMsgDlgType::mtWarning, mbOK);
    return true;
}

void TfAlbum::Open1Click()
{
    const std::string name = PickFileName(false);
    if (!name.empty())
        OpenAlbumFile(name);
}

void TfAlbum::Save1Click()
{
    if (!RequireEntries())
        return;
    // A never-saved album has no name to save under: ask for one.
    if (saveName_.empty()) {
        SaveAs1Click();
        return;
    }
    if (MessageDlg("Replace " + saveName_ + "?", TMsgDlgType::mtConfirmation, mbYesNo) == mrYes)
        WriteAlbumFile(saveName_);
    else
        SaveAs1Click();
}

void TfAlbum::SaveAs1Click()
{
    if (!RequireEntries())
        return;
    const std::string name = PickFileName(true);
    if (!name.empty())
        WriteAlbumFile(name);
}

void TfAlbum::CaptionFontClick()
{
    FontDialog1->SetFont(captionFont_);
    FontDialog1->Execute();
}

void TfAlbum::SelectPrinterClick()
{
    auto* dialog = new QPrintDialog(&PreviewPrinter1.Printer(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void TfAlbum::PageSetupClick()
{
    PreviewPrinter1.PageSetup();
}

void TfAlbum::FrameSetupClick()
{
    OpenOver(fAPrefs(), this);
}

void TfAlbum::WebAlbumClick()
{
    if (TfrmPubWizard* wizard = frmPubWizard())
        wizard->open();
}

} // namespace lumeno
