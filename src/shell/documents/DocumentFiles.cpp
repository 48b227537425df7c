#include "shell/documents/DocumentFiles.h"

#include "document/DocumentReader.h"
#include "shell/AppDlgX.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "system/FileName.h"
#include "system/Log.h"
#include "system/SafeFile.h"
#include "system/SysDirs.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QtEndian>

#include <thread>

namespace
{
const QString OpenFilter
    = QStringLiteral("All Files (*.*)|*.*|Text, XML Files (*.txt;*.xml)|*.txt;*.xml");
const QString SaveFilter = QStringLiteral("Text files (*.txt)|*.txt");
constexpr int OpenFilterIndex = 2;
constexpr int OpenFlags = AppDlgX::OFN_PATHMUSTEXIST | AppDlgX::OFN_FILEMUSTEXIST;
constexpr int SaveFlags
    = AppDlgX::OFN_OVERWRITEPROMPT | AppDlgX::OFN_PATHMUSTEXIST | AppDlgX::OFN_NOREADONLYRETURN;

QString number(qsizetype n)
{
    return QLocale(QLocale::Chinese, QLocale::Taiwan).toString(qint64(n));
}
} // namespace

DocumentFiles::DocumentFiles(
    MaviTextBox &textBox, QWidget *owner, QString &lastDir, DocumentReader *converter)
    : m_TextBox(textBox)
    , m_Owner(owner)
    , m_LastDir(lastDir)
    , m_Converter(converter)
{
}

bool DocumentFiles::AskSaveChanges()
{
    if (!m_Dirty)
        return false;
    const MessageBox::Answer answer
        = MessageBox::show(QStringLiteral("文稿異動，是否要進行儲存（Y/N）?"),
            MessageBox::Icon::Question, MessageBox::Buttons::YesNoCancel, m_Owner);
    if (answer == MessageBox::Answer::Cancel)
        return true;
    if (answer == MessageBox::Answer::Yes)
        Cmd_SaveTxt();
    m_Dirty = false;
    return false;
}

void DocumentFiles::ensureLastDir()
{
    if (m_LastDir.isEmpty())
        m_LastDir = GetSpecialFolder(SysDirs::CSIDL_PERSONAL);
}

void DocumentFiles::OpenTextCommand()
{
    if (AskSaveChanges())
        return;
    ensureLastDir();
    const QString chosen = AppDlgX::ShowOpenDialog(
        m_Owner, OpenFilter, QStringLiteral("開啟檔案"), m_LastDir, 0, OpenFilterIndex, OpenFlags);
    if (chosen == u"0")
        return;
    m_LastDir = QFileInfo(chosen).absolutePath();
    LoadDocument(chosen);
}

bool DocumentFiles::LoadDocument(const QString &path)
{
    if (m_Loading) {
        qCInfo(lcDocument) << "a document is still loading;" << path << "is not opened";
        return false;
    }
    m_Loading = true;
    const bool wasDirty = m_Dirty;
    const ReadOutcome outcome = readInBackground(path);
    bool shown = false;
    if (outcome.tooLarge || outcome.text.size() > MaxDocumentChars) {
        qCInfo(lcDocument) << path << "is too long for the text box";
        MessageBox::show(tooLongText(outcome.tooLarge ? -1 : outcome.text.size()),
            MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok, m_Owner);
    } else if (outcome.ok) {
        m_TextBox.setText(outcome.text);
        shown = true;
    }
    // A document refused (too long, or binary) leaves the text, and so its
    // unsaved edits, as they were.
    m_Dirty = shown ? false : wasDirty;
    m_Loading = false;
    return shown;
}

DocumentFiles::ReadOutcome DocumentFiles::readInBackground(const QString &path)
{
    // The window keeps painting and its timers keep running meanwhile; input
    // waits, so no second command starts on a half-loaded document.
    QEventLoop loop;
    ReadOutcome outcome;
    std::thread worker([&] {
        outcome = readDocument(path);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the program is told to quit; the reader is
    // bounded in time, so waiting for it is short.
    worker.join();
    return outcome;
}

DocumentFiles::ReadOutcome DocumentFiles::readDocument(const QString &path)
{
    if (!m_Converter)
        return readSystemCodePage(path);
    ReadOutcome outcome;
    const Document::Status status = m_Converter->OpenFile(0, path);
    if (status == Document::Status::Ok) {
        outcome.ok = true;
        outcome.text = m_Converter->ReadBuf(0);
    } else {
        outcome.tooLarge = status == Document::Status::TooLarge;
        qCInfo(lcDocument).noquote() << "not loaded:" << m_Converter->errorString();
    }
    return outcome;
}

DocumentFiles::ReadOutcome DocumentFiles::readSystemCodePage(const QString &path) const
{
    // A file that cannot be read gives an empty text.
    ReadOutcome outcome;
    outcome.ok = true;
    QFile file(path);
    if (file.size() > Document::Limits().maxInputBytes) {
        outcome.ok = false;
        outcome.tooLarge = true;
    } else if (file.open(QIODevice::ReadOnly)) {
        outcome.text = QString::fromUtf8(file.readAll());
    } else {
        qCInfo(lcDocument).noquote() << path << file.errorString();
    }
    return outcome;
}

DocumentFiles::SaveResult DocumentFiles::Cmd_SaveTxt()
{
    ensureLastDir();
    const QString chosen = AppDlgX::ShowSaveDialog(
        m_Owner, SaveFilter, QStringLiteral("另存新檔"), m_LastDir, 0, 0, SaveFlags);
    if (chosen == u"0")
        return SaveResult::Cancelled;
    m_LastDir = QFileInfo(chosen).absolutePath();
    const bool saved = writeUtf16File(saveTarget(chosen), m_TextBox.Text());
    // A failed save is not told apart from a successful one.
    m_Dirty = false;
    return saved ? SaveResult::Saved : SaveResult::Failed;
}

void DocumentFiles::TextChange()
{
    if (!m_Loading)
        m_Dirty = true;
}

QString DocumentFiles::saveTarget(const QString &chosen)
{
    if (FileName::hasExtension(chosen))
        return chosen;
    const QFileInfo info(chosen);
    return info.absolutePath() + QLatin1Char('/') + info.fileName() + QStringLiteral(".txt");
}

bool DocumentFiles::writeUtf16File(const QString &path, const QString &text)
{
    QByteArray bytes;
    bytes.resize(2 + text.size() * 2);
    bytes[0] = char(0xFF);
    bytes[1] = char(0xFE);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data() + 2);

    // Where the folder refuses new files, an existing file the user may write
    // is still replaced, as a save over it would on any system.
    const QString failure = SafeFile::replace(path, bytes, SafeFile::InPlace::WhenFolderRefuses);
    if (!failure.isEmpty()) {
        qCWarning(lcDocument).noquote() << "saving" << path << "failed:" << failure;
        return false;
    }
    return true;
}

QString DocumentFiles::tooLongText(qsizetype chars)
{
    const QString limit = number(MaxDocumentChars);
    if (chars < 0)
        return QStringLiteral("這份文件太大，無法開啟（最多 %1 字）。").arg(limit);
    return QStringLiteral("這份文件有 %1 字，超過可開啟的上限 %2 字，無法開啟。")
        .arg(number(chars), limit);
}
