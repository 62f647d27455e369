#include <algorithm>

#include "app/base/fs.h"
#include "app/base/web.h"

std::string Sha256FileHex(const std::string& path) {
    File f;
    if (!f.Open(path, File::Mode::Read)) return "";
    return Sha256OfStream(
        [&](char* buf, size_t size) -> long { return static_cast<long>(f.Read(buf, size)); });
}

std::string Sha256Hex(std::string_view bytes) {
    size_t pos = 0;
    return Sha256OfStream([&](char* buf, size_t size) -> long {
        const size_t n = std::min(size, bytes.size() - pos);
        std::copy_n(bytes.data() + pos, n, buf);
        pos += n;
        return static_cast<long>(n);
    });
}
