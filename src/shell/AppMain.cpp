#include "shell/AppMain.h"

#include "document/DocumentReader.h"
#include "shell/Form_Main.h"
#include "shell/MessageBox.h"
#include "system/AppPaths.h"
#include "system/CIni.h"
#include "system/Log.h"
#include "system/StopSignals.h"

#include <QApplication>
#include <QDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
std::unique_ptr<CIni> g_ProductInfo;
std::unique_ptr<DocumentReader> g_Converter;
int g_signalPipe[2] = {-1, -1};

// What is left to wait for once termination starts, before the event loop
// is left whatever still runs.
constexpr int TerminationGraceMs = 1500;

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

// Closing the window from inside a modal loop would free what the code that
// opened the box still uses: close the boxes first and let their callers
// finish, then close the window from the main loop.
void closeWhenUnwound()
{
    if (QThread::currentThread()->loopLevel() > 1) {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->done(QDialog::Rejected);
            else
                modal->close();
        }
        QTimer::singleShot(10, qApp, closeWhenUnwound);
        return;
    }
    QApplication::closeAllWindows();
}
} // namespace

CIni &ProductInfo()
{
    if (!g_ProductInfo) {
        g_ProductInfo = std::make_unique<CIni>();
        g_ProductInfo->setFileName(
            AppPaths::programFolder() + QStringLiteral("/Data/Parlo_Product.ini"));
    }
    return *g_ProductInfo;
}

QString GetProductKey()
{
    return QStringLiteral("Software\\Mavi Technology\\")
        + ProductInfo().GetSz(QStringLiteral("Product"), QStringLiteral("Section"), QString());
}

DocumentReader *Converter()
{
    return g_Converter.get();
}

std::unique_ptr<Form_Main> Main()
{
    if (!g_Converter) {
        auto reader = std::make_unique<DocumentReader>();
        if (reader->AllocHdl(1) == Document::Status::Ok
            && reader->OpenWfxKey(0, QStringLiteral("Parlo")) == Document::Status::Ok)
            g_Converter = std::move(reader);
        else
            qCWarning(lcShell) << "the document reader could not be set up";
    }
    ProductInfo();
    CIni::setWriteFailureHandler([] {
        qCWarning(lcSettings) << "writing the settings file failed:" << AppPaths::settingsFile();
        MessageBox::show(
            CIni::writeFailureText(), MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok);
    });
    auto window = std::make_unique<Form_Main>();
    if (!window->Load())
        return nullptr;
    window->show();
    return window;
}

void ReleaseProgramObjects()
{
    g_ProductInfo.reset();
    g_Converter.reset();
}

int RunProgram()
{
    // The toolkit's own dialogs (files, message box buttons) speak the
    // program's language.
    auto *toolkit = new QTranslator(qApp);
    if (toolkit->load(QLocale(QLocale::Chinese, QLocale::Taiwan), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(toolkit);
    else
        qCInfo(lcShell) << "no Traditional Chinese translation of the toolkit's dialogs";
    auto window = Main();
    if (!window)
        return 0;
    const int rc = QApplication::exec();
    window.reset();
    ReleaseProgramObjects();
    return rc;
}

void Terminate()
{
    if (MessageBox::isTerminating())
        return;
    qCInfo(lcShell) << "terminating";
    MessageBox::setTerminating(true);
    QTimer::singleShot(TerminationGraceMs, qApp, [] { QCoreApplication::exit(0); });
    closeWhenUnwound();
}

void InstallTerminationHandler()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[0], &byte, 1);
        Terminate();
    });
    StopSignals::route(onSignal);
}
