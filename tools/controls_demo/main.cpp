// Shows every toolkit control in every state; run it under a desktop or Xvfb.

#include "DemoWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Parlo controls"));
    DemoWindow window;
    window.show();
    return app.exec();
}
