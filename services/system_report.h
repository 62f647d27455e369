// The system description of the service report: the operating system, the
// processor and the memory of this computer, as the text the user sees in the
// service-report dialog and finds in ServiceReport.txt. No window is shown here.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "app/base/system.h"

// What the operating-system lines are made of, read from the running system.
using SystemFacts = OsFacts;
SystemFacts ReadSystemFacts();

// The KEY=value lines of an os-release file; quoted values are unquoted and
// their backslash escapes resolved. Any bytes are accepted.
std::map<std::string, std::string> ParseOsRelease(std::string_view bytes);

// True for the machine names of 64-bit kernels (so a 32-bit build on a 64-bit
// kernel still counts as a 64-bit system).
bool Is64BitMachine(std::string_view machine);

// The four lines of the operating-system description, each without a line end:
// name + " - 64 bit"/" - 32 bit", the kernel release (or "No service pack"),
// "Version " + VERSION_ID (or the kernel's major.minor), "Build " + the kernel
// version; on Windows the name of the version record's table row, the service
// pack (or "No service pack"), "Version " + major.minor, "Build " + build.
std::array<std::string, 4> OsDescriptionLines(const SystemFacts& facts);
// The name of a Windows version record ("Windows 10", "Windows 98 SE (Second
// Edition)" ...; "" for the combinations that have none).
std::string WindowsName(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build);
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

// The report text for the given parts (the operating-system description as
// OsDescription gives it), lines ended by CR LF (also the last).
std::string ServiceReportTextFor(const std::string& osDescription, const std::string& cpu,
                                 uint64_t memoryBytes);
// The report text of this computer.
std::string ServiceReportText();
