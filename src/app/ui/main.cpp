#include <QApplication>

#include "app/ui/AppMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("VEzor");
    QApplication::setApplicationName("VEzor");
    InstallPlatform(app);
    return Main(app);
}
