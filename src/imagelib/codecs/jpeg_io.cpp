#include "imagelib/codecs/jpeg_io.h"

#include "imagelib/pg_messages.h"
#include "platform/stream.h"

#include <jerror.h>

namespace lumeno {

namespace {

TJPEGErrorManager& Manager(j_common_ptr info)
{
    return *reinterpret_cast<TJPEGErrorManager*>(info->err);
}

void ErrorExit(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    TLibraryGuard& guard = Manager(info).Guard;
    guard.KeepError(JPGErrors, text);
    guard.Jump();
}

void OutputWarning(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    TJPEGErrorManager& manager = Manager(info);
    if (!manager.Guard.Capture([&] {
            HandleCodecWarning(manager.WarningAction, JPGErrors, "JPG " + GetPGLangStr(msgWarning), text);
        }))
        manager.Guard.Jump();
}

TJPEGStreamSource& Source(j_decompress_ptr info)
{
    return *reinterpret_cast<TJPEGStreamSource*>(info->src);
}

void InitSource(j_decompress_ptr info)
{
    Source(info).StartOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr info)
{
    TJPEGStreamSource& source = Source(info);
    std::int64_t count = 0;
    TLibraryGuard& guard = JPEGGuard(reinterpret_cast<j_common_ptr>(info));
    if (!guard.Capture([&] { count = source.Stream->Read(source.Buffer.data(), JPEGStreamBufferSize); }))
        guard.Jump();
    if (count <= 0) {
        if (source.StartOfFile)
            ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        source.Buffer[0] = 0xFF;
        source.Buffer[1] = JPEG_EOI;
        count = 2;
    }
    source.Pub.next_input_byte = source.Buffer.data();
    source.Pub.bytes_in_buffer = static_cast<std::size_t>(count);
    source.StartOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr& pub = Source(info).Pub;
    auto remaining = static_cast<std::size_t>(count);
    while (remaining > pub.bytes_in_buffer) {
        remaining -= pub.bytes_in_buffer;
        FillInputBuffer(info);
    }
    pub.next_input_byte += remaining;
    pub.bytes_in_buffer -= remaining;
}

void TermSource(j_decompress_ptr) {}

TJPEGStreamDestination& Destination(j_compress_ptr info)
{
    return *reinterpret_cast<TJPEGStreamDestination*>(info->dest);
}

void WriteOut(j_compress_ptr info, std::size_t count)
{
    TJPEGStreamDestination& destination = Destination(info);
    TLibraryGuard& guard = JPEGGuard(reinterpret_cast<j_common_ptr>(info));
    if (!guard.Capture([&] {
            destination.Stream->WriteBuffer(destination.Buffer.data(), static_cast<std::int64_t>(count));
        }))
        guard.Jump();
    destination.Pub.next_output_byte = destination.Buffer.data();
    destination.Pub.free_in_buffer = JPEGStreamBufferSize;
}

void InitDestination(j_compress_ptr info)
{
    Destination(info).Pub.next_output_byte = Destination(info).Buffer.data();
    Destination(info).Pub.free_in_buffer = JPEGStreamBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr info)
{
    WriteOut(info, JPEGStreamBufferSize);
    return TRUE;
}

void TermDestination(j_compress_ptr info)
{
    WriteOut(info, JPEGStreamBufferSize - Destination(info).Pub.free_in_buffer);
}

} // namespace

void SetupJPEGErrorManager(jpeg_common_struct& Info, TJPEGErrorManager& Manager,
                           TPGWarningAction WarningAction)
{
    Info.err = jpeg_std_error(&Manager.Pub);
    Manager.Pub.error_exit = ErrorExit;
    Manager.Pub.output_message = OutputWarning;
    Manager.WarningAction = WarningAction;
}

TLibraryGuard& JPEGGuard(j_common_ptr Info)
{
    return Manager(Info).Guard;
}

void AttachJPEGSource(jpeg_decompress_struct& Info, TJPEGStreamSource& Source, TStream& Stream)
{
    Source.Stream = &Stream;
    Source.Pub.init_source = InitSource;
    Source.Pub.fill_input_buffer = FillInputBuffer;
    Source.Pub.skip_input_data = SkipInputData;
    Source.Pub.resync_to_restart = jpeg_resync_to_restart;
    Source.Pub.term_source = TermSource;
    Source.Pub.bytes_in_buffer = 0;
    Source.Pub.next_input_byte = nullptr;
    Info.src = &Source.Pub;
}

void AttachJPEGDestination(jpeg_compress_struct& Info, TJPEGStreamDestination& Destination, TStream& Stream)
{
    Destination.Stream = &Stream;
    Destination.Pub.init_destination = InitDestination;
    Destination.Pub.empty_output_buffer = EmptyOutputBuffer;
    Destination.Pub.term_destination = TermDestination;
    Info.dest = &Destination.Pub;
}

} // namespace lumeno
