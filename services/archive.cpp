#include "services/archive.h"

#include <libdeflate.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

#include "app/base/fs.h"
#include "app/base/system.h"
#include "app/base/text_util.h"

namespace {

constexpr size_t kCopyBlock = 32768;

// --- minizip file access through the file seam ------------------------------
// One stream per archive handle (so names reach the system as UTF-8 paths
// converted by the seam, never through the C library's fopen); the state
// records the last system error so that a failure can be reported with its
// reason. Streams opened for writing are flushed to the disk before they are
// closed.
struct FdIo {
    File file;
    bool writing = false;
    int error = 0;
};

voidpf FdOpen(voidpf opaque, const void* filename, int mode) {
    auto* io = static_cast<FdIo*>(opaque);
    File::Mode how = File::Mode::Read;
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ ||
        (mode & ZLIB_FILEFUNC_MODE_CREATE)) {
        how = (mode & ZLIB_FILEFUNC_MODE_CREATE) ? File::Mode::Create : File::Mode::ReadWrite;
        io->writing = true;
    }
    if (!io->file.Open(static_cast<const char*>(filename), how)) {
        io->error = io->file.error();
        return nullptr;
    }
    return io;
}

uLong FdRead(voidpf, voidpf stream, void* buf, uLong size) {
    auto* io = static_cast<FdIo*>(stream);
    uLong done = 0;
    while (done < size) {
        const int64_t n = io->file.Read(static_cast<char*>(buf) + done, size - done);
        if (n < 0) io->error = io->file.error();
        if (n <= 0) break;
        done += static_cast<uLong>(n);
    }
    return done;
}

uLong FdWrite(voidpf, voidpf stream, const void* buf, uLong size) {
    auto* io = static_cast<FdIo*>(stream);
    if (!io->file.WriteAll(buf, size)) {
        io->error = io->file.error();
        return 0;
    }
    return size;
}

ZPOS64_T FdTell(voidpf, voidpf stream) {
    const int64_t at = static_cast<FdIo*>(stream)->file.Tell();
    return at < 0 ? static_cast<ZPOS64_T>(-1) : static_cast<ZPOS64_T>(at);
}

long FdSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    const File::From from = origin == ZLIB_FILEFUNC_SEEK_CUR   ? File::From::Current
                            : origin == ZLIB_FILEFUNC_SEEK_END ? File::From::End
                                                               : File::From::Start;
    auto* io = static_cast<FdIo*>(stream);
    if (!io->file.Seek(static_cast<int64_t>(offset), from)) {
        io->error = io->file.error();
        return -1;
    }
    return 0;
}

int FdClose(voidpf, voidpf stream) {
    auto* io = static_cast<FdIo*>(stream);
    int rc = 0;
    if (io->writing && !io->file.Sync()) {
        io->error = io->file.error();
        rc = -1;
    }
    if (!io->file.Close() && rc == 0) {
        io->error = io->file.error();
        rc = -1;
    }
    return rc;
}

int FdError(voidpf, voidpf stream) {
    return static_cast<FdIo*>(stream)->error != 0;
}

zlib_filefunc64_def FdFunctions(FdIo* io) {
    zlib_filefunc64_def f{};
    f.zopen64_file = FdOpen;
    f.zread_file = FdRead;
    f.zwrite_file = FdWrite;
    f.ztell64_file = FdTell;
    f.zseek64_file = FdSeek;
    f.zclose_file = FdClose;
    f.zerror_file = FdError;
    f.opaque = io;
    return f;
}

// --- minizip file access over bytes in memory (read only) ------------------
struct MemIo {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
};

voidpf MemOpen(voidpf opaque, const void*, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    return opaque;
}

uLong MemRead(voidpf, voidpf stream, void* buf, uLong size) {
    auto* m = static_cast<MemIo*>(stream);
    size_t n = m->pos >= m->size ? 0 : std::min<size_t>(size, m->size - m->pos);
    if (n > 0) std::memcpy(buf, m->data + m->pos, n);
    m->pos += n;
    return static_cast<uLong>(n);
}

uLong MemWrite(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T MemTell(voidpf, voidpf stream) {
    return static_cast<MemIo*>(stream)->pos;
}

long MemSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* m = static_cast<MemIo*>(stream);
    uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? m->pos
                    : origin == ZLIB_FILEFUNC_SEEK_END ? m->size
                                                       : 0;
    if (offset > m->size || base + offset > m->size) return -1;
    m->pos = static_cast<size_t>(base + offset);
    return 0;
}

int MemClose(voidpf, voidpf) {
    return 0;
}

int MemError(voidpf, voidpf) {
    return 0;
}

// --- archive being written -------------------------------------------------
struct ArchiveWriter {
    zipFile zip = nullptr;
    FdIo io;
    std::string tempPath;
    std::string finalPath;
    bool failed = false;
};

ArchiveWriter& Writer() {
    static ArchiveWriter writer;
    return writer;
}

std::string& Reason() {
    static std::string reason;
    return reason;
}

int Fail(int code, const std::string& path, int err) {
    Reason() = path + ": " + std::strerror(err);
    return code;
}

int OpenArchive(const std::string& archivePath) {
    ArchiveWriter& w = Writer();
    if (archivePath.empty() || IsPathSeparator(archivePath.back()) || IsFolder(archivePath)) {
        return Fail(kArchiveOpenError, archivePath.empty() ? "(no file name)" : archivePath,
                    EISDIR);
    }
    w = ArchiveWriter{};
    w.finalPath = archivePath;
    w.tempPath = archivePath + ".tmp";
    zlib_filefunc64_def f = FdFunctions(&w.io);
    w.zip = zipOpen2_64(w.tempPath.c_str(), APPEND_STATUS_CREATE, nullptr, &f);
    if (!w.zip) {
        int err = w.io.error ? w.io.error : EIO;
        w.io.file.Close();
        RemoveFile(w.tempPath);
        w = ArchiveWriter{};
        return Fail(kArchiveOpenError, archivePath, err);
    }
    return 0;
}

// The code for a failure while writing the archive: the file error of the
// system's reason when there is one (a full disk is "Disk full"), else the
// archive error.
int WriteFailure() {
    ArchiveWriter& w = Writer();
    w.failed = true;
    if (w.io.error) return Fail(FileErrorCode(w.io.error), w.finalPath, w.io.error);
    Reason() = w.finalPath + ": the archive could not be written";
    return kArchiveOpenError;
}

int CloseArchive() {
    ArchiveWriter& w = Writer();
    if (!w.zip) return 0;
    int rc = zipClose(w.zip, nullptr);
    w.zip = nullptr;
    int result = 0;
    if (w.failed) {
        RemoveFile(w.tempPath);
    } else if (rc != ZIP_OK) {
        result = WriteFailure();
        RemoveFile(w.tempPath);
    } else if (const int err = RenameReplacing(w.tempPath, w.finalPath)) {
        RemoveFile(w.tempPath);
        result = Fail(FileErrorCode(err), w.finalPath, err);
    } else {
        const size_t cut = LastSeparator(w.finalPath);
        SyncFolder(cut == std::string::npos ? std::string(".") : w.finalPath.substr(0, cut + 1));
    }
    w.io.file.Close();
    w = ArchiveWriter{};
    return result;
}

tm_zip ZipTime(time_t t) {
    const struct tm local = LocalTimeOf(t);
    tm_zip z{};
    int year = local.tm_year + 1900;
    // The zip format holds the years 1980 to 2107 only.
    if (year < 1980) {
        z.tm_year = 1980;
        z.tm_mon = 0;
        z.tm_mday = 1;
        return z;
    }
    if (year > 2107) year = 2107;
    z.tm_year = static_cast<uInt>(year);
    z.tm_mon = static_cast<uInt>(local.tm_mon);
    z.tm_mday = static_cast<uInt>(local.tm_mday);
    z.tm_hour = static_cast<uInt>(local.tm_hour);
    z.tm_min = static_cast<uInt>(local.tm_min);
    z.tm_sec = static_cast<uInt>(local.tm_sec);
    return z;
}

int AddOneFile(const std::string& filePath) {
    ArchiveWriter& w = Writer();
    if (IsFolder(filePath)) {
        w.failed = true;
        return Fail(75, filePath, EISDIR);
    }
    File file;
    if (!file.Open(filePath, File::Mode::Read)) {
        w.failed = true;
        return Fail(FileErrorCode(file.error()), filePath, file.error());
    }
    const int64_t size = file.Size();
    const int64_t modified = file.ModifiedTime();
    if (size < 0 || modified < 0) {
        w.failed = true;
        return Fail(75, filePath, EINVAL);
    }
    zip_fileinfo info{};
    info.tmz_date = ZipTime(static_cast<time_t>(modified));
    const int zip64 = static_cast<uint64_t>(size) >= 0xffffffffULL ? 1 : 0;
    if (zipOpenNewFileInZip64(w.zip, filePath.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, Z_DEFAULT_COMPRESSION, zip64) != ZIP_OK) {
        return WriteFailure();
    }
    std::vector<char> block(kCopyBlock);
    int result = 0;
    for (;;) {
        const int64_t n = file.Read(block.data(), block.size());
        if (n < 0) {
            w.failed = true;
            result = Fail(FileErrorCode(file.error()), filePath, file.error());
            break;
        }
        if (n == 0) break;
        if (zipWriteInFileInZip(w.zip, block.data(), static_cast<unsigned>(n)) != ZIP_OK) {
            result = WriteFailure();
            break;
        }
    }
    if (zipCloseFileInZip(w.zip) != ZIP_OK && result == 0) result = WriteFailure();
    return result;
}

// --- reading ---------------------------------------------------------------
struct Unzip {
    unzFile uf;
    explicit Unzip(unzFile f) : uf(f) {}
    ~Unzip() {
        if (uf) unzClose(uf);
    }
    Unzip(const Unzip&) = delete;
    Unzip& operator=(const Unzip&) = delete;
};

bool IsFolderEntry(const std::string& name) {
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

// The archive's own bytes, read past minizip: its size, and a read of size
// bytes at an offset into a buffer (false when they cannot be read).
struct RawArchive {
    uint64_t size = 0;
    std::function<bool(uint64_t offset, char* into, size_t size)> read;
};

struct FreeDecompressor {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// Reads a deflated entry whole: its compressed bytes straight from the
// archive, inflated in one call by libdeflate (about three times as fast as
// zlib's streaming inflate), checked against the declared size and checksum,
// and only then handed to the sink in one block. Returns false, with
// nothing handed over, when the memory for it cannot be had; the caller then
// streams the entry instead.
bool ReadWhole(unzFile uf, const unz_file_info64& info, const RawArchive& raw,
               const ChunkSink& sink, EntryRead& out) {
    using S = EntryRead::Status;
    if (raw.size == 0) return false;  // the archive's size is unknown: stream instead
    out.status = S::Damaged;
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(uf, &method, &level, 1) != UNZ_OK) return true;
    const uint64_t at = unzGetCurrentFileZStreamPos64(uf);
    unzCloseCurrentFile(uf);
    // Nothing is allocated for compressed bytes the archive does not hold.
    if (at > raw.size || info.compressed_size > raw.size - at) return true;

    LargeBlock in(info.compressed_size);
    LargeBlock whole(info.uncompressed_size);
    std::unique_ptr<libdeflate_decompressor, FreeDecompressor> inflater(
        libdeflate_alloc_decompressor());
    if (!in.data() || !whole.data() || !inflater) return false;
    if (!raw.read(at, in.data(), info.compressed_size)) return true;
    size_t produced = 0;
    if (libdeflate_deflate_decompress(inflater.get(), in.data(), info.compressed_size, whole.data(),
                                      info.uncompressed_size, &produced) != LIBDEFLATE_SUCCESS ||
        produced != info.uncompressed_size ||
        libdeflate_crc32(0, whole.data(), produced) != info.crc) {
        return true;
    }
    if (!sink(whole.data(), produced)) {
        out.status = S::SinkFailed;
        return true;
    }
    out.size = produced;
    out.status = S::Copied;
    return true;
}

// Reads the entry through minizip's streaming inflate (stored entries,
// entries too large to hold in memory).
void ReadStreamed(unzFile uf, const unz_file_info64& info, const ChunkSink& sink, EntryRead& out) {
    using S = EntryRead::Status;
    out.status = S::Damaged;
    if (unzOpenCurrentFile(uf) != UNZ_OK) return;
    std::vector<char> block(4 * kCopyBlock);
    for (;;) {
        int n = unzReadCurrentFile(uf, block.data(), static_cast<unsigned>(block.size()));
        if (n < 0) {
            unzCloseCurrentFile(uf);
            return;
        }
        if (n == 0) break;
        out.size += static_cast<uint64_t>(n);
        if (!sink(block.data(), static_cast<size_t>(n))) {
            unzCloseCurrentFile(uf);
            out.status = S::SinkFailed;
            return;
        }
    }
    // The checksum is compared only when the whole declared size was read,
    // so a stream that ends early is caught by its size.
    if (unzCloseCurrentFile(uf) != UNZ_OK || out.size != info.uncompressed_size) return;
    out.status = S::Copied;
}

EntryRead ReadFrom(unzFile handle, const std::string& fileName, const ChunkSink& sink,
                   uint64_t wholeEntryLimit, const RawArchive& raw) {
    using S = EntryRead::Status;
    EntryRead out;
    Unzip zip(handle);
    if (!zip.uf) return out;  // NotAZip
    out.status = S::NoEntry;
    for (int rc = unzGoToFirstFile(zip.uf); rc == UNZ_OK; rc = unzGoToNextFile(zip.uf)) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip.uf, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        std::string name(info.size_filename, '\0');
        if (unzGetCurrentFileInfo64(zip.uf, &info, name.data(), name.size(), nullptr, 0, nullptr,
                                    0) != UNZ_OK) {
            break;
        }
        if (IsFolderEntry(name) || !IEquals(EntryFileName(name), fileName)) continue;

        out.entryName = name;
        out.year = static_cast<int>(info.tmu_date.tm_year);
        out.month = static_cast<int>(info.tmu_date.tm_mon) + 1;
        out.day = static_cast<int>(info.tmu_date.tm_mday);
        out.hour = static_cast<int>(info.tmu_date.tm_hour);
        out.minute = static_cast<int>(info.tmu_date.tm_min);
        out.second = static_cast<int>(info.tmu_date.tm_sec);
        out.status = S::Damaged;
        if ((info.flag & 1) != 0) return out;  // encrypted: no password is ever given
        // Deflate expands at most about 1032 times: a larger declared size is
        // left to the streamed read, which finds the entry damaged.
        const bool whole = info.compression_method == Z_DEFLATED && info.compressed_size > 0 &&
                           info.uncompressed_size > 0 &&
                           info.uncompressed_size <= wholeEntryLimit &&
                           info.compressed_size <= wholeEntryLimit &&
                           info.uncompressed_size / 1032 <= info.compressed_size;
        if (!whole || !ReadWhole(zip.uf, info, raw, sink, out)) {
            ReadStreamed(zip.uf, info, sink, out);
        }
        return out;
    }
    return out;
}

}  // namespace

int FileErrorCode(int errnoValue) {
    switch (errnoValue) {
        case ENOENT:
            return 53;
        case EBADF:
            return 52;
        case EBUSY:
        case ETXTBSY:
            return 55;
        case EEXIST:
            return 58;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return 61;
        case ENAMETOOLONG:
        case EINVAL:
            return 64;
        case EMFILE:
        case ENFILE:
            return 67;
        case ENODEV:
        case ENXIO:
            return 68;
        case EACCES:
        case EPERM:
        case EROFS:
            return 70;
        case EXDEV:
            return 74;
        case EISDIR:
        case ELOOP:
            return 75;
        case ENOTDIR:
            return 76;
        default:
            return 57;
    }
}

std::string FileErrorText(int code) {
    static const std::map<int, const char*> texts = {
        {52, "Bad file name or number"},
        {53, "File not found"},
        {54, "Bad file mode"},
        {55, "File is open"},
        {57, "Device I/O error"},
        {58, "File already exists"},
        {61, "Disk full"},
        {62, "Input past end"},
        {64, "Bad file name"},
        {67, "Too many files"},
        {68, "Device unavailable"},
        {70, "Permission denied"},
        {71, "Disk not ready"},
        {72, "Disk media error"},
        {74, "Rename across disks"},
        {75, "Path/file access error"},
        {76, "Path not found"},
    };
    auto it = texts.find(code);
    return it == texts.end() ? std::string() : std::string(it->second);
}

int AddFileToArchive(const std::string& filePath, const std::string& archivePath) {
    if (filePath.empty()) return CloseArchive();
    Reason().clear();
    if (!Writer().zip) {
        int rc = OpenArchive(archivePath);
        if (rc != 0) return rc;
    }
    return AddOneFile(filePath);
}

std::string ArchiveFailureReason() {
    return Reason();
}

std::string EntryFileName(const std::string& entryName) {
    size_t cut = entryName.find_last_of("/\\");
    return cut == std::string::npos ? entryName : entryName.substr(cut + 1);
}

EntryRead ReadArchiveEntry(const std::string& archivePath, const std::string& fileName,
                           const ChunkSink& sink, uint64_t wholeEntryLimit) {
    FdIo io;
    zlib_filefunc64_def f = FdFunctions(&io);
    unzFile uf = unzOpen2_64(archivePath.c_str(), &f);
    if (!uf) {
        io.file.Close();
        EntryRead out;
        if (io.error) out.reason = std::strerror(io.error);
        return out;
    }
    RawArchive raw;
    const int64_t size = io.file.Size();
    if (size > 0) raw.size = static_cast<uint64_t>(size);
    raw.read = [&io](uint64_t offset, char* into, size_t size) {
        return io.file.ReadAt(offset, into, size);
    };
    return ReadFrom(uf, fileName, sink, wholeEntryLimit, raw);
}

EntryRead ReadArchiveEntryFromBytes(const uint8_t* data, size_t size, const std::string& fileName,
                                    const ChunkSink& sink, uint64_t wholeEntryLimit) {
    MemIo mem{data, size, 0};
    zlib_filefunc64_def f{};
    f.zopen64_file = MemOpen;
    f.zread_file = MemRead;
    f.zwrite_file = MemWrite;
    f.ztell64_file = MemTell;
    f.zseek64_file = MemSeek;
    f.zclose_file = MemClose;
    f.zerror_file = MemError;
    f.opaque = &mem;
    RawArchive raw;
    raw.size = size;
    raw.read = [data, size](uint64_t offset, char* into, size_t n) {
        if (offset > size || n > size - offset) return false;
        std::memcpy(into, data + offset, n);
        return true;
    };
    return ReadFrom(unzOpen2_64("", &f), fileName, sink, wholeEntryLimit, raw);
}
