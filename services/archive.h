// Zip archives through minizip (deflate at zlib's default level, no password,
// no comment): adding whole files to an archive being written, and finding
// and reading one entry by its file name. Window-free: failures come back as
// codes and reasons for the caller to show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

// The archive to write cannot be created, written or closed.
inline constexpr int kArchiveOpenError = -18;

// The file error number for a system error (errno): 53 "File not found",
// 61 "Disk full", 70 "Permission denied", 76 "Path not found", ...; 57
// "Device I/O error" for anything without a closer number.
int FileErrorCode(int errnoValue);
// The fixed English text of a file error number ("" for other numbers).
std::string FileErrorText(int code);

// Adds filePath as one entry of the archive at archivePath and returns 0, or
// an error code: kArchiveOpenError when the archive cannot be opened or
// written, a file error number when the file cannot be opened or read.
//
// The first call opens the archive (it is written under a temporary name
// beside archivePath); later calls add to the same archive, whatever
// archivePath they give, until a call with an empty filePath closes it. The
// closing call renames the finished archive to its name (replacing a file
// there) and returns 0, or the error when closing or renaming failed; after
// any failed addition it discards the temporary file instead, so no half
// archive is ever left under the chosen name.
//
// An entry's name is filePath exactly as given; its time is the file's
// last-write time in local time; the content is copied in blocks of 32768
// bytes. Before the closing call renames the archive, every entry is read
// back from it: its size and checksum must be those of the bytes written
// (an archive that does not read back is discarded as a write failure).
int AddFileToArchive(const std::string& filePath, const std::string& archivePath);
// Reads n bytes at offset into `into`; false when they cannot be read.
using ByteSource = std::function<bool(uint64_t offset, char* into, size_t n)>;
// The same for an entry named entryName and dated `modified` whose `size`
// bytes come from source (a file read through another handle than its
// path); 57 "Device I/O error" when the source fails.
int AddToArchive(const ByteSource& source, uint64_t size, const std::string& entryName,
                 time_t modified, const std::string& archivePath);
// The system's words for the last failure of AddFileToArchive, naming the
// path concerned ("" after a success).
std::string ArchiveFailureReason();

// The file name part of an entry name: what follows the last "/" or "\" (so
// entries written with either separator are found).
std::string EntryFileName(const std::string& entryName);

// Receives the content of an entry, block by block; returns false to stop
// (when writing the block failed).
using ChunkSink = std::function<bool(const char* data, size_t size)>;

struct EntryRead {
    enum class Status {
        Copied,      // the entry was read whole, its checksum matched
        NotAZip,     // the archive cannot be opened or is not a zip archive
        NoEntry,     // no file entry has that file name
        Damaged,     // the entry cannot be read or its checksum does not match
        SinkFailed,  // the sink refused a block
        Refused,     // the entry check refused it (the reason says why)
    };
    Status status = Status::NotAZip;
    std::string entryName;  // the entry found (Copied, Damaged, SinkFailed)
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;  // its time
    uint64_t size = 0;                                                   // bytes delivered
    uint32_t crc = 0;    // the checksum the archive declares (Copied)
    std::string reason;  // the system's words when the archive file cannot be opened, or
                         // the entry check's reason (Refused)
};

// Looks at an entry before any of it is handed over: its first bytes (up to
// kEntryHeadSize, fewer only when the entry is shorter) and its declared
// size. Returns "" to read it, or the reason for refusing it.
inline constexpr size_t kEntryHeadSize = 100;
using EntryCheck = std::function<std::string(const char* head, size_t headSize, uint64_t size)>;

// Deflated entries of up to this many bytes (and as many compressed) are
// read whole into memory and inflated in one call, about three times as fast
// as a streamed inflate; larger ones, and stored entries, are streamed.
inline constexpr uint64_t kWholeEntryLimit = 256ull << 20;

// Finds the first file entry (names ending in "/" or "\" are folders and are
// skipped) whose file name equals fileName, ignoring letter case, and hands
// its content to sink. No other entry is read or written anywhere. Sizes of
// zip64 entries (4 GB and more) are read from their zip64 records. The check,
// when given, sees the entry's head first. An entry read whole is checked
// (size and checksum) before the sink sees any of it, and reaches it in one
// block; a streamed one reaches it block by block, never more than its
// declared size, and is checked at its end.
EntryRead ReadArchiveEntry(const std::string& archivePath, const std::string& fileName,
                           const ChunkSink& sink, uint64_t wholeEntryLimit = kWholeEntryLimit,
                           const EntryCheck& check = nullptr);
// The same on an archive held in memory (the entry point for fuzzing).
EntryRead ReadArchiveEntryFromBytes(const uint8_t* data, size_t size, const std::string& fileName,
                                    const ChunkSink& sink,
                                    uint64_t wholeEntryLimit = kWholeEntryLimit,
                                    const EntryCheck& check = nullptr);
