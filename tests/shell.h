#pragma once

#include <QByteArray>
#include <cstdio>
#include <memory>
#include <string>

namespace markola::testing {

// What a command of the shell prints: files are set up and looked at with the usual tools.
inline QByteArray Shell(const std::string& command) {
    const std::unique_ptr<FILE, int (*)(FILE*)> shell(popen(command.c_str(), "r"), &pclose);
    QByteArray output;
    char buffer[4096];
    while (const std::size_t got = shell ? std::fread(buffer, 1, sizeof buffer, shell.get()) : 0) {
        output.append(buffer, static_cast<qsizetype>(got));
    }
    return output;
}

}  // namespace markola::testing
