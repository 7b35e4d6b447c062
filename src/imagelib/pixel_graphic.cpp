#include "imagelib/pixel_graphic.h"

#include "imagelib/pg_canvas_base.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pg_messages.h"

#include <cstring>

namespace lumeno {

namespace {

// Restores the update count also when an operation raises.
class TUpdateGuard {
public:
    explicit TUpdateGuard(TPixelGraphic& g) : g_(g) { g_.BeginUpdate(); }
    ~TUpdateGuard() { g_.EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    TPixelGraphic& g_;
};

constexpr int BitsPerPixelOf(std::uint8_t format)
{
    constexpr int bits[4] = {1, 4, 8, 24};
    return bits[format];
}

constexpr int ColorCountOf(std::uint8_t format)
{
    constexpr int counts[4] = {2, 16, 256, 0};
    return counts[format];
}

// 0x00RRGGBB, the layout of a DIB colour-table entry read as a 32-bit word.
constexpr std::uint32_t ColorTableEntry(TColor c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

bool IsGrey(TColor c)
{
    return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
}

// Cell of the 5-6-5 colour cache.
constexpr int CacheCell(int r5, int g6, int b5)
{
    return r5 * 2048 + g6 * 32 + b5;
}

} // namespace

std::int64_t ImageSizeLimit = MaxImageSize;

TPixelGraphic::TPixelGraphic() : FGamma(DefaultGamma) {}

TPixelGraphic::~TPixelGraphic()
{
    if (FCanvas) {
        Flush();
        FCanvas->ReleaseHandle();
    }
}

// --- geometry and format ------------------------------------------------------

void TPixelGraphic::SetDimensions(int AWidth, int AHeight, std::uint8_t APixelFormat)
{
    if (AWidth < 0)
        throw EPGInvalidSize(GetPGLangStr(22));
    if (AHeight < 0)
        throw EPGInvalidSize(GetPGLangStr(21));
    if (APixelFormat > pf24Bit)
        throw EPixelGraphic(GetPGLangStrS1(20, "PixelFormat"));
    if (AWidth == FWidth && AHeight == FHeight && APixelFormat == FPixelFormat) {
        Clear();
        return;
    }
    Flush();
    ReleaseCanvasHandle();
    FBits.reset();
    FWidth = AWidth;
    FHeight = AHeight;
    FPixelFormat = APixelFormat;
    const std::int64_t stride =
        ((static_cast<std::int64_t>(BitsPerPixelOf(APixelFormat)) * AWidth + 31) / 32) * 4;
    FImageSize = stride * AHeight;
    FStride = static_cast<int>(stride);
    if (FImageSize == 0) {
        Changed(this);
        return;
    }
    const int colors = ColorCountOf(APixelFormat);
    if (GetPaletteSize() > colors)
        SetPaletteSize(colors);
    if (APixelFormat == pf24Bit && FPaletteType != pTrueColor) {
        FPaletteType = pTrueColor;
        FLastColorStale = true;
    }
    RebuildColorTable();
    Allocate();
    Changed(this);
}

void TPixelGraphic::Allocate()
{
    if (FImageSize < ImageSizeLimit)
        FBits = AllocatePixelMemory(static_cast<std::size_t>(FImageSize));
    if (!FBits) {
        // Never keep a size without pixels behind it.
        FWidth = FHeight = FStride = 0;
        FImageSize = 0;
        throw EPixelGraphic(GetPGLangStrS1(31, "CreateDIBSection"));
    }
}

void TPixelGraphic::SetWidth(int Value)
{
    if (Value != FWidth)
        SetDimensions(Value, FHeight, FPixelFormat);
}

void TPixelGraphic::SetHeight(int Value)
{
    if (Value != FHeight)
        SetDimensions(FWidth, Value, FPixelFormat);
}

void TPixelGraphic::SetPixelFormat(std::uint8_t Value)
{
    if (Value != FPixelFormat)
        SetDimensions(FWidth, FHeight, Value);
}

int TPixelGraphic::GetBitsPerPixel() const
{
    return BitsPerPixelOf(FPixelFormat);
}

int TPixelGraphic::GetColorCount() const
{
    return ColorCountOf(FPixelFormat);
}

std::uint8_t* TPixelGraphic::GetBits()
{
    Flush();
    return FBits.get();
}

std::uint8_t TPixelGraphic::BitCountToPixelFormat(int BitCount)
{
    switch (BitCount) {
    case 1:
        return pf1Bit;
    case 4:
        return pf4Bit;
    case 8:
        return pf8Bit;
    case 24:
        return pf24Bit;
    default:
        throw EPGInvalidBitCountNum(GetPGLangStrS1(20, "BitCountNum"));
    }
}

int TPixelGraphic::GetColorResolution() const
{
    switch (FPixelFormat) {
    case pf1Bit:
        return FPaletteType == pBlackWhite ? 0 : 1;
    case pf4Bit:
        return FPaletteType == pGray16 ? 2 : FPaletteType == pSys16 ? 3 : 4;
    case pf8Bit:
        return FPaletteType == pGray256 ? 5 : 6;
    default:
        return 7;
    }
}

std::string TPixelGraphic::ColorResolutionText(int ColorResolution)
{
    return GetPGLangStr(8 + ColorResolution);
}

// --- pixels -------------------------------------------------------------------

TColor TPixelGraphic::GetPixelColor(int X, int Y)
{
    const std::uint32_t value = GetPixel(X, Y);
    if (FPixelFormat == pf24Bit)
        return value;
    // A value beyond the palette has no colour of its own.
    return value < FPalette.size() ? FPalette[value] : clBlack;
}

void TPixelGraphic::SetPixelColor(int X, int Y, TColor Color)
{
    SetPixel(X, Y, FPixelFormat == pf24Bit ? Color : ColorToIndex(Color));
}

void TPixelGraphic::Clear()
{
    if (!FBits)
        return;
    Flush();
    if (FFillColor == 0) {
        std::memset(FBits.get(), 0, static_cast<std::size_t>(FImageSize));
    } else {
        FillFirstRow(FFillColor);
        const std::uint8_t* first = GetScanLine(0);
        for (int y = 1; y < FHeight; ++y)
            std::memcpy(GetScanLine(y), first, static_cast<std::size_t>(FStride));
    }
    Changed(this);
}

void TPixelGraphic::FillFirstRow(std::uint32_t Value)
{
    std::uint8_t* row = GetScanLine(0);
    if (FPixelFormat == pf8Bit) {
        std::memset(row, static_cast<int>(Value & 0xFF), static_cast<std::size_t>(FWidth));
        return;
    }
    for (int x = 0; x < FWidth; ++x)
        SetPixel(x, 0, Value);
}

// --- settings -----------------------------------------------------------------

TColor TPixelGraphic::GetFillColor() const
{
    if (FPixelFormat == pf24Bit)
        return FFillColor;
    return FFillColor < FPalette.size() ? FPalette[FFillColor] : clBlack;
}

void TPixelGraphic::SetFillColor(TColor Color)
{
    FFillColor = FPixelFormat == pf24Bit ? Color : ColorToIndex(Color);
}

// --- events and change notification ------------------------------------------

void TPixelGraphic::ProgressStart()
{
    if (FOnProgressStart)
        FOnProgressStart(this);
}

bool TPixelGraphic::Progress(int Step, int Max)
{
    bool abort = false;
    if (FOnProgress)
        FOnProgress(this, Step, Max, abort);
    return abort;
}

void TPixelGraphic::ProgressEnd()
{
    if (FOnProgressEnd)
        FOnProgressEnd(this);
}

void TPixelGraphic::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed(this);
}

void TPixelGraphic::Changed(TObject* Sender)
{
    if (FUpdateCount == 0 && FOnChange)
        FOnChange(Sender);
}

void TPixelGraphic::DoFlush()
{
    FFlushPending = false;
    if (FCanvas)
        FCanvas->FlushToGraphic();
}

void TPixelGraphic::ReleaseCanvasHandle()
{
    if (FCanvas)
        FCanvas->ReleaseHandle();
}

// --- palette ------------------------------------------------------------------

void TPixelGraphic::RebuildColorTable()
{
    for (int i = 0; i < 256; ++i)
        SetColorTableEntry(i);
}

void TPixelGraphic::SetColorTableEntry(int Index)
{
    const int size = GetPaletteSize();
    TColor c = clBlack;
    if (Index < size)
        c = FPalette[static_cast<std::size_t>(Index)];
    else if (size > 0)
        c = FPalette[0];
    FColorTable[Index] = ColorTableEntry(c);
}

void TPixelGraphic::SetPaletteSize(int Count)
{
    if (Count < 0 || Count > 256)
        throw EPixelGraphic(GetPGLangStrS1(20, "PaletteSize"));
    if (Count != GetPaletteSize()) {
        Flush();
        ReleaseCanvasHandle();
        FPalette.resize(static_cast<std::size_t>(Count), clBlack);
        FPaletteType = Count > 0 ? pUnknown : pNone;
        FLastColorStale = true;
        RebuildColorTable();
    }
    FreeColorCache();
}

TColor TPixelGraphic::GetPaletteEntry(int Index) const
{
    if (FPaletteType == pTrueColor)
        return static_cast<TColor>(Index);
    if (Index < 0 || Index >= GetPaletteSize())
        throw EPGInvalidPaletteIndex(GetPGLangStr(3));
    return FPalette[static_cast<std::size_t>(Index)];
}

void TPixelGraphic::SetPaletteEntry(int Index, TColor Color)
{
    if (FPaletteType == pNone || FPaletteType == pTrueColor)
        throw EPGNoPalette(GetPGLangStr(2));
    if (Index < 0 || Index >= GetPaletteSize())
        throw EPGInvalidPaletteIndex(GetPGLangStr(3));
    Flush();
    ReleaseCanvasHandle();
    FPalette[static_cast<std::size_t>(Index)] = Color & 0xFFFFFF;
    if (Index == 0)
        RebuildColorTable();
    else
        SetColorTableEntry(Index);
    FPaletteType = pUnknown;
    FLastColorStale = true;
    FreeColorCache();
}

void TPixelGraphic::SetPaletteType(TPaletteIdent Ident)
{
    if (Ident == FPaletteType)
        return;
    if (Ident > pSpecial252)
        throw EPixelGraphic(GetPGLangStrS1(20, "PaletteType"));
    if (Ident == pNone || Ident == pTrueColor) {
        SetPaletteSize(0);
    } else if (Ident != pUnknown) {
        const int n = StandardPaletteSize(Ident);
        SetPaletteSize(n);
        Flush();
        ReleaseCanvasHandle();
        for (int i = 0; i < n; ++i)
            FPalette[static_cast<std::size_t>(i)] = StandardPaletteEntry(Ident, i);
        RebuildColorTable();
    }
    FPaletteType = Ident;
    FLastColorStale = true;
    FreeColorCache();
}

void TPixelGraphic::AssignPalette(const TPixelGraphic& Source)
{
    const int n = Source.GetPaletteSize();
    SetPaletteSize(n);
    if (n > 0 && FPaletteType != pUnknown)
        SetPaletteType(pUnknown);
    for (int i = 0; i < n; ++i)
        SetPaletteEntry(i, Source.FPalette[static_cast<std::size_t>(i)]);
    DetectPaletteType();
}

void TPixelGraphic::DetectPaletteType()
{
    const int size = GetPaletteSize();
    bool grey = size > 0 && FPixelFormat != pf24Bit;
    for (TColor c : FPalette)
        grey = grey && IsGrey(c);
    FIsGrayPalette = grey;

    static const TPaletteIdent order[] = {pBlackWhite, pGray4, pSysGray4,   pGray16,     pGray236,
                                          pGray256,    pSys16, pSpecial216, pSpecial125, pSpecial252};
    TPaletteIdent found = FPixelFormat == pf24Bit && size == 0 ? pTrueColor : size == 0 ? pNone : pUnknown;
    for (TPaletteIdent p : order) {
        if (StandardPaletteSize(p) != size)
            continue;
        bool same = true;
        for (int i = 0; same && i < size; ++i)
            same = FPalette[static_cast<std::size_t>(i)] == StandardPaletteEntry(p, i);
        if (same) {
            found = p;
            break;
        }
    }
    if (found != FPaletteType) {
        FPaletteType = found;
        FLastColorStale = true;
    }
}

void TPixelGraphic::FreeColorCache()
{
    FCacheIndex.reset();
    FCacheComputed.reset();
    FCacheRebuild = true;
}

void TPixelGraphic::SetColorLookupCache(bool Value)
{
    FLastColorStale = true;
    if (Value != FColorLookupCache) {
        FColorLookupCache = Value;
        Changed(this);
    }
}

void TPixelGraphic::SetRGBWeighting(bool Value)
{
    FRGBWeighting = Value;
    FLastColorStale = true;
}

std::uint32_t TPixelGraphic::ColorToIndex(TColor Color)
{
    Color &= 0xFFFFFF;
    if (!FLastColorStale && Color == FLastColor)
        return FLastIndex;
    std::uint32_t index;
    switch (FPaletteType) {
    case pNone:
        throw EPGNoPalette(GetPGLangStr(2));
    case pTrueColor:
        index = Color;
        break;
    case pUnknown:
        if (FPalette.empty())
            throw EPGNoPalette(GetPGLangStr(2));
        index = FColorLookupCache ? CachedPaletteIndex(Color) : NearestPaletteIndex(Color);
        break;
    default:
        index = static_cast<std::uint32_t>(StandardColorToIndex(FPaletteType, Color, FRGBWeighting));
        break;
    }
    FLastColorStale = false;
    FLastColor = Color;
    FLastIndex = index;
    return index;
}

std::uint32_t TPixelGraphic::NearestPaletteIndex(TColor Color) const
{
    std::uint32_t best = 0;
    int bestDist = ColorDistance(Color, FPalette[0]);
    for (std::size_t i = 1; i < FPalette.size() && bestDist > 0; ++i) {
        const int d = ColorDistance(Color, FPalette[i]);
        if (d < bestDist) {
            bestDist = d;
            best = static_cast<std::uint32_t>(i);
        }
    }
    return best;
}

std::uint32_t TPixelGraphic::CachedPaletteIndex(TColor Color)
{
    if (FCacheRebuild)
        SeedColorCache();
    const int cell = CacheCell(static_cast<int>(GetRValue(Color)) / 8, static_cast<int>(GetGValue(Color)) / 4,
                               static_cast<int>(GetBValue(Color)) / 8);
    std::uint8_t& flags = FCacheComputed[static_cast<std::size_t>(cell >> 3)];
    const std::uint8_t bit = static_cast<std::uint8_t>(1u << (cell & 7));
    if (!(flags & bit)) {
        FCacheIndex[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(NearestPaletteIndex(Color));
        flags |= bit;
    }
    return FCacheIndex[static_cast<std::size_t>(cell)];
}

// Each entry claims the not yet claimed cells on growing cube shells around
// its own cell, so colours near an entry need no search at all.
void TPixelGraphic::SeedColorCache()
{
    FCacheIndex.reset(new std::uint8_t[65536]());
    FCacheComputed.reset(new std::uint8_t[8192]());
    for (int d = 0; d <= 4; ++d) {
        for (std::size_t i = 0; i < FPalette.size(); ++i) {
            const int r0 = static_cast<int>(GetRValue(FPalette[i])) / 8;
            const int g0 = static_cast<int>(GetGValue(FPalette[i])) / 4;
            const int b0 = static_cast<int>(GetBValue(FPalette[i])) / 8;
            for (int r = r0 - d; r <= r0 + d; ++r)
                for (int g = g0 - d; g <= g0 + d; ++g)
                    for (int b = b0 - d; b <= b0 + d; ++b) {
                        const bool onSurface = r == r0 - d || r == r0 + d || g == g0 - d || g == g0 + d ||
                                               b == b0 - d || b == b0 + d;
                        if (!onSurface || r < 0 || r > 31 || g < 0 || g > 63 || b < 0 || b > 31)
                            continue;
                        const int cell = CacheCell(r, g, b);
                        std::uint8_t& flags = FCacheComputed[static_cast<std::size_t>(cell >> 3)];
                        const std::uint8_t bit = static_cast<std::uint8_t>(1u << (cell & 7));
                        if (!(flags & bit)) {
                            FCacheIndex[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(i);
                            flags |= bit;
                        }
                    }
        }
    }
    FCacheRebuild = false;
}

// --- copying ------------------------------------------------------------------

void TPixelGraphic::Assign(TPixelGraphic* Source)
{
    if (Source == this)
        return;
    TUpdateGuard update(*this);
    Flush();
    if (!Source) {
        SetDimensions(0, 0, pf24Bit);
        SetPaletteType(pTrueColor);
        return;
    }
    Source->Flush();
    SetDimensions(Source->FWidth, Source->FHeight, Source->FPixelFormat);
    if (FImageSize > 0)
        std::memcpy(FBits.get(), Source->FBits.get(), static_cast<std::size_t>(FImageSize));
    SetPaletteType(Source->FPaletteType);
    SetPaletteSize(Source->GetPaletteSize());
    FFillColor = Source->FFillColor;
    FDither = Source->FDither;
    FDitherErrorLimit = Source->FDitherErrorLimit;
    FDitherErrorLimitAuto = Source->FDitherErrorLimitAuto;
    FDitherErrorLimitSoft = Source->FDitherErrorLimitSoft;
    SetColorLookupCache(Source->FColorLookupCache);
    FGamma = Source->FGamma;
    SetRGBWeighting(Source->FRGBWeighting);
    FRotateInterpolation = Source->FRotateInterpolation;
    FStretchMode = Source->FStretchMode;
    FReadWarningAction = Source->FReadWarningAction;
    FTransparent = Source->FTransparent;
    FSaveColorResWarningAction = Source->FSaveColorResWarningAction;
    FPalette = Source->FPalette;
    RebuildColorTable();
    FreeColorCache();
    FLastColorStale = true;
    DetectPaletteType();
}

int TPixelGraphic::GetDIBPaletteEntries() const
{
    return MinInt(GetPaletteSize(), GetColorCount());
}

std::int64_t TPixelGraphic::GetDIBSize() const
{
    return 58 + 4 * static_cast<std::int64_t>(GetDIBPaletteEntries()) + FImageSize;
}

} // namespace lumeno
