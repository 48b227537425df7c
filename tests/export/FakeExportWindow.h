// A main window made of a plain object for the export tests: it records the
// dialog, the boxes and the progress window, and takes the reading's word
// highlights.
#pragma once

#include "export/AudioExport.h"
#include "speech/ReadingController.h"

#include <QCoreApplication>
#include <QStringList>
#include <functional>

using namespace Qt::StringLiterals;

namespace
{

const QString Sample = u"請輸入文字於此"_s;

class FakeWindow : public ReadingView, public ExportView
{
public:
    QString m_text = Sample;
    int m_selStart = 2, m_selLength = 1;
    QString m_lastDir;
    QString m_answer; // the dialog's answer
    QStringList m_dialog; // filter, index, title, folder, flags
    QStringList m_boxes; // "kind|title|text", kind "warning", "ok", "failed" or an icon number
    QStringList m_progress; // caption + label when shown, "hidden"
    int m_words = 0;
    std::function<void()> m_onPump;

    QString text() const override { return m_text; }
    int selStart() const override { return m_selStart; }
    int selLength() const override { return m_selLength; }
    QString lastDir() const override { return m_lastDir; }
    void setLastDir(const QString &folder) override { m_lastDir = folder; }
    QString showSaveDialog(const QString &filter, int index, const QString &title,
        const QString &folder, int flags) override
    {
        m_dialog = {filter, QString::number(index), title, folder, QString::number(flags)};
        return m_answer;
    }
    void showWarning(const QString &text) override { m_boxes.append(u"warning||"_s + text); }
    void showResult(bool ok, const QString &title, const QString &text) override
    {
        m_boxes.append((ok ? u"ok|"_s : u"failed|"_s) + title + u'|' + text);
    }
    void showProgress(const QString &caption, const QString &label) override
    {
        m_progress.append(caption + u'|' + label);
    }
    void updateProgress(int, const QString &) override { }
    void hideProgress() override { m_progress.append(u"hidden"_s); }
    void pumpMessages() override
    {
        if (m_onPump)
            m_onPump();
        QCoreApplication::processEvents();
    }

    int voiceCount() const override { return 1; }
    void setSelStart(int start) override
    {
        m_selStart = start;
        ++m_words;
    }
    void setSelLength(int length) override { m_selLength = length; }
    void setVoicePaneEnabled(bool) override { }
    void setSpeakCaption(const QString &) override { }
    void setPauseEnabled(bool) override { }
    void setPauseCaption(const QString &) override { }
    QString pauseTag() const override { return {}; }
    void setPauseTag(const QString &) override { }
    void showClipMessage(const QString &) override { }
};

} // namespace
