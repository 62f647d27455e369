#include "services/archive.h"

#include <libdeflate.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <zlib.h>

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
// What was written into an entry, to compare with what reads back.
struct WrittenEntry {
    std::string name;
    uint64_t size = 0;
    uint32_t crc = 0;
};

struct ArchiveWriter {
    zipFile zip = nullptr;
    FdIo io;
    std::string tempPath;
    std::string finalPath;
    bool failed = false;
    std::vector<WrittenEntry> entries;
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

// Reads every entry of the finished archive back: each must be found, read
// whole with its checksum, and hold exactly the bytes written. The reason
// when one does not.
std::string ReadBackFailure(const ArchiveWriter& w) {
    for (const WrittenEntry& e : w.entries) {
        uint32_t crc = 0;
        EntryRead r =
            ReadArchiveEntry(w.tempPath, EntryFileName(e.name), [&](const char* d, size_t n) {
                crc = libdeflate_crc32(crc, d, n);
                return true;
            });
        if (r.status != EntryRead::Status::Copied || r.entryName != e.name || r.size != e.size ||
            r.crc != e.crc || crc != e.crc) {
            return w.finalPath + ": the archive written does not read back (" + e.name + ")";
        }
    }
    return "";
}

int CloseArchive() {
    ArchiveWriter& w = Writer();
    if (!w.zip) return 0;
    int rc = zipClose(w.zip, nullptr);
    w.zip = nullptr;
    int result = 0;
    std::string unreadable;
    if (w.failed) {
        RemoveFile(w.tempPath);
    } else if (rc != ZIP_OK) {
        result = WriteFailure();
        RemoveFile(w.tempPath);
    } else if (!(unreadable = ReadBackFailure(w)).empty()) {
        RemoveFile(w.tempPath);
        Reason() = unreadable;
        result = 57;
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

// Writes one entry of `size` bytes read block by block from source (which
// reports its own failure with its code and reason).
int WriteEntry(const std::string& entryName, time_t modified, uint64_t size,
               const std::function<int(uint64_t offset, char* into, size_t n)>& source) {
    ArchiveWriter& w = Writer();
    zip_fileinfo info{};
    info.tmz_date = ZipTime(modified);
    const int zip64 = size >= 0xffffffffULL ? 1 : 0;
    WrittenEntry written{entryName};
    if (zipOpenNewFileInZip64(w.zip, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, Z_DEFAULT_COMPRESSION, zip64) != ZIP_OK) {
        return WriteFailure();
    }
    std::vector<char> block(kCopyBlock);
    int result = 0;
    while (written.size < size) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), size - written.size));
        result = source(written.size, block.data(), n);
        if (result != 0) {
            w.failed = true;
            break;
        }
        written.size += n;
        written.crc = libdeflate_crc32(written.crc, block.data(), n);
        if (zipWriteInFileInZip(w.zip, block.data(), static_cast<unsigned>(n)) != ZIP_OK) {
            result = WriteFailure();
            break;
        }
    }
    if (zipCloseFileInZip(w.zip) != ZIP_OK && result == 0) result = WriteFailure();
    if (result == 0) w.entries.push_back(written);
    return result;
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
    File* const source = &file;
    return WriteEntry(filePath, static_cast<time_t>(modified), static_cast<uint64_t>(size),
                      [&](uint64_t offset, char* into, size_t n) {
                          // A file cut short while it is read is as unreadable.
                          if (source->ReadAt(offset, into, n)) return 0;
                          const int err = source->error() ? source->error() : EIO;
                          return Fail(FileErrorCode(err), filePath, err);
                      });
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

// Sizes of a zip64 entry: the central directory holds 0xffffffff and the
// real values in the zip64 extra field (id 1), uncompressed size first, each
// present only where the directory holds 0xffffffff. minizip leaves them at
// 0xffffffff.
void ApplyZip64Sizes(const std::string& extra, unz_file_info64& info) {
    auto u16 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(extra[at])) |
               static_cast<uint32_t>(static_cast<uint8_t>(extra[at + 1])) << 8;
    };
    auto u64 = [&](size_t at) {
        uint64_t v = 0;
        for (int b = 7; b >= 0; --b) v = v << 8 | static_cast<uint8_t>(extra[at + b]);
        return v;
    };
    for (size_t at = 0; at + 4 <= extra.size();) {
        const uint32_t id = u16(at), len = u16(at + 2);
        const size_t body = at + 4, bodyEnd = body + len;
        if (bodyEnd > extra.size()) return;
        if (id == 1) {
            size_t field = body;
            for (ZPOS64_T* size : {&info.uncompressed_size, &info.compressed_size}) {
                if (*size != 0xffffffffULL) continue;
                if (field + 8 > bodyEnd) return;
                *size = u64(field);
                field += 8;
            }
            return;
        }
        at = bodyEnd;
    }
}

// An entry's bytes in order, read from the archive's raw bytes and inflated
// (or copied when stored), never more than its declared size. Failed() once
// anything is wrong: unreadable or short input, bad deflate data, more
// output than declared.
class EntryStream {
public:
    EntryStream(const RawArchive& raw, uint64_t at, const unz_file_info64& info)
        : raw_(raw),
          at_(at),
          left_(info.compressed_size),
          outLeft_(info.uncompressed_size),
          deflated_(info.compression_method == Z_DEFLATED) {
        if (deflated_) failed_ = inflateInit2(&z_, -MAX_WBITS) != Z_OK;
        ready_ = !failed_;
        input_.resize(kCopyBlock * 2);
    }
    ~EntryStream() {
        if (deflated_ && ready_) inflateEnd(&z_);
    }
    EntryStream(const EntryStream&) = delete;
    EntryStream& operator=(const EntryStream&) = delete;
    bool Failed() const { return failed_; }
    // True when the whole declared size was produced and the data ended there.
    bool Complete() const { return !failed_ && outLeft_ == 0 && (!deflated_ || ended_); }

    // Up to n bytes into buf; 0 at the end or on failure.
    size_t Read(char* buf, size_t n) {
        if (failed_) return 0;
        if (!deflated_) {
            n = static_cast<size_t>(std::min<uint64_t>({n, left_, outLeft_}));
            if (n > 0 && !raw_.read(at_, buf, n)) return Fail();
            at_ += n;
            left_ -= n;
            outLeft_ -= n;
            return n;
        }
        size_t produced = 0;
        while (produced < n && !ended_) {
            if (z_.avail_in == 0) {
                if (left_ == 0) return produced;  // input ends before the data does
                const size_t take = static_cast<size_t>(std::min<uint64_t>(input_.size(), left_));
                if (!raw_.read(at_, input_.data(), take)) return Fail();
                at_ += take;
                left_ -= take;
                z_.next_in = reinterpret_cast<Bytef*>(input_.data());
                z_.avail_in = static_cast<uInt>(take);
            }
            z_.next_out = reinterpret_cast<Bytef*>(buf + produced);
            z_.avail_out = static_cast<uInt>(n - produced);
            int rc = inflate(&z_, Z_NO_FLUSH);
            const size_t got = (n - produced) - z_.avail_out;
            if (got > outLeft_) return Fail();  // more than the entry declares
            outLeft_ -= got;
            produced += got;
            if (rc == Z_STREAM_END) {
                ended_ = true;
            } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
                return Fail();
            } else if (rc == Z_BUF_ERROR && z_.avail_in != 0) {
                return Fail();
            }
        }
        return produced;
    }

private:
    size_t Fail() {
        failed_ = true;
        return 0;
    }
    const RawArchive& raw_;
    uint64_t at_;
    uint64_t left_;     // compressed bytes not yet read
    uint64_t outLeft_;  // bytes the entry may still produce
    bool deflated_;
    bool ready_ = false;
    bool ended_ = false;
    bool failed_ = false;
    z_stream z_{};
    std::vector<char> input_;
};

// Reads a deflated entry whole: its compressed bytes straight from the
// archive, inflated in one call by libdeflate (about three times as fast as
// zlib's streaming inflate), checked against the declared size and checksum,
// and only then handed to the sink in one block. Returns false, with
// nothing handed over, when the memory for it cannot be had; the caller then
// streams the entry instead.
bool ReadWhole(uint64_t at, const unz_file_info64& info, const RawArchive& raw,
               const ChunkSink& sink, EntryRead& out) {
    using S = EntryRead::Status;
    LargeBlock in(info.compressed_size);
    LargeBlock whole(info.uncompressed_size);
    std::unique_ptr<libdeflate_decompressor, FreeDecompressor> inflater(
        libdeflate_alloc_decompressor());
    if (!in.data() || !whole.data() || !inflater) return false;
    out.status = S::Damaged;
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

// Reads the entry block by block (stored entries, entries too large to hold
// in memory), checked against its size and checksum at the end.
void ReadStreamed(uint64_t at, const unz_file_info64& info, const RawArchive& raw,
                  const ChunkSink& sink, EntryRead& out) {
    using S = EntryRead::Status;
    out.status = S::Damaged;
    EntryStream stream(raw, at, info);
    std::vector<char> block(4 * kCopyBlock);
    uint32_t crc = 0;
    for (size_t n; (n = stream.Read(block.data(), block.size())) > 0;) {
        out.size += n;
        crc = libdeflate_crc32(crc, block.data(), n);
        if (!sink(block.data(), n)) {
            out.status = S::SinkFailed;
            return;
        }
    }
    if (stream.Complete() && crc == info.crc) out.status = S::Copied;
}

EntryRead ReadFrom(unzFile handle, const std::string& fileName, const ChunkSink& sink,
                   uint64_t wholeEntryLimit, const RawArchive& raw, const EntryCheck& check) {
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
        std::string extra(info.size_file_extra, '\0');
        if (unzGetCurrentFileInfo64(zip.uf, &info, name.data(), name.size(), extra.data(),
                                    extra.size(), nullptr, 0) != UNZ_OK) {
            break;
        }
        if (IsFolderEntry(name) || !IEquals(EntryFileName(name), fileName)) continue;
        ApplyZip64Sizes(extra, info);

        out.entryName = name;
        out.crc = static_cast<uint32_t>(info.crc);
        out.year = static_cast<int>(info.tmu_date.tm_year);
        out.month = static_cast<int>(info.tmu_date.tm_mon) + 1;
        out.day = static_cast<int>(info.tmu_date.tm_mday);
        out.hour = static_cast<int>(info.tmu_date.tm_hour);
        out.minute = static_cast<int>(info.tmu_date.tm_min);
        out.second = static_cast<int>(info.tmu_date.tm_sec);
        out.status = S::Damaged;
        if ((info.flag & 1) != 0) return out;  // encrypted: no password is ever given
        const bool deflated = info.compression_method == Z_DEFLATED;
        if (!deflated &&
            (info.compression_method != 0 || info.compressed_size != info.uncompressed_size)) {
            return out;
        }
        // Where the entry's data begins, past its local header.
        int method = 0, level = 0;
        if (unzOpenCurrentFile2(zip.uf, &method, &level, 1) != UNZ_OK) return out;
        const uint64_t at = unzGetCurrentFileZStreamPos64(zip.uf);
        unzCloseCurrentFile(zip.uf);
        // Nothing is read or allocated for bytes the archive does not hold.
        if (raw.size != 0 && (at > raw.size || info.compressed_size > raw.size - at)) return out;

        if (check) {
            char head[kEntryHeadSize];
            EntryStream stream(raw, at, info);
            const size_t want =
                static_cast<size_t>(std::min<uint64_t>(kEntryHeadSize, info.uncompressed_size));
            size_t got = 0;
            for (size_t n; got < want && (n = stream.Read(head + got, want - got)) > 0;) got += n;
            if (got < want) return out;
            out.reason = check(head, got, info.uncompressed_size);
            if (!out.reason.empty()) {
                out.status = S::Refused;
                return out;
            }
        }
        // Deflate expands at most about 1032 times: a larger declared size is
        // left to the streamed read, which finds the entry damaged.
        const bool whole =
            deflated && raw.size != 0 && info.compressed_size > 0 && info.uncompressed_size > 0 &&
            info.uncompressed_size <= wholeEntryLimit && info.compressed_size <= wholeEntryLimit &&
            info.uncompressed_size / 1032 <= info.compressed_size;
        if (!whole || !ReadWhole(at, info, raw, sink, out)) ReadStreamed(at, info, raw, sink, out);
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

int AddToArchive(const ByteSource& source, uint64_t size, const std::string& entryName,
                 time_t modified, const std::string& archivePath) {
    Reason().clear();
    if (!Writer().zip) {
        int rc = OpenArchive(archivePath);
        if (rc != 0) return rc;
    }
    return WriteEntry(entryName, modified, size, [&](uint64_t offset, char* into, size_t n) {
        return source(offset, into, n) ? 0 : Fail(57, entryName, EIO);
    });
}

std::string ArchiveFailureReason() {
    return Reason();
}

std::string EntryFileName(const std::string& entryName) {
    size_t cut = entryName.find_last_of("/\\");
    return cut == std::string::npos ? entryName : entryName.substr(cut + 1);
}

EntryRead ReadArchiveEntry(const std::string& archivePath, const std::string& fileName,
                           const ChunkSink& sink, uint64_t wholeEntryLimit,
                           const EntryCheck& check) {
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
    return ReadFrom(uf, fileName, sink, wholeEntryLimit, raw, check);
}

EntryRead ReadArchiveEntryFromBytes(const uint8_t* data, size_t size, const std::string& fileName,
                                    const ChunkSink& sink, uint64_t wholeEntryLimit,
                                    const EntryCheck& check) {
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
    return ReadFrom(unzOpen2_64("", &f), fileName, sink, wholeEntryLimit, raw, check);
}
