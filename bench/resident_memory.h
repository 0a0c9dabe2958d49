#pragma once

#include <QByteArray>
#include <QFile>

namespace markola::bench {

// The process's resident memory in MB, counted from its page tables. The kernel's counters
// behind /proc/self/statm are kept per thread and folded in only now and then, so they may lag
// behind by some pages; the memory goals leave little more than that to spare.
inline double ResidentMb() {
    QFile rollup(QStringLiteral("/proc/self/smaps_rollup"));
    rollup.open(QIODevice::ReadOnly);
    for (QByteArray line = rollup.readLine(); !line.isEmpty(); line = rollup.readLine()) {
        if (line.startsWith("Rss:")) {
            return line.mid(4).trimmed().split(' ').value(0).toDouble() * 1024 / 1e6;
        }
    }
    return 0;
}

}  // namespace markola::bench
