#include "app/ui/AppMain.h"

#include <QApplication>
#include <QLocale>

#include "app/MachiningSettings.h"
#include "lib/Dialogs.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/ui/QtDialogs.h"
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
    app.setApplicationDisplayName(QStringLiteral("VEzor"));
}

int Main(QApplication& app) {
    (void)AppCaption();
    LoadSettings();
    frmGCode window;
    window.Form_Load();
    window.show();
    return app.exec();
}
