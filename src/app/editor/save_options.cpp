#include "app/editor/save_options.h"

#include "imagelib/pg_globals.h"

namespace lumeno {

TSaveOptions ReadSaveOptions()
{
    TSaveOptions o;
    o.JPEGWriteMethod = JPEGWriteDCTMethod;
    o.JPEGQuality = JPEGQuality;
    o.JPEGProgressive = JPEGProgressive;
    o.JPEGReadMethod = JPEGReadDCTMethod;
    o.PxMBinary = PxMBinary;
    o.TIFFCompression = TIFFCompression;
    o.TIFFByteOrder = TIFFByteOrder;
    o.TIFFWriteCMYK = TIFFWriteCMYK;
    o.TIFFWhiteIsZero = TIFFWhiteIsZero;
    o.TIFFResolutionUnit = TIFFResolutionUnit;
    o.ResHorizN = TIFFXResolution.Numerator;
    o.ResHorizD = TIFFXResolution.Denominator;
    o.ResVertN = TIFFYResolution.Numerator;
    o.ResVertD = TIFFYResolution.Denominator;
    o.WriteGamma = PNGWriteGamma;
    o.ScreenGamma = static_cast<double>(DefaultGamma);
    o.GammaCorrectionOnRead = GammaCorrectOnLoad;
    return o;
}

void StoreSaveOptions(const TSaveOptions& o)
{
    JPEGWriteDCTMethod = o.JPEGWriteMethod;
    JPEGQuality = static_cast<std::uint8_t>(o.JPEGQuality);
    JPEGProgressive = o.JPEGProgressive;
    JPEGReadDCTMethod = o.JPEGReadMethod;
    PxMBinary = o.PxMBinary;
    TIFFCompression = o.TIFFCompression;
    TIFFByteOrder = o.TIFFByteOrder;
    TIFFWriteCMYK = o.TIFFWriteCMYK;
    TIFFWhiteIsZero = o.TIFFWhiteIsZero;
    TIFFResolutionUnit = o.TIFFResolutionUnit;
    TIFFXResolution = {o.ResHorizN, o.ResHorizD};
    TIFFYResolution = {o.ResVertN, o.ResVertD};
    PNGWriteGamma = o.WriteGamma;
    DefaultGamma = o.ScreenGamma;
    GammaCorrectOnLoad = o.GammaCorrectionOnRead;
}

} // namespace lumeno
