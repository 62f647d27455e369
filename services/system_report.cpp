#include "services/system_report.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "app/base/app_state.h"
#include "app/base/text_util.h"

namespace {

// Control characters (a stray CR or tab in a system file) become blanks, so
// every value stays on its one line of the report.
std::string OneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    }
    return Trim(out);
}

// The first bytes of a small system file; "" when it cannot be read.
std::string ReadSmallFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text(64 * 1024, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

bool IsKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// "6.1.0-18-amd64" -> "6.1"; "" when the release does not start with two numbers.
std::string KernelMajorMinor(std::string_view release) {
    size_t i = 0;
    auto digits = [&]() {
        size_t start = i;
        while (i < release.size() && release[i] >= '0' && release[i] <= '9') ++i;
        return i > start;
    };
    if (!digits() || i >= release.size() || release[i] != '.') return {};
    ++i;
    size_t minorStart = i;
    if (!digits()) return {};
    return std::string(release.substr(0, minorStart)) +
           std::string(release.substr(minorStart, i - minorStart));
}

}  // namespace

std::map<std::string, std::string> ParseOsRelease(std::string_view bytes) {
    std::map<std::string, std::string> values;
    for (const std::string& raw : Split(bytes, "\n")) {
        std::string line = Trim(TrimChars(raw, "\r"));
        if (line.empty() || line[0] == '#') continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        std::string key = Trim(line.substr(0, eq));
        bool valid = !key.empty();
        for (char c : key) valid = valid && IsKeyChar(c);
        if (!valid) continue;
        std::string_view rest = std::string_view(line).substr(eq + 1);
        std::string value;
        if (!rest.empty() && (rest[0] == '"' || rest[0] == '\'')) {
            const char quote = rest[0];
            for (size_t i = 1; i < rest.size() && rest[i] != quote; ++i) {
                char c = rest[i];
                if (quote == '"' && c == '\\' && i + 1 < rest.size() &&
                    std::strchr("\"\\$`", rest[i + 1]) != nullptr) {
                    c = rest[++i];
                }
                value += c;
            }
        } else {
            value = Trim(rest);
        }
        values[key] = value;
    }
    return values;
}

bool Is64BitMachine(std::string_view machine) {
    return machine.find("64") != std::string_view::npos || machine == "s390x" || machine == "alpha";
}

std::array<std::string, 4> OsDescriptionLines(const SystemFacts& facts) {
    const auto release = ParseOsRelease(facts.osRelease);
    auto value = [&release](const char* key) {
        auto it = release.find(key);
        return it == release.end() ? std::string() : OneLine(it->second);
    };
    std::string name = value("PRETTY_NAME");
    if (name.empty()) name = value("NAME");
    if (name.empty()) name = OneLine(facts.sysname);
    if (name.empty()) name = "Linux";
    std::string kernel = OneLine(facts.kernelRelease);
    std::string version = value("VERSION_ID");
    if (version.empty()) version = KernelMajorMinor(kernel);
    return {name + " - " + (Is64BitMachine(facts.machine) ? "64 bit" : "32 bit"),
            kernel.empty() ? std::string("No service pack") : kernel, "Version " + version,
            "Build " + OneLine(facts.kernelVersion)};
}

SystemFacts ReadSystemFacts() {
    SystemFacts facts;
    facts.osRelease = ReadSmallFile("/etc/os-release");
    if (facts.osRelease.empty()) facts.osRelease = ReadSmallFile("/usr/lib/os-release");
    struct utsname u {};
    if (uname(&u) == 0) {
        facts.sysname = u.sysname;
        facts.kernelRelease = u.release;
        facts.kernelVersion = u.version;
        facts.machine = u.machine;
    }
    return facts;
}

std::string OsDescription() {
    auto lines = OsDescriptionLines(ReadSystemFacts());
    return lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n" + lines[3];
}

std::string CpuBrandFromLeaves(uint32_t highestExtendedLeaf,
                               const std::array<uint32_t, 12>& brandRegisters) {
    if (highestExtendedLeaf < 0x80000004u) return "0";
    std::string brand;
    for (uint32_t reg : brandRegisters) {
        for (int b = 0; b < 4; ++b) brand += static_cast<char>((reg >> (8 * b)) & 0xff);
    }
    size_t zero = brand.find('\0');
    if (zero != std::string::npos) brand.resize(zero);
    return OneLine(brand);
}

std::string CpuName() {
#if defined(__x86_64__) || defined(__i386__)
    uint32_t highest = __get_cpuid_max(0x80000000u, nullptr);
    std::array<uint32_t, 12> regs{};
    if (highest >= 0x80000004u) {
        for (uint32_t leaf = 0; leaf < 3; ++leaf) {
            unsigned a = 0, b = 0, c = 0, d = 0;
            __cpuid(0x80000002u + leaf, a, b, c, d);
            regs[leaf * 4] = a;
            regs[leaf * 4 + 1] = b;
            regs[leaf * 4 + 2] = c;
            regs[leaf * 4 + 3] = d;
        }
    }
    return CpuBrandFromLeaves(highest, regs);
#else
    return "0";
#endif
}

std::string MemoryGigabytes(uint64_t bytes) {
    // to_chars is independent of the C locale, which the GUI library may
    // have set to one with a decimal comma.
    char buf[64];
    double gib = static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0);
    auto r = std::to_chars(buf, buf + sizeof(buf), gib, std::chars_format::fixed, 1);
    return std::string(buf, r.ptr);
}

uint64_t PhysicalMemoryBytes() {
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return 0;
    return static_cast<uint64_t>(info.totalram) * (info.mem_unit ? info.mem_unit : 1);
}

std::string ServiceReportTextFor(const std::array<std::string, 4>& osLines, const std::string& cpu,
                                 uint64_t memoryBytes) {
    std::string text = std::string("Program: ") + kProgramName + " " + kVersionMajorMinor + "." +
                       kVersionBuild + "\r\n";
    text += "Operating System:\r\n";
    for (const std::string& line : osLines) text += line + "\r\n";
    text += "CPU: " + cpu + "\r\n";
    text += "Physical memory: " + MemoryGigabytes(memoryBytes) + " GB\r\n";
    return text;
}

std::string ServiceReportText() {
    return ServiceReportTextFor(OsDescriptionLines(ReadSystemFacts()), CpuName(),
                                PhysicalMemoryBytes());
}

int WriteFileReplacing(const std::string& path, const std::string& text) {
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return errno;
    int err = 0;
    size_t written = 0;
    while (written < text.size()) {
        ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        written += static_cast<size_t>(n);
    }
    // mkstemp makes the file private; the report is an ordinary file.
    mode_t mask = umask(0);
    umask(mask);
    if (!err && fchmod(fd, 0666 & ~mask) != 0) err = errno;
    if (!err && fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && std::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err) std::remove(temp.c_str());
    return err;
}
