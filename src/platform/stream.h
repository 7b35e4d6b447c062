#pragma once
// Byte streams in the shape the image library expects: a stream reads,
// writes and seeks with 64-bit positions; ReadBuffer/WriteBuffer raise on a
// short transfer.

#include "platform/types.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lumeno {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Returns the number of bytes transferred (0 at the end).
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t GetSize();
    virtual void SetSize(std::int64_t newSize) = 0;

    std::int64_t GetPosition() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
    std::int64_t Remaining() { return GetSize() - GetPosition(); }

    // Raise EReadError / EWriteError unless exactly count bytes move.
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);

    // Copies count bytes from source at its position; count 0 copies the
    // whole source from its beginning. Returns the bytes copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);

protected:
    // Raises the EWriteError of a write that moved fewer bytes than asked.
    [[noreturn]] virtual void RaiseWriteError();
};

// File open modes.
enum class TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate };

// A buffered file stream.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, TFileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t GetSize() override;
    void SetSize(std::int64_t newSize) override;

    const std::string& FileName() const { return fileName_; }
    // Flushes buffered output and closes; raises EWriteError when the data
    // could not be written. The destructor closes silently.
    void Close();

protected:
    TFileStream() = default;
    void OpenFd(int fd, const std::string& fileName, bool writable);
    // Flushes buffered output to the disk; raises EWriteError.
    void Sync();
    // Names the file and the system's reason (a full disk, a size limit).
    [[noreturn]] void RaiseWriteError() override;

private:
    std::FILE* file_ = nullptr;
    std::string fileName_;
    std::vector<char> buffer_;
    int writeError_ = 0;
};

// Writes a file by way of a temporary file beside it (beside the file a
// symbolic link leads to; in a sticky folder writable by all, only links of
// the user or of the folder's owner are followed); Commit renames it over
// that file, keeping an existing file's permissions, owner and group. The
// temporary file is readable by the user alone until its content is
// complete. A file that a rename would
// change in another way (several hard links, a folder that cannot take the
// temporary file, an owner the process cannot give) is rewritten in place
// at Commit from the complete new content, its old bytes put back when that
// fails. A file the user may not write, or a loop of links, is refused at
// once. Errors name the target as given. Without Commit the old file stays
// untouched and the temporary file is removed.
class TSafeFileStream : public TFileStream {
public:
    explicit TSafeFileStream(const std::string& target);
    ~TSafeFileStream() override;

    void Commit();
    const std::string& Target() const { return target_; }

private:
    void CreateTempBeside();
    bool KeepOwner(uid_t owner, gid_t group);
    void DropTemp();

    std::string target_;
    std::string resolved_;
    std::string temp_;
    int contentFd_ = -1;
    bool inPlace_ = false;
    bool committed_ = false;
};

// A growable stream in memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
    TMemoryStream(const void* data, std::int64_t size);

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t GetSize() override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t newSize) override;

    std::uint8_t* Memory() { return data_.data(); }
    const std::vector<std::uint8_t>& Data() const { return data_; }
    void Clear();
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

private:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

} // namespace lumeno
