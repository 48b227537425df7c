// The help bar and the two link pictures: the user guide, the copyright
// notices, the pronunciation editor and the maker's web page, all opened
// through CExec from the program folder.

#include "shell/AppMain.h"
#include "shell/CExec.h"
#include "shell/Form_Main.h"
#include "system/AppPaths.h"
#include "system/CIni.h"

#include "controls/BmpBtnX.h"

#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>

namespace
{
const QString UserGuide = QStringLiteral("/Help/Parlo_User_Guide.pdf");
const QString CopyrightProgram = QStringLiteral("/Mavi_Copyright");
const QString PronunciationProgram = QStringLiteral("/Mavi_UserDefine");
const QString DefaultCompanyUrl = QStringLiteral("https://parlo.example.org/");

// A click on a link picture: the left button released over it.
class LinkClick : public QObject
{
public:
    LinkClick(QLabel *link, std::function<void()> action)
        : QObject(link)
        , m_Action(std::move(action))
    {
        link->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonRelease)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const auto *link = static_cast<QWidget *>(watched);
        if (mouse->button() == Qt::LeftButton && link->rect().contains(mouse->position().toPoint()))
            m_Action();
        return false;
    }

private:
    std::function<void()> m_Action;
};

// Opens a file of the program folder; a missing one is passed over quietly.
void openProgramFile(const QString &relative, bool inProgramFolder)
{
    const QString folder = AppPaths::programFolder();
    const QString path = folder + relative;
    if (!QFileInfo::exists(path))
        return;
    const QString workDir = inProgramFolder ? folder : QString();
    CExec().Launch_Exec(path, QString(), workDir, true, true, false);
}
} // namespace

void Form_Main::connectHelpBar()
{
    connect(Cmd_H1, &BmpBtnX::Click, this, [] { openProgramFile(UserGuide, false); });
    connect(Cmd_H2, &BmpBtnX::Click, this, [] { openProgramFile(CopyrightProgram, true); });
    connect(Cmd_H5, &BmpBtnX::Click, this, [] { openProgramFile(PronunciationProgram, false); });
    new LinkClick(ImgLink2, [] { openProgramFile(CopyrightProgram, true); });
    new LinkClick(ImgLink1, [] {
        // Read at every click, so an edited product file counts at once.
        QString url = ProductInfo().GetSz(
            QStringLiteral("URL"), QStringLiteral("CompanyURL"), DefaultCompanyUrl);
        if (url.trimmed().isEmpty())
            url = DefaultCompanyUrl;
        CExec().Launch_URL(url, QString(), QString(), 0, true, false);
    });
}
