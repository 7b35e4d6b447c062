#pragma once
// The open file dialog with a preview of the selected image, a description
// of its format and a filter list built from the format registry. The
// preview is read by a TCreateOpenSaveDialogPaintPGThread.

#include "imagelib/format_registry.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_view_types.h"

#include <QColor>
#include <QFileDialog>
#include <QFontMetrics>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace lumeno {

class TCreateOpenSaveDialogPaintPGThread;
class TPGInfoBox;
class TPGPreviewBox;

using TOpenOptions = std::uint32_t;
constexpr TOpenOptions ofOverwritePrompt = 1u << 0;
constexpr TOpenOptions ofHideReadOnly = 1u << 1;
constexpr TOpenOptions ofAllowMultiSelect = 1u << 2;
constexpr TOpenOptions ofShareAware = 1u << 3;

class TPGOpenDialog : public QFileDialog, public TObject {
    Q_OBJECT
public:
    // Folder: where the dialog opens (empty: the working folder).
    explicit TPGOpenDialog(QWidget* Parent = nullptr, const QString& Folder = {});
    ~TPGOpenDialog() override;

    // Runs the dialog modally; True when a file was chosen.
    bool Execute();
    // Shows the dialog and returns at once; Done gets Execute's result when
    // the dialog closes.
    void ExecuteAsync(std::function<void(bool)> Done);

    // The dialog's filter as "text|patterns|text|patterns…".
    const std::string& GetFilter() const { return FFilter; }
    void SetFilter(const std::string& Value) { FFilter = Value; }
    // 1-based.
    int GetFilterIndex() const;
    void SetFilterIndex(int Value);
    // The extension of filter entry I, without the dot; empty when the
    // entry has none or UseDefaultFilter is off.
    virtual std::string GetFilterExtension(int I) const;
    virtual std::string BuildFilter() const;

    std::string GetFileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    const std::vector<std::string>& GetFiles() const { return FFiles; }

    TOpenOptions GetOptions() const { return FOptions; }
    void SetOptions(TOpenOptions Value);
    TStretchMode GetStretchMode() const { return FStretchMode; }
    void SetStretchMode(TStretchMode Value) { FStretchMode = Value; }
    bool GetUseDefaultFilter() const { return FUseDefaultFilter; }
    void SetUseDefaultFilter(bool Value) { FUseDefaultFilter = Value; }
    QColor GetProgressClockBkColor() const { return FProgressClockBkColor; }
    void SetProgressClockBkColor(const QColor& Value);
    QColor GetProgressClockLineColor() const { return FProgressClockLineColor; }
    void SetProgressClockLineColor(const QColor& Value);
    bool GetProgressClockVisible() const { return FProgressClockVisible; }
    void SetProgressClockVisible(bool Value);
    TPalette8BitSys24BitGraphic GetPalette8BitSys24BitGraphic() const { return FPalette8BitSys24BitGraphic; }
    void SetPalette8BitSys24BitGraphic(TPalette8BitSys24BitGraphic Value)
    {
        FPalette8BitSys24BitGraphic = Value;
    }
    TPalette8BitSys8BitGraphic GetPalette8BitSys8BitGraphic() const { return FPalette8BitSys8BitGraphic; }
    void SetPalette8BitSys8BitGraphic(TPalette8BitSys8BitGraphic Value)
    {
        FPalette8BitSys8BitGraphic = Value;
    }
    bool GetShowInfo() const { return FShowInfo; }
    void SetShowInfo(bool Value);

    // What the panes show now.
    const TPixelGraphic* GetPreviewPixelGraphic() const { return FPreview.get(); }
    bool GetInfoValid() const { return FInfoValid; }
    const TGraphicInfo& GetInfo() const { return FInfo; }
    QStringList GetInfoLines() const;
    // The file the panes describe (the first one of several).
    const std::string& GetPreviewFileName() const { return FPreviewFileName; }

protected:
    // The registry entries the filter lists: readers here, writers when saving.
    virtual std::vector<const TFileFormatReaderWriter*> FilterEntries() const;
    virtual void BeginExecute();
    virtual void EndExecute(bool Accepted);
    void customEvent(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    // The name in the file name field, as typed.
    QString TypedFileName() const;

private:
    void BuildPanes();
    void FitListColumns();
    void FitSideBar();
    void ApplyFilterToDialog();
    void SelectionChanged();
    void StopPreview();
    void StartPreview();
    void ShowInfo();

    std::string FFilter;
    int FFilterIndex = 1;
    std::string FFileName;
    std::vector<std::string> FFiles;
    TOpenOptions FOptions = ofHideReadOnly | ofShareAware;
    TStretchMode FStretchMode = smPrecise;
    bool FUseDefaultFilter = true;
    QColor FProgressClockBkColor;
    QColor FProgressClockLineColor;
    bool FProgressClockVisible = true;
    TPalette8BitSys24BitGraphic FPalette8BitSys24BitGraphic = pOptimized252Sys16;
    TPalette8BitSys8BitGraphic FPalette8BitSys8BitGraphic = pOptimized252Sys16;
    bool FShowInfo = true;

    std::unique_ptr<TPixelGraphic> FPreview;
    std::unique_ptr<TCreateOpenSaveDialogPaintPGThread> FThread;
    std::uint64_t FGeneration = 0;
    QTimer* FTimer = nullptr;
    TPGPreviewBox* FPreviewBox = nullptr;
    TPGInfoBox* FInfoBox = nullptr;
    std::string FPreviewFileName;
    bool FInfoValid = false;
    TGraphicInfo FInfo;
};

// The first name of the name field's text: several files stand there as
// quoted names separated by blanks.
// Dialog units of a font: a quarter of its average letter width, an eighth
// of its height.
QSize DialogUnitsToPixels(const QFontMetrics& Metrics, int X, int Y);

std::string FirstSelectedFile(std::string Text);

// The entries of List that the filter shows.
template <class TList> std::vector<const TFileFormatReaderWriter*> FilterShownEntries(const TList& List)
{
    std::vector<const TFileFormatReaderWriter*> entries;
    for (const auto& entry : List)
        if (entry->ShowInFilter)
            entries.push_back(entry.get());
    return entries;
}

// An entry's own filter line: "EXT - description|*.ext|".
std::string FilterEntryText(const TFileFormatReaderWriter& Entry);

// "text|patterns|…" as the toolkit's name filters ("text (patterns)").
QStringList PGNameFilters(const std::string& Filter);

} // namespace lumeno
