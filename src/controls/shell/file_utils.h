#pragma once
// Copying and moving single files, and a file's size, date and DOS
// attributes. Attributes map onto the file system: read-only = no owner write
// bit, hidden = a name starting with '.', directory = a folder; archive and
// system live in the extended attribute "user.lumeno.dosattr" where the file
// system has them.

#include "platform/exception.h"
#include "platform/types.h"

#include <cstdint>
#include <string>
#include <sys/stat.h>

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(EFCantMove, EStreamError);

constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

// Copies the contents into a new destination file, replacing an existing
// one only once the copy is complete. Raises EFOpenError for an unreadable
// source, EFCreateError when the destination cannot be created (also when it
// is the source itself, read-only, or not a plain file), and EReadError or
// EWriteError when the data does not get through; no partial copy remains.
// Both paths must be absolute.
void CopyFileTo(const std::string& source, const std::string& destination);

// Renames the file; across file systems copies it, makes sure the copy is
// complete and on disk, and only then deletes the source. Raises EFCantMove
// when the file cannot be moved (a read-only file is not moved across file
// systems; a file is not moved onto itself, nor by a relative path).
void MoveFileTo(const std::string& source, const std::string& destination);

// The size in bytes; 0 for a folder; -1 when there is no such file.
std::int64_t GetFileSizeByName(const std::string& name);

// The last-write time in local time, whole seconds; 0 when there is no such
// file.
TDateTime GetFileDateTime(const std::string& name);

// The attribute word, or -1 when there is no such file.
int FileGetAttr(const std::string& name);
// The attribute word of a file whose status was just read.
int FileAttrOf(const std::string& name, const struct stat& st);
// Sets read-only, archive and system; hidden and directory follow from the
// name and the kind of entry and are left alone. False when the file could
// not be changed or the name is relative.
bool FileSetAttr(const std::string& name, int attributes);

// True when the attribute word holds every bit of attributes. A missing
// file's word is -1, so it holds them all.
bool HasAttr(const std::string& name, std::uint16_t attributes);

} // namespace lumeno
