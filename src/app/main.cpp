#include "shell/AppMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlo"));
    InstallTerminationHandler();
    return RunProgram();
}
