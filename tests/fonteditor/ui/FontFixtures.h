#pragma once

#include <QDir>
#include <QFile>
#include <map>
#include <string>

#include "TestSupport.h"
#include "font/FontStorage.h"

// A font folder below the test's program folder, made the current font.
// Returns the folder's full path.
inline std::string makeFont(const std::string& name, const std::map<int, std::string>& letters) {
    const std::string folder = testProgramFolder() + "/font/" + name;
    QDir().mkpath(QString::fromStdString(folder));
    for (const auto& [code, content] : letters)
        writeFile(folder + "/" + std::to_string(code), content);
    testSession().CurrentFont() = "font/" + name;
    return folder;
}

// The shipped main font, copied from the build's font folder below the test's
// program folder and made the current font.
inline void useShippedMainFont() {
    const QString from = QStringLiteral(VEZOR_BINARY_DIR "/font/A-Chertezh");
    const QString to = QString::fromStdString(testProgramFolder() + "/font/A-Chertezh");
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QFile::copy(from + "/" + name, to + "/" + name);
    testSession().CurrentFont() = "font/A-Chertezh";
}

// A few single-stroke letters drawn as a font designer would: capitals in
// the 80-unit square on the base line, clear of the box's top and left edges.
inline std::map<int, std::string> sampleLetters() {
    const std::string a = "8,100\r\n44,20\r\n80,100\r\n68,74\r\n20,74\r\n";
    return {
        {65, a},
        {192, a},
        {193, "78,20\r\n14,20\r\n14,100\r\n58,100\r\n76,90\r\n76,70\r\n58,60\r\n14,60\r\n"},
        {206,
         "44,20\r\n68,27\r\n80,48\r\n80,72\r\n68,93\r\n44,100\r\n20,93\r\n8,72\r\n"
         "8,48\r\n20,27\r\n44,20\r\n"},
        {49, "24,38\r\n50,20\r\n50,100\r\n"},
        {90, "10,20\r\n78,20\r\n10,100\r\n78,100\r\n"},
    };
}
