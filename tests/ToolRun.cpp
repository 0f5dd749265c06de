#include "ToolRun.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include "TestSupport.h"
#include "lib/ProgramFolder.h"

std::string configFolder() { return joinPath(testProgramFolder(), "config"); }

Outcome vezorGcode(const QStringList& args, const std::string& currentFolder,
                   const std::optional<std::string>& input) {
    const QString program = QStringLiteral(VEZOR_BINARY_DIR "/vezor-gcode" VEZOR_EXE_SUFFIX);
    Outcome r;
    if (!QFileInfo(program).isExecutable()) {
        ADD_FAILURE() << "build the vezor-gcode target first";
        return r;
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(configFolder()));
    // The tool must work on a machine without any display.
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(env);
    if (!currentFolder.empty()) process.setWorkingDirectory(QString::fromStdString(currentFolder));
    process.start(program, args);
    if (input) {
        process.write(input->data(), static_cast<qint64>(input->size()));
        process.closeWriteChannel();
    }
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << "vezor-gcode did not finish";
        return r;
    }
    r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    r.out = process.readAllStandardOutput().toStdString();
    r.err = process.readAllStandardError().toStdString();
    return r;
}
