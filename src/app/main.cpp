#include "shell/AppMain.h"
#include "shell/Form_Main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlo"));
    auto window = Main();
    if (!window)
        return 0;
    const int rc = QApplication::exec();
    window.reset();
    ReleaseProgramObjects();
    return rc;
}
