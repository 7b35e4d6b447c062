#include "platform/qt/shell/trash.h"

#include "platform/absolute_path.h"

#include <gio/gio.h>

#include <memory>

namespace lumeno {

namespace {

struct TObjectUnref {
    void operator()(gpointer Object) const { g_object_unref(Object); }
};

} // namespace

bool MoveFileToTrash(const std::string& path, std::string* reason)
{
    if (!IsAbsolutePath(path)) {
        if (reason)
            *reason = "Not an absolute path";
        return false;
    }
    // GIO's local trash gives up on a name or an info folder it cannot use,
    // where Qt 6.4's moveToTrash tries new names forever. The local file
    // system, not GVfs: no daemon is asked.
    const std::unique_ptr<GFile, TObjectUnref> file(g_vfs_get_file_for_path(g_vfs_get_local(), path.c_str()));
    GError* error = nullptr;
    const bool trashed = g_file_trash(file.get(), nullptr, &error);
    if (error && reason)
        *reason = error->message;
    g_clear_error(&error);
    return trashed;
}

} // namespace lumeno
