#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <optional>

namespace chartrek {

// The seven figures of the memory window, in bytes but the load. A figure the system would not
// give is empty; the window shows "?" for it.
struct MemoryFigures {
    std::optional<quint32> load; // used share of physical memory, percent
    std::optional<quint64> totalPhys;
    std::optional<quint64> availPhys;
    std::optional<quint64> totalPageFile; // swap
    std::optional<quint64> availPageFile;
    std::optional<quint64> totalVirtual; // the address space this process may use
    std::optional<quint64> availVirtual;
};

// Where the figures come from; tests point the paths at files of their own.
struct MemorySources {
    QString meminfoPath;
    QString statusPath; // the process's own status, for VmSize
    quint64 addressLimit = 0; // bytes

    // /proc/meminfo, /proc/self/status and this process's address-space limit.
    static MemorySources ofThisProcess();
};

// The user part of a 64-bit address space (47 bits): the most a process can map, whatever
// its limit says.
constexpr quint64 kUserAddressSpace = quint64(1) << 47;

// RLIMIT_AS, or the whole user address space when there is no limit.
quint64 processAddressLimit();

// Reads both files; a file or line that cannot be read leaves its figures empty.
MemoryFigures readMemoryFigures(const MemorySources &sources);

// Above this load the "Used" field turns red.
constexpr quint32 kNearlyFullLoad = 98;
bool memoryNearlyFull(const MemoryFigures &figures);

// The field texts, top to bottom: "57 %", then the six sizes as "16318480 KB" (a plain number
// of KB with the locale's decimal separator, fraction digits only when there are any).
std::array<QString, 7> memoryTexts(const MemoryFigures &figures, const QLocale &locale = QLocale());

} // namespace chartrek
