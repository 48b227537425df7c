#include "companions/CopyrightNotices.h"

#include <QFile>
#include <QtGlobal>
#include <dlfcn.h>
#include <espeak-ng/speak_lib.h>
#include <poppler-version.h>
#include <pulse/version.h>
#include <zip.h>

namespace CopyrightNotices
{

namespace
{
constexpr qint64 LargestShownFile = 4 * 1024 * 1024;

const QString Doc = QStringLiteral("/usr/share/doc/");
const QString Licences = QStringLiteral("/usr/share/common-licenses/");

// LAME is opened when an MP3 is made; its version is asked the same way.
QString lameVersion()
{
    void *handle = dlopen("libmp3lame.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return QStringLiteral("（未安裝，產生 MP3 時才需要）");
    QString version;
    using VersionFn = const char *(*)();
    if (auto fn = reinterpret_cast<VersionFn>(dlsym(handle, "get_lame_version")))
        version = QString::fromLatin1(fn());
    dlclose(handle);
    return version;
}

QString espeakVersion()
{
    const char *path = nullptr;
    const char *version = espeak_Info(&path);
    return version ? QString::fromLatin1(version) : QString();
}

QString fileText(const QString &path)
{
    QFile f(path);
    if (path.isEmpty() || f.size() > LargestShownFile || !f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}
} // namespace

QList<Notice> all()
{
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(PARLO_VERSION_MAJOR)
                                .arg(PARLO_VERSION_MINOR)
                                .arg(PARLO_VERSION_PATCH);
    return {
        {QStringLiteral("Parlo"), version,
            QStringLiteral("繁體中文文字轉語音朗讀程式，及其附屬程式與使用手冊"),
            QStringLiteral("Copyright © Parlo 開發者"),
            QStringLiteral("GNU 通用公共授權條款第 3 版或更新版本 (GPL-3.0-or-later)"), QString(),
            QString(), Licences + QStringLiteral("GPL-3")},
        {QStringLiteral("Qt 6"), QString::fromLatin1(qVersion()),
            QStringLiteral("視窗、繪圖、字型、列印與檔案處理"),
            QStringLiteral("Copyright © The Qt Company Ltd. 與其他貢獻者"),
            QStringLiteral("GNU 寬通用公共授權條款第 3 版 (LGPL-3.0-only)"),
            QStringLiteral("https://www.qt.io/"), Doc + QStringLiteral("libqt6core6/copyright"),
            Licences + QStringLiteral("LGPL-3")},
        {QStringLiteral("eSpeak NG"), espeakVersion(),
            QStringLiteral("語音合成：把文字念成聲音，包括國語的發音資料"),
            QStringLiteral("Copyright © Jonathan Duddington、Reece H. Dunn 與其他貢獻者"),
            QStringLiteral("GNU 通用公共授權條款第 3 版或更新版本 (GPL-3.0-or-later)"),
            QStringLiteral("https://github.com/espeak-ng/espeak-ng"),
            Doc + QStringLiteral("libespeak-ng1/copyright"), Licences + QStringLiteral("GPL-3")},
        {QStringLiteral("PulseAudio 用戶端程式庫 (libpulse)"),
            QString::fromLatin1(pa_get_library_version()), QStringLiteral("把聲音送到喇叭"),
            QStringLiteral("Copyright © Lennart Poettering、Pierre Ossman 與其他貢獻者"),
            QStringLiteral("GNU 寬通用公共授權條款第 2.1 版或更新版本 (LGPL-2.1-or-later)"),
            QStringLiteral("https://www.freedesktop.org/wiki/Software/PulseAudio/"),
            Doc + QStringLiteral("libpulse0/copyright"), Licences + QStringLiteral("LGPL-2.1")},
        {QStringLiteral("LAME"), lameVersion(), QStringLiteral("把 WAV 音檔轉成 MP3"),
            QStringLiteral("Copyright © Mike Cheng、Mark Taylor 與 LAME 專案的其他貢獻者"),
            QStringLiteral("GNU 寬通用公共授權條款第 2 版或更新版本 (LGPL-2.0-or-later)"),
            QStringLiteral("https://lame.sourceforge.io/"),
            Doc + QStringLiteral("libmp3lame0/copyright"), Licences + QStringLiteral("LGPL-2")},
        {QStringLiteral("uchardet"), QString(),
            QStringLiteral("判斷開啟的文稿用的是哪一種文字編碼"),
            QStringLiteral("Copyright © Mozilla 基金會與 uchardet 的貢獻者"),
            QStringLiteral(
                "Mozilla 公共授權條款 1.1 版，或 GPL-2.0-or-later，或 LGPL-2.1-or-later 三擇一"),
            QStringLiteral("https://www.freedesktop.org/wiki/Software/uchardet/"),
            Doc + QStringLiteral("libuchardet0/copyright"), Licences + QStringLiteral("MPL-1.1")},
        {QStringLiteral("libzip"), QString::fromLatin1(zip_libzip_version()),
            QStringLiteral("讀取 .docx、.odt、.epub 等壓縮格式的文稿"),
            QStringLiteral("Copyright © Dieter Baron 與 Thomas Klausner"),
            QStringLiteral("BSD 三條款授權 (BSD-3-Clause)"), QStringLiteral("https://libzip.org/"),
            Doc + QStringLiteral("libzip4/copyright"), QString()},
        {QStringLiteral("Poppler"), QStringLiteral(POPPLER_VERSION),
            QStringLiteral("讀取 PDF 文稿中的文字"),
            QStringLiteral("Copyright © Derek Noonburg（Xpdf）與 Poppler 的貢獻者"),
            QStringLiteral("GNU 通用公共授權條款第 2 版或更新版本 (GPL-2.0-or-later)"),
            QStringLiteral("https://poppler.freedesktop.org/"),
            Doc + QStringLiteral("libpoppler-cpp0v5/copyright"),
            Licences + QStringLiteral("GPL-2")},
    };
}

QString html(const Notice &n)
{
    QString out = QStringLiteral("<h2>%1</h2>").arg(n.name.toHtmlEscaped());
    auto row = [&](const QString &label, const QString &value) {
        if (!value.isEmpty())
            out += QStringLiteral("<p><b>%1：</b>%2</p>").arg(label, value);
    };
    row(QStringLiteral("版本"), n.version.toHtmlEscaped());
    row(QStringLiteral("用途"), n.role.toHtmlEscaped());
    row(QStringLiteral("版權"), n.holders.toHtmlEscaped());
    row(QStringLiteral("授權"), n.licence.toHtmlEscaped());
    if (!n.homepage.isEmpty())
        row(QStringLiteral("網站"),
            QStringLiteral("<a href=\"%1\">%1</a>").arg(n.homepage.toHtmlEscaped()));
    const QString copyright = fileText(n.copyrightFile);
    if (!copyright.isEmpty())
        out += QStringLiteral("<h3>版權聲明全文</h3><pre style=\"white-space: pre-wrap\">%1</pre>")
                   .arg(copyright.toHtmlEscaped());
    const QString licence = fileText(n.licenceFile);
    if (!licence.isEmpty())
        out += QStringLiteral("<h3>授權條款全文</h3><pre style=\"white-space: pre-wrap\">%1</pre>")
                   .arg(licence.toHtmlEscaped());
    return out;
}

} // namespace CopyrightNotices
