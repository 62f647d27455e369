#include "services/system_report.h"

#include <charconv>
#include <cstring>

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

std::string WindowsName(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build) {
    if (platformId == 1) {
        // The old consumer line keeps its build number in the low 16 bits.
        build &= 0xffff;
        if (minor == 0) {
            if (build <= 950) return "Windows 95 (0)";
            return build <= 1079 ? "Windows 95B (OSR2)" : "Windows 95C (OSR2)";
        }
        if (minor == 10) {
            if (build <= 1998) return "Windows 98";
            return build <= 2182 ? "Windows 98 OSR1" : "Windows 98 SE (Second Edition)";
        }
        return minor == 90 ? "Windows Millenium (ME)" : "";
    }
    switch (major) {
        case 3:
            return "Windows NT3";
        case 4:
            return "Windows NT4";
        case 5:
            if (minor == 0) return "Windows 2000";
            if (minor == 1) return "Windows XP";
            return minor == 2 ? "Windows Server 2003" : "";
        case 6:
            if (minor == 0) return "Windows Vista";
            if (minor == 1) return "Windows 7";
            if (minor == 2) return "Windows 8.0";
            return minor == 3 ? "Windows 8.1" : "Window Nine or newer";
        case 10:
            return "Windows 10";
        default:
            return "Windows Undetermined";
    }
}

std::array<std::string, 4> OsDescriptionLines(const SystemFacts& facts) {
    if (facts.windows) {
        const std::string pack = TrimChars(facts.servicePack, " \r\n");
        const uint32_t build = facts.platformId == 1 ? facts.build & 0xffff : facts.build;
        return {WindowsName(facts.platformId, facts.major, facts.minor, facts.build) + " - " +
                    (facts.system64 ? "64 bit" : "32 bit"),
                pack.empty() ? std::string("No service pack") : pack,
                "Version " + std::to_string(facts.major) + "." + std::to_string(facts.minor),
                "Build " + std::to_string(build)};
    }
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
    return ReadOsFacts();
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
    return TotalPhysicalMemory();
}

std::string ServiceReportTextFor(const std::string& osDescription, const std::string& cpu,
                                 uint64_t memoryBytes) {
    std::string text = std::string("Program: ") + kProgramName + " " + kVersionMajorMinor + "." +
                       kVersionBuild + "\r\n";
    text += "Operating System:\r\n";
    text += osDescription + "\r\n";
    text += "CPU: " + cpu + "\r\n";
    text += "Physical memory: " + MemoryGigabytes(memoryBytes) + " GB\r\n";
    return text;
}

std::string ServiceReportText() {
    return ServiceReportTextFor(OsDescription(), CpuName(), PhysicalMemoryBytes());
}
