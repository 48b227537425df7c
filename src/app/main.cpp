#include "shell/AppMain.h"
#include "speech/SpeechEngine.h"

#include <QApplication>
#include <QScopeGuard>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlo"));
    InstallTerminationHandler();
    // The synthesis thread stops before what it uses is destroyed.
    const auto stopEngine = qScopeGuard([] { SpeechEngine::shutdown(); });
    return RunProgram();
}
