#include "lib/ProgramStart.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <QFileInfo>
#include <QString>
#include <cstdio>

namespace programstart {

std::vector<std::string> arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wideArgs = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wideArgs)
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc)
                        : std::vector<std::string>();
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(QString::fromWCharArray(wideArgs[i]).toUtf8().toStdString());
    ::LocalFree(wideArgs);
    return args;
}

std::string executableFolder(const char* argv0) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            const QFileInfo fallback(QString::fromLocal8Bit(argv0));
            return fallback.absolutePath().toUtf8().toStdString();
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const QString exe = QString::fromStdWString(buffer);
    return QFileInfo(exe).absolutePath().toUtf8().toStdString();
}

void rawConsole() {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
}

}  // namespace programstart
