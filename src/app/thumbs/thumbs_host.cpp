#include "app/thumbs/thumbs_host.h"

namespace lumeno {

namespace {
TThumbsHost* host = nullptr;
}

TThumbsHost* ThumbsHost() { return host; }
void SetThumbsHost(TThumbsHost* Host) { host = Host; }

std::string IncludeTrailingSlash(const std::string& Path)
{
    if (!Path.empty() && Path.back() == '/')
        return Path;
    return Path + "/";
}

} // namespace lumeno
