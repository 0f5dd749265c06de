// Test entry: fixes the environment (offscreen platform, C locale, "." as the
// decimal separator, scripted dialogs, a memory settings store, a session and a
// temporary program folder, each new for every test).
#include <gtest/gtest.h>

#ifdef QT_WIDGETS_LIB
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif
#include <QTemporaryDir>
#include <clocale>
#include <memory>

#include "TestSupport.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"

namespace {
ScriptedDialogs g_dialogs;
MemorySettingsStore g_settings;
std::unique_ptr<QTemporaryDir> g_folder;
std::unique_ptr<Session> g_session;

class FreshEnvironment : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        g_dialogs.reset();
        g_settings.values.clear();
        g_settings.writes = 0;
        g_folder = std::make_unique<QTemporaryDir>();
        setProgramFolder(g_folder->path().toStdString());
        numtext::setDecimalSeparator('.');
        g_session = std::make_unique<Session>();
        setDialogs(&g_dialogs);
        setSettingsStore(&g_settings);
    }
};
}  // namespace

ScriptedDialogs& testDialogs() { return g_dialogs; }
MemorySettingsStore& testSettings() { return g_settings; }
Session& testSession() { return *g_session; }
std::string testProgramFolder() { return g_folder ? g_folder->path().toStdString() : "."; }

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setlocale(LC_ALL, "C");
    TestApplication app(argc, argv);
    TestApplication::setOrganizationName("VEzorTest");
    TestApplication::setApplicationName("VEzorTest");
    TestApplication::setApplicationDisplayName("VEzor");
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshEnvironment);
    const int status = RUN_ALL_TESTS();
    g_session.reset();
    g_folder.reset();
    return status;
}
