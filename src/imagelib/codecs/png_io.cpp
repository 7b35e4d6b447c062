#include "imagelib/codecs/png_io.h"

#include "imagelib/pg_messages.h"
#include "platform/stream.h"

namespace lumeno {

namespace {

constexpr int msgFailed = 31;

TPNGContext& Context(png_const_structrp png)
{
    return *static_cast<TPNGContext*>(png_get_error_ptr(png));
}

void ErrorRoutine(png_structp png, png_const_charp message)
{
    TLibraryGuard& guard = Context(png).Guard;
    guard.KeepError(PNGErrors, message);
    guard.Jump();
}

void WarningRoutine(png_structp png, png_const_charp message)
{
    TPNGContext& context = Context(png);
    if (!context.Guard.Capture([&] {
            HandleCodecWarning(context.WarningAction, PNGErrors, "PNG " + GetPGLangStr(msgWarning), message);
        }))
        context.Guard.Jump();
}

TPNGContext& IOContext(png_structp png)
{
    return *static_cast<TPNGContext*>(png_get_io_ptr(png));
}

void ReadData(png_structp png, png_bytep data, png_size_t length)
{
    TPNGContext& context = IOContext(png);
    if (!context.Guard.Capture([&] {
            if (context.Stream->Read(data, static_cast<std::int64_t>(length)) !=
                static_cast<std::int64_t>(length))
                PNGErrors.RaiseMessage(msgUnexpectedEnd);
        }))
        context.Guard.Jump();
}

void WriteData(png_structp png, png_bytep data, png_size_t length)
{
    TPNGContext& context = IOContext(png);
    if (!context.Guard.Capture([&] { context.Stream->WriteBuffer(data, static_cast<std::int64_t>(length)); }))
        context.Guard.Jump();
}

void FlushData(png_structp) {}

void Created(void* structure, const char* name)
{
    if (!structure)
        PNGErrors.RaiseMessage(msgFailed, name);
}

} // namespace

png_structp CreatePNGReadStruct(TPNGContext& Context)
{
    png_structp png = nullptr;
    Context.Guard.Run(
        [&] { png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Context, ErrorRoutine, WarningRoutine); });
    Created(png, "png_create_read_struct");
    return png;
}

png_structp CreatePNGWriteStruct(TPNGContext& Context)
{
    png_structp png = nullptr;
    Context.Guard.Run([&] {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &Context, ErrorRoutine, WarningRoutine);
    });
    Created(png, "png_create_write_struct");
    return png;
}

png_infop CreatePNGInfoStruct(TPNGContext& Context, png_structp Png)
{
    png_infop info = nullptr;
    Context.Guard.Run([&] { info = png_create_info_struct(Png); });
    Created(info, "png_create_info_struct");
    return info;
}

void AttachPNGReader(png_structp Png, TPNGContext& Context)
{
    png_set_read_fn(Png, &Context, ReadData);
}

void AttachPNGWriter(png_structp Png, TPNGContext& Context)
{
    png_set_write_fn(Png, &Context, WriteData, FlushData);
}

} // namespace lumeno
