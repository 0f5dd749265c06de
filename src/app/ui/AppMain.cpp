#include "app/ui/AppMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "gcode/GCodeProfile.h"
#include "lib/Dialogs.h"
#include "lib/MachiningSettings.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/ui/QtDialogs.h"
#include "lib/ui/WindowPlacement.h"
#include "main/Session.h"
#include "main/ui/frmGCode.h"

void InstallPlatform(QApplication& app) {
    static QtDialogs qtDialogs;
    setDialogs(&qtDialogs);
    const ProgramPlace place =
        SettleProgramPlace(QApplication::applicationDirPath().toStdString(), DefaultUserFolder());
    UseProgramPlace(place);
    if (!place.notice.empty()) dialogs().message(place.notice, "VEzor");
    numtext::setDecimalSeparator(QLocale::system().decimalPoint() == QStringLiteral(",") ? ','
                                                                                         : '.');
    // No application display name is set: the platform would put " — VEzor"
    // behind every caption. Boxes without a title show the application's name.

    static QTranslator qtTexts;  // Qt's own buttons («Да», «Нет», «Отмена») in Russian
    if (qtTexts.load(QStringLiteral("qtbase_ru"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
}

int Main(QApplication& app) {
    (void)AppCaption();
    Session session;
    session.machiningSettings() = SettingsForProfile(LoadSettings(), ChosenProfile());
    frmGCode window(session);
    window.Form_Load();
    PlaceOnScreen(&window);
    window.show();
    return app.exec();
}
