// The custom pronunciation editor, a companion program started from the
// reader's help bar.

#include "companions/UserDefineWindow.h"
#include "speech/PronunciationList.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlo"));
    UserDefineWindow window(PronunciationList::defaultFile());
    window.show();
    return QApplication::exec();
}
