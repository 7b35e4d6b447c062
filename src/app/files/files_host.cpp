#include "app/files/files_host.h"

namespace lumeno {

namespace {
TFilesHost* host = nullptr;
}

TFilesHost* FilesHost() { return host; }
void SetFilesHost(TFilesHost* Host) { host = Host; }

} // namespace lumeno
