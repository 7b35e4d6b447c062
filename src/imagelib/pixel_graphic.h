#pragma once
// The library's in-memory image: 1, 4, 8 or 24 bits per pixel in bottom-up
// rows padded to 4 bytes, with a palette whose kind is recognised.

#include "imagelib/palettes.h"
#include "imagelib/pixel_memory.h"
#include "platform/numeric.h"
#include "platform/types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QImage;
class QPainter;
class QPrinter;
class QWidget;

namespace lumeno {

class TStream;
class TPGFilter;
class TPGCanvas;
class TPGCanvasBase;

enum TStretchMode : std::uint8_t { smFast, smMedium, smPrecise };
enum TPGWarningAction : std::uint8_t { pgwaIgnore, pgwaOKBox, pgwaOKCancelBox, pgwaRaise };
using TPGProgressEvent = std::function<void(TObject* Sender, int Step, int Max, bool& Abort)>;

// Pixel formats.
constexpr std::uint8_t pf1Bit = 0;
constexpr std::uint8_t pf4Bit = 1;
constexpr std::uint8_t pf8Bit = 2;
constexpr std::uint8_t pf24Bit = 3;

// Clipboard formats.
constexpr unsigned CF_TEXT = 1;
constexpr unsigned CF_BITMAP = 2;
constexpr unsigned CF_DIB = 8;

// Pixel memory of this size or more is refused.
constexpr std::int64_t MaxImageSize = std::int64_t{1} << 31;
// The cap in force: MaxImageSize unless lowered, as the fuzz targets do so
// that hostile sizes fail at once instead of filling gigabytes.
extern std::int64_t ImageSizeLimit;

class TPixelGraphic : public TObject {
public:
    TPixelGraphic();
    ~TPixelGraphic() override;
    TPixelGraphic(const TPixelGraphic&) = delete;
    TPixelGraphic& operator=(const TPixelGraphic&) = delete;

    // --- geometry and format ---------------------------------------------
    // The one way pixels are (re)allocated; equal values only Clear.
    void SetDimensions(int AWidth, int AHeight, std::uint8_t APixelFormat);
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    void SetWidth(int Value);
    void SetHeight(int Value);
    std::uint8_t GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(std::uint8_t Value);
    int GetBitsPerPixel() const;
    int GetColorCount() const;
    int GetStride() const { return FStride; }
    std::int64_t GetImageSize() const { return FImageSize; }
    bool GetEmpty() const { return !FBits; }
    std::uint8_t* GetBits();
    // Start of row Y (rows are stored bottom-up); nullptr without pixels.
    std::uint8_t* GetScanLine(int Y);
    static std::uint8_t BitCountToPixelFormat(int BitCount);
    // Colour-resolution class 0..7 (black and white .. 16.7 million colours).
    int GetColorResolution() const;
    static std::string ColorResolutionText(int ColorResolution);

    // --- pixels (outside the image: reads give the fill value, writes drop)
    std::uint32_t GetPixel(int X, int Y);
    void SetPixel(int X, int Y, std::uint32_t Value);
    TColor GetPixelColor(int X, int Y);
    void SetPixelColor(int X, int Y, TColor Color);
    void Clear();

    // --- palette -----------------------------------------------------------
    int GetPaletteSize() const { return static_cast<int>(FPalette.size()); }
    void SetPaletteSize(int Count);
    TColor GetPaletteEntry(int Index) const;
    void SetPaletteEntry(int Index, TColor Color);
    TPaletteIdent GetPaletteType() const { return FPaletteType; }
    void SetPaletteType(TPaletteIdent Ident);
    void AssignPalette(const TPixelGraphic& Source);
    std::uint32_t ColorToIndex(TColor Color);
    void DetectPaletteType();
    bool GetIsGrayPalette() const { return FIsGrayPalette; }
    void FreeColorCache();
    bool GetColorLookupCache() const { return FColorLookupCache; }
    void SetColorLookupCache(bool Value);
    bool GetRGBWeighting() const { return FRGBWeighting; }
    void SetRGBWeighting(bool Value);
    // The colour table the pixels are shown with: GetColorCount() entries
    // of 0x00RRGGBB (entry 0 or black beyond the palette).
    const std::uint32_t* GetColorTable() const { return FColorTable; }

    // --- settings ------------------------------------------------------------
    TColor GetFillColor() const;
    void SetFillColor(TColor Color);
    std::uint32_t GetFillValue() const { return FFillColor; }
    bool GetDither() const { return FDither; }
    void SetDither(bool Value) { FDither = Value; }
    std::uint8_t GetDitherErrorLimit() const { return FDitherErrorLimit; }
    void SetDitherErrorLimit(std::uint8_t Value) { FDitherErrorLimit = Value; }
    bool GetDitherErrorLimitAuto() const { return FDitherErrorLimitAuto; }
    void SetDitherErrorLimitAuto(bool Value) { FDitherErrorLimitAuto = Value; }
    bool GetDitherErrorLimitSoft() const { return FDitherErrorLimitSoft; }
    void SetDitherErrorLimitSoft(bool Value) { FDitherErrorLimitSoft = Value; }
    bool GetPreviewLoad() const { return FPreviewLoad; }
    void SetPreviewLoad(bool Value) { FPreviewLoad = Value; }
    bool GetRotateInterpolation() const { return FRotateInterpolation; }
    void SetRotateInterpolation(bool Value) { FRotateInterpolation = Value; }
    TStretchMode GetStretchMode() const { return FStretchMode; }
    void SetStretchMode(TStretchMode Value) { FStretchMode = Value; }
    TPGWarningAction GetReadWarningAction() const { return FReadWarningAction; }
    void SetReadWarningAction(TPGWarningAction Value) { FReadWarningAction = Value; }
    TPGWarningAction GetSaveColorResWarningAction() const { return FSaveColorResWarningAction; }
    void SetSaveColorResWarningAction(TPGWarningAction Value) { FSaveColorResWarningAction = Value; }
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }
    Extended GetGamma() const { return FGamma; }
    void SetGamma(Extended Value) { FGamma = Value; }

    // --- events ----------------------------------------------------------------
    const TNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Event) { FOnChange = std::move(Event); }
    const TPGProgressEvent& GetOnProgress() const { return FOnProgress; }
    void SetOnProgress(TPGProgressEvent Event) { FOnProgress = std::move(Event); }
    const TNotifyEvent& GetOnProgressStart() const { return FOnProgressStart; }
    void SetOnProgressStart(TNotifyEvent Event) { FOnProgressStart = std::move(Event); }
    const TNotifyEvent& GetOnProgressEnd() const { return FOnProgressEnd; }
    void SetOnProgressEnd(TNotifyEvent Event) { FOnProgressEnd = std::move(Event); }

    // Fire the progress events; Progress returns true when the handler aborts.
    void ProgressStart();
    bool Progress(int Step, int Max);
    void ProgressEnd();

    // --- change notification -------------------------------------------------
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Changed(TObject* Sender);

    // Writes pending canvas drawing back into the pixels.
    void Flush()
    {
        if (FFlushPending)
            DoFlush();
    }

    // --- copying --------------------------------------------------------------
    // nullptr gives an empty 24-bit image.
    void Assign(TPixelGraphic* Source);
    // Packed DIB plus the 14-byte file header and the 4-byte length prefix.
    std::int64_t GetDIBSize() const;
    // Colour-table entries a DIB of this image holds: the palette, at most
    // as many entries as the pixel format can address.
    int GetDIBPaletteEntries() const;

    // --- files and streams (loading and saving go through the registry) -------
    void LoadFromFile(const std::string& FileName);
    void LoadFromFileIndexed(const std::string& FileName, int Index);
    // Loads a picture that only needs to cover MinWidth x MinHeight pixels:
    // a JPEG is decoded at the smallest scale N/8 still covering them (so the
    // image may be smaller than the file); other formats, and a request of
    // 0 x 0, load in full.
    void LoadFromFileAtLeast(const std::string& FileName, int MinWidth, int MinHeight);
    // The size the load in progress must cover, 0 x 0 outside
    // LoadFromFileAtLeast; readers that can decode smaller consult it.
    int GetLoadMinWidth() const { return FLoadMinWidth; }
    int GetLoadMinHeight() const { return FLoadMinHeight; }
    void LoadFromStream(TStream& Stream);
    void LoadFromStreamAs(TStream& Stream, const std::string& Extension);
    void SaveToFile(const std::string& FileName);
    void SaveToStreamAs(TStream& Stream, const std::string& Extension);
    // Always a BMP file, whatever writers are registered.
    void SaveToStream(TStream& Stream);
    void DoLoad(TStream& Stream, const std::string& Extension, int Index);
    void DoSaveToFile(bool ToFile, const std::string& FileName, const std::string& Extension,
                      TStream* Stream);
    // Length-prefixed BMP block for embedding in other streams.
    void WriteData(TStream& Stream);
    void ReadData(TStream& Stream);
    // The body of a BMP file: information header, colour table, pixel rows.
    void LoadFromDIBStream(TStream& Stream, bool IsCoreHeader);
    void SaveToDIBStream(TStream& Stream);

    // --- clipboard (Data is the clipboard block; nullptr = no data) -----------
    void SaveToClipboardFormat(unsigned& Format, std::vector<std::uint8_t>& Data,
                               std::uintptr_t& Palette);
    void LoadFromClipboardFormat(unsigned Format, const std::vector<std::uint8_t>* Data,
                                 std::uintptr_t Palette);

    // --- drawing, canvas, clipboard and printing (Qt) ---------------------------
    void Draw(QPainter& Painter, const TRect& Rect);
    // Exchange with the toolkit's own picture class.
    void AssignFromGraphic(const QImage& Source);
    void AssignToGraphic(QImage& Dest);
    TPGCanvas* GetCanvas();
    void CopyToClipboard();
    // Prints on the shared printer (a PDF file when no printer exists).
    void Print(bool ShowDialog, bool AutoOrientation, QWidget* Owner);
    void PrintOn(QPrinter& Printer, bool ShowDialog, bool AutoOrientation, QWidget* Owner);

    // --- operations implemented with the geometry, quantiser and filters -------
    void StretchFrom(TPixelGraphic& Source);
    void StretchRect(int DestX, int DestY, int DestWidth, int DestHeight, int SourceX,
                     int SourceY, int SourceWidth, int SourceHeight, TPixelGraphic& Source);
    void CopyRect(int DestX, int DestY, int AWidth, int AHeight, int SourceX, int SourceY,
                  TPixelGraphic& Source);
    void Rotate(bool Fit, TPixelGraphic& Source, Extended Angle);
    void FlipHorizontal();
    void FlipVertical();
    void FadeEdges(bool Elliptic, int Extent, TPixelGraphic& Source, TColor Color);
    void ReduceColors(TPixelGraphic& Source, int Colors, bool AddSystemColors);
    void ApplyFilter(TPGFilter& Filter, TPixelGraphic& Source);

    // Error diffusion used by the pixel-moving operations.
    void InitDither();
    void SwapDitherRows();
    void DitherPixel(int X, int Y, int R, int G, int B);
    void FreeDitherBuffers();

    // Dither work state, alive from InitDither to FreeDitherBuffers:
    // two error rows of (Width + 2) x 3 integers (scaled by 16) and the
    // error-limit table for errors -255..255 (index e + 255).
    std::vector<int> FDitherCurrentRow;
    std::vector<int> FDitherNextRow;
    std::vector<int> FDitherErrorTable;

private:
    friend class TPGCanvas;

    void DoFlush();
    void ReleaseCanvasHandle();
    void Allocate();
    void RebuildColorTable();
    void SetColorTableEntry(int Index);
    std::uint32_t NearestPaletteIndex(TColor Color) const;
    std::uint32_t CachedPaletteIndex(TColor Color);
    void SeedColorCache();
    void FillFirstRow(std::uint32_t Value);

    std::uint32_t FFillColor = 0;
    std::uint8_t FPixelFormat = pf24Bit;
    TPixelMemory FBits;
    std::uint32_t FColorTable[256] = {};
    std::unique_ptr<TPGCanvasBase> FCanvas;
    bool FDither = true;
    std::uint8_t FDitherErrorLimit = 32;
    bool FDitherErrorLimitAuto = true;
    bool FDitherErrorLimitSoft = true;
    bool FColorLookupCache = true;
    bool FPreviewLoad = false;
    int FLoadMinWidth = 0;
    int FLoadMinHeight = 0;
    int FHeight = 0;
    bool FIsGrayPalette = false;
    Extended FGamma;
    std::int64_t FImageSize = 0;
    int FStride = 0;
    TNotifyEvent FOnChange;
    TPGProgressEvent FOnProgress;
    TNotifyEvent FOnProgressEnd;
    TNotifyEvent FOnProgressStart;
    // Colour lookup: the one-entry cache and the 5-6-5 cell cache.
    std::unique_ptr<std::uint8_t[]> FCacheIndex;    // 65,536 cells
    std::unique_ptr<std::uint8_t[]> FCacheComputed; // 65,536 bits
    bool FCacheRebuild = true;
    TColor FLastColor = 0;
    bool FLastColorStale = true;
    std::uint32_t FLastIndex = 0;
    std::vector<TColor> FPalette;
    TPaletteIdent FPaletteType = pTrueColor;
    bool FRGBWeighting = true;
    bool FRotateInterpolation = true;
    TStretchMode FStretchMode = smPrecise;
    bool FTransparent = false;
    int FUpdateCount = 0;
    TPGWarningAction FReadWarningAction = pgwaOKCancelBox;
    TPGWarningAction FSaveColorResWarningAction = pgwaOKCancelBox;
    bool FFlushPending = false;
    int FWidth = 0;
};

// --- per-pixel access, inline so that loops pay no call ---------------------

inline std::uint8_t* TPixelGraphic::GetScanLine(int Y)
{
    Flush();
    if (!FBits || Y < 0 || Y >= FHeight)
        return nullptr;
    return FBits.get() + static_cast<std::int64_t>(FHeight - 1 - Y) * FStride;
}

inline std::uint32_t TPixelGraphic::GetPixel(int X, int Y)
{
    Flush();
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return FFillColor;
    const std::uint8_t* row = FBits.get() + static_cast<std::int64_t>(FHeight - 1 - Y) * FStride;
    switch (FPixelFormat) {
    case pf1Bit:
        return (row[X >> 3] >> (7 - (X & 7))) & 1u;
    case pf4Bit:
        return (X & 1) ? (row[X >> 1] & 0x0Fu) : (row[X >> 1] >> 4);
    case pf8Bit:
        return row[X];
    default: {
        const std::uint8_t* p = row + static_cast<std::int64_t>(X) * 3;
        return RGB(p[2], p[1], p[0]);
    }
    }
}

inline void TPixelGraphic::SetPixel(int X, int Y, std::uint32_t Value)
{
    Flush();
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return;
    std::uint8_t* row = FBits.get() + static_cast<std::int64_t>(FHeight - 1 - Y) * FStride;
    switch (FPixelFormat) {
    case pf1Bit: {
        const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (X & 7));
        if (Value == 1)
            row[X >> 3] |= mask;
        else
            row[X >> 3] &= static_cast<std::uint8_t>(~mask);
        break;
    }
    case pf4Bit: {
        std::uint8_t& b = row[X >> 1];
        if (X & 1)
            b = static_cast<std::uint8_t>((b & 0xF0u) | (Value & 0x0Fu));
        else
            b = static_cast<std::uint8_t>((b & 0x0Fu) | ((Value & 0x0Fu) << 4));
        break;
    }
    case pf8Bit:
        row[X] = static_cast<std::uint8_t>(Value);
        break;
    default: {
        std::uint8_t* p = row + static_cast<std::int64_t>(X) * 3;
        p[0] = static_cast<std::uint8_t>(GetBValue(Value));
        p[1] = static_cast<std::uint8_t>(GetGValue(Value));
        p[2] = static_cast<std::uint8_t>(GetRValue(Value));
        break;
    }
    }
}

} // namespace lumeno
