// The system description of the service report: the operating system, the
// processor and the memory of this computer, as the text the user sees in the
// service-report dialog and finds in ServiceReport.txt. No window is shown here.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// What the operating-system lines are made of, read from the running system.
struct SystemFacts {
    std::string osRelease;      // the text of /etc/os-release ("" when unreadable)
    std::string sysname;        // uname: "Linux"
    std::string kernelRelease;  // uname: "6.1.0-18-amd64" ("" when unreadable)
    std::string kernelVersion;  // uname: "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)"
    std::string machine;        // uname: "x86_64", "aarch64", "i686" ...
};
SystemFacts ReadSystemFacts();

// The KEY=value lines of an os-release file; quoted values are unquoted and
// their backslash escapes resolved. Any bytes are accepted.
std::map<std::string, std::string> ParseOsRelease(std::string_view bytes);

// True for the machine names of 64-bit kernels (so a 32-bit build on a 64-bit
// kernel still counts as a 64-bit system).
bool Is64BitMachine(std::string_view machine);

// The four lines of the operating-system description, each without a line end:
// name + " - 64 bit"/" - 32 bit", the kernel release (or "No service pack"),
// "Version " + VERSION_ID (or the kernel's major.minor), "Build " + the kernel version.
std::array<std::string, 4> OsDescriptionLines(const SystemFacts& facts);
// The same lines for this computer, joined by CR LF (no final line end).
std::string OsDescription();

// The processor's brand string from the registers of the extended leaves
// 0x80000002 to 0x80000004 (EAX, EBX, ECX, EDX of each, in that order), given
// the highest extended leaf the processor offers: cut at the first zero byte
// and trimmed of blanks; "0" when the brand leaves are not offered.
std::string CpuBrandFromLeaves(uint32_t highestExtendedLeaf,
                               const std::array<uint32_t, 12>& brandRegisters);
// The brand string of this processor; "0" without the brand leaves and on
// processors other than x86.
std::string CpuName();

// Total memory in GiB with one decimal: 8589934592 -> "8.0".
std::string MemoryGigabytes(uint64_t bytes);
// Total physical memory of this computer in bytes (0 when unknown).
uint64_t PhysicalMemoryBytes();

// The report text for the given parts, lines ended by CR LF (also the last).
std::string ServiceReportTextFor(const std::array<std::string, 4>& osLines, const std::string& cpu,
                                 uint64_t memoryBytes);
// The report text of this computer.
std::string ServiceReportText();

// Writes the bytes to the file through a temporary file beside it, renamed over
// it when complete, so the file is either the old one or the whole new one.
// Returns 0 or the errno of the failure.
int WriteFileReplacing(const std::string& path, const std::string& text);
