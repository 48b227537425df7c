#include "render/RenderOptions.h"

#include "speech/neural/NeuralVoiceFolder.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace
{

enum class Id {
    Output,
    Glob,
    FollowLinks,
    Text,
    Mp3,
    NoWav,
    Stdout,
    Srt,
    Lrc,
    M4b,
    Bitrate,
    ChapterLevel,
    Split,
    Voice,
    VoiceDir,
    Rate,
    Volume,
    Xml,
    ListVoices,
    ShowReading,
    Jobs,
    MaxDuration,
    Quiet,
    Force,
    Help,
    Version,
    Worker,
    ManPage,
};

struct OptionDoc {
    Id id;
    const char *shortName; // without '-', or nullptr
    const char *longName; // without "--"
    const char *argument; // nullptr: a switch
    const char *english; // nullptr: internal, not documented
    const char16_t *chinese;
};

const OptionDoc Options[] = {
    {Id::Output, "o", "output", "DIR",
        "Write the outputs under DIR (a folder input keeps its name and subfolders). With one "
        "input, a name ending in .wav, .mp3 or .m4b names the output itself. Default: beside "
        "each input; for - and --text, the current folder.",
        u"輸出到資料夾 DIR（輸入的資料夾保留其名稱與子資料夾）。只有一個輸入時，可直接給以 "
        u".wav、.mp3 或 "
        u".m4b "
        u"結尾的檔名。預設：與輸入檔放在一起；- 與 --text 則放在目前資料夾。"},
    {Id::Glob, nullptr, "glob", "PATTERN",
        "In folders, read the files whose name matches PATTERN (repeatable, e.g. '*.txt'). "
        "Default: every document the reader understands.",
        u"讀取資料夾時只取檔名符合 PATTERN 的檔案（可重複，例如 '*.txt'）。預設：所有可讀的文件。"},
    {Id::FollowLinks, nullptr, "follow-links", nullptr,
        "In folders, also read files that symbolic links lead to outside the folder given. "
        "Default: such links are skipped.",
        u"讀取資料夾時，也讀取符號連結指向資料夾外的檔案。預設：略過這類連結。"},
    {Id::Text, nullptr, "text", "TEXT", "Render TEXT itself (output name: text, text-2, ...).",
        u"直接轉出 TEXT 這段文字（輸出檔名：text、text-2…）。"},
    {Id::Mp3, nullptr, "mp3", nullptr,
        "Also write an .mp3 (44.1 kHz, 32 kbit/s, mono), as the window's Save .WAV & .MP3.",
        u"同時輸出 .mp3（44.1 kHz、32 kbit/s、單聲道），與視窗的「存成 WAV 與 MP3」相同。"},
    {Id::NoWav, nullptr, "no-wav", nullptr, "Keep no .wav (with --mp3, --m4b, --srt or --lrc).",
        u"不保留 .wav（與 --mp3、--m4b、--srt 或 --lrc 並用）。"},
    {Id::Stdout, nullptr, "stdout", nullptr,
        "Write the WAV to standard output (one input only), for pipes.",
        u"把 WAV 寫到標準輸出（只能有一個輸入），方便接管線。"},
    {Id::Srt, nullptr, "srt", nullptr,
        "Write SubRip subtitles (.srt), one cue per sentence, timed to the audio.",
        u"輸出 SubRip 字幕（.srt），每句一段，時間與聲音對齊。"},
    {Id::Lrc, nullptr, "lrc", nullptr,
        "Write enhanced LRC lyrics (.lrc) with a time on every word or Chinese character.",
        u"輸出增強型 LRC 歌詞（.lrc），每個詞或每個中文字都有時間。"},
    {Id::M4b, nullptr, "m4b", nullptr,
        "Also write an audiobook (.m4b: AAC in MP4, mono) with a chapter mark where each chapter "
        "is heard, titled, tagged with the author and the cover from the document.",
        u"同時輸出有聲書（.m4b：MP4 中的 "
        u"AAC，單聲道），每章開始朗讀處有章節標記，並帶有文件的書名、作者與封面。"},
    {Id::Bitrate, nullptr, "bitrate", "N",
        "Bit rate of the .m4b in kbit/s, 16 to 256. Default: 64.",
        u".m4b 的位元率（kbit/s），16 到 256。預設：64。"},
    {Id::ChapterLevel, nullptr, "chapter-level", "N",
        "Chapters are the book's table of contents, headings (Heading 1, h1) and chapter lines "
        "(第…章, Chapter N); with 2, sections (Heading 2, h2) too. Default: 1.",
        u"章節取自書的目錄、標題（標題 1、h1）與章節行（第…章、Chapter N）；設為 2 "
        u"時也包含小節（標題 2、h2）。預設：1。"},
    {Id::Split, nullptr, "split", "chapters",
        "Write one file per chapter in every format asked for, into a folder named after the "
        "book: 01 序.wav, 02 上山.wav, ...",
        u"每章各輸出一個檔案（所有要求的格式），放在以書名命名的資料夾中：01 序.wav、02 上山.wav…"},
    {Id::Voice, "v", "voice", "NAME",
        "The voice, by its name in --list-voices, its espeak-ng name or, for a natural voice, its "
        "folder's name. Default: the first.",
        u"發音人，用 --list-voices 列出的名稱、espeak-ng "
        u"名稱，或自然語音的資料夾名稱。預設：第一位。"},
    {Id::VoiceDir, nullptr, "voice-dir", "DIR",
        "Also offer the natural voices in DIR: an unpacked sherpa-onnx voice (tokens.txt and an "
        ".onnx model), or a folder of such voices (repeatable). They are listed after the "
        "espeak-ng voices; ~/.local/share/Parlo/voices is always looked in. They need Node.js and "
        "the runtime of tools/install-neural-runtime.sh.",
        u"另外提供 DIR 中的自然語音：一個解開的 sherpa-onnx 語音（tokens.txt 與 .onnx "
        u"模型），或放著多個這種語音的資料夾（可重複）。它們列在 espeak-ng 發音人之後；"
        u"~/.local/share/Parlo/voices 一律會查看。需要 Node.js 與 "
        u"tools/install-neural-runtime.sh 安裝的執行環境。"},
    {Id::Rate, "r", "rate", "N", "Speaking rate, -10 (slow) to 10 (fast). Default: 0.",
        u"語速，-10（慢）到 10（快）。預設：0。"},
    {Id::Volume, nullptr, "volume", "N", "Volume, 0 to 100. Default: 100.",
        u"音量，0 到 100。預設：100。"},
    {Id::Xml, nullptr, "xml", nullptr,
        "Read the texts as speech markup (<rate>, <pitch>, <silence>, <voice>, ...).",
        u"以語音標記模式朗讀文稿（<rate>、<pitch>、<silence>、<voice>…）。"},
    {Id::ListVoices, nullptr, "list-voices", nullptr, "List the installed voices and exit.",
        u"列出已安裝的發音人後結束。"},
    {Id::ShowReading, nullptr, "show-reading", nullptr,
        "Print, for each argument, the syllables the Mandarin voice will speak, and exit.",
        u"逐一印出每個參數以國語發音人朗讀時的音節後結束。"},
    {Id::Jobs, "j", "jobs", "N",
        "Render N files at once, each in its own process. Default: one per core.",
        u"同時轉出 N 個檔案，每個在自己的行程中。預設：每個處理器核心一個。"},
    {Id::MaxDuration, nullptr, "max-duration", "TIME",
        "Refuse an input whose speech would last longer than TIME, as estimated before it is "
        "spoken (seconds, or with s, m or h: 90m, 2h). An input is always refused when its "
        "outputs cannot fit on the output's file system.",
        u"預估朗讀時間超過 TIME 的輸入不轉出（秒數，或加上 "
        u"s、m、h：90m、2h）。輸出檔放不進輸出位置的"
        u"檔案系統時，一律不轉出。"},
    {Id::Quiet, "q", "quiet", nullptr, "No progress bar and no summary; errors only.",
        u"不顯示進度列與摘要，只顯示錯誤。"},
    {Id::Force, "f", "force", nullptr,
        "Replace existing outputs. Without it an input whose output exists is skipped.",
        u"取代已存在的輸出檔。未指定時，輸出檔已存在的輸入會略過。"},
    {Id::Help, "h", "help", nullptr, "Show this help and exit.", u"顯示本說明後結束。"},
    {Id::Version, nullptr, "version", nullptr, "Show the version and exit.", u"顯示版本後結束。"},
    {Id::Worker, nullptr, "worker", nullptr, nullptr, nullptr},
    {Id::ManPage, nullptr, "write-man-page", "FILE", nullptr, nullptr},
};

const OptionDoc *findLong(QStringView name)
{
    for (const OptionDoc &o : Options) {
        if (name == QLatin1String(o.longName))
            return &o;
    }
    return nullptr;
}

const OptionDoc *findShort(QChar name)
{
    for (const OptionDoc &o : Options) {
        if (o.shortName && name == QLatin1Char(o.shortName[0]))
            return &o;
    }
    return nullptr;
}

bool toInt(const QString &text, int low, int high, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// "90", "90s", "15m", "2h" in seconds; false when it is none of those or not
// above zero.
bool toSeconds(const QString &text, double *seconds)
{
    QString number = text.trimmed().toLower();
    double unit = 1;
    if (number.endsWith(u'h'))
        unit = 3600;
    else if (number.endsWith(u'm'))
        unit = 60;
    if (number.endsWith(u'h') || number.endsWith(u'm') || number.endsWith(u's'))
        number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok) * unit;
    if (!ok || !(value > 0) || !std::isfinite(value))
        return false;
    *seconds = value;
    return true;
}

// Applies one option; returns an error message or an empty string.
QString apply(const OptionDoc &o, const QString &value, RenderOptions &r)
{
    const QString name = QLatin1String("--") + QLatin1String(o.longName);
    switch (o.id) {
    case Id::Output:
        r.output = value;
        break;
    case Id::Glob: {
        const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(value));
        if (!pattern.isValid())
            return bilingual(
                "%1 %2 is not a file name pattern (%3)", "%1 %2 不是有效的檔名樣式（%3）")
                .arg(name, value, pattern.errorString());
        r.globs.append(value);
        break;
    }
    case Id::FollowLinks:
        r.followLinks = true;
        break;
    case Id::Text:
        r.texts.append(value);
        break;
    case Id::Mp3:
        r.mp3 = true;
        break;
    case Id::NoWav:
        r.wav = false;
        break;
    case Id::Stdout:
        r.toStdout = true;
        break;
    case Id::Srt:
        r.srt = true;
        break;
    case Id::Lrc:
        r.lrc = true;
        break;
    case Id::M4b:
        r.m4b = true;
        break;
    case Id::Bitrate:
        if (!toInt(value, 16, 256, &r.bitrate))
            return bilingual("%1 takes a number from 16 to 256", "%1 需要 16 到 256 的數字")
                .arg(name);
        break;
    case Id::ChapterLevel:
        if (!toInt(value, 1, 2, &r.chapterLevel))
            return bilingual("%1 takes 1 or 2", "%1 需要 1 或 2").arg(name);
        break;
    case Id::Split:
        if (value != u"chapters")
            return bilingual("%1 takes \"chapters\"", "%1 只接受 chapters").arg(name);
        r.splitChapters = true;
        break;
    case Id::Voice:
        r.voice = value;
        break;
    case Id::VoiceDir: {
        const QFileInfo folder(value);
        if (!folder.isDir())
            return bilingual("%1 %2 is not a folder", "%1 %2 不是資料夾").arg(name, value);
        if (NeuralVoiceFolder::voiceFoldersIn(value).isEmpty())
            return bilingual("%1 %2 holds no voice (a folder with tokens.txt and an .onnx model)",
                "%1 %2 中沒有語音（含 tokens.txt 與 .onnx 模型的資料夾）")
                .arg(name, value);
        r.voiceDirs.append(folder.absoluteFilePath());
        break;
    }
    case Id::Rate:
        if (!toInt(value, -10, 10, &r.rate))
            return bilingual("%1 takes a number from -10 to 10", "%1 需要 -10 到 10 的數字")
                .arg(name);
        break;
    case Id::Volume:
        if (!toInt(value, 0, 100, &r.volume))
            return bilingual("%1 takes a number from 0 to 100", "%1 需要 0 到 100 的數字")
                .arg(name);
        break;
    case Id::Xml:
        r.xml = true;
        break;
    case Id::ListVoices:
        r.listVoices = true;
        break;
    case Id::ShowReading:
        r.showReading = true; // the texts are the arguments
        break;
    case Id::Jobs:
        if (!toInt(value, 1, 1024, &r.jobs))
            return bilingual("%1 takes a number of at least 1", "%1 需要至少為 1 的數字").arg(name);
        break;
    case Id::MaxDuration:
        if (!toSeconds(value, &r.maxDurationSeconds))
            return bilingual("%1 takes a time above zero, such as 90, 45m or 2h",
                "%1 需要大於零的時間，例如 90、45m 或 2h")
                .arg(name);
        break;
    case Id::Quiet:
        r.quiet = true;
        break;
    case Id::Force:
        r.force = true;
        break;
    case Id::Help:
        r.help = true;
        break;
    case Id::Version:
        r.version = true;
        break;
    case Id::Worker:
        r.worker = true;
        break;
    case Id::ManPage:
        r.manPage = value;
        break;
    }
    return QString();
}

QString check(RenderOptions &r)
{
    if (r.help || r.version || r.listVoices || r.worker || !r.manPage.isEmpty())
        return QString();
    if (r.showReading) {
        return r.inputs.isEmpty()
            ? bilingual("--show-reading needs a text", "--show-reading 需要文字")
            : QString();
    }
    const qsizetype count = r.inputs.size() + r.texts.size();
    if (count == 0)
        return bilingual("nothing to render: give files, folders, - or --text",
            "沒有要轉出的內容：請給檔案、資料夾、- 或 --text");
    if (r.inputs.count(QStringLiteral("-")) > 1)
        return bilingual("- may be given once", "- 只能出現一次");
    if (r.toStdout) {
        if (count != 1 || !r.output.isEmpty() || r.mp3 || r.srt || r.lrc || r.m4b || r.splitChapters
            || !r.wav)
            return bilingual("--stdout takes one input and no other output",
                "--stdout 只能有一個輸入，且不能有其他輸出");
    }
    if (r.splitChapters
        && (r.output.toLower().endsWith(u".wav") || r.output.toLower().endsWith(u".mp3")
            || r.output.toLower().endsWith(u".m4b")))
        return bilingual("--split chapters writes into a folder: give -o a folder",
            "--split chapters 會輸出到資料夾：-o 請給資料夾");
    if (!r.wav && !r.mp3 && !r.srt && !r.lrc && !r.m4b)
        return bilingual("--no-wav leaves nothing to write", "--no-wav 之後沒有要輸出的檔案");
    return QString();
}

QString optionSynopsis(const OptionDoc &o)
{
    QString s = o.shortName ? QStringLiteral("-%1, ").arg(QLatin1String(o.shortName))
                            : QStringLiteral("    ");
    s += QLatin1String("--") + QLatin1String(o.longName);
    if (o.argument)
        s += u' ' + QLatin1String(o.argument);
    return s;
}

// Escapes text for troff: backslashes, and a leading dot or quote.
QString troff(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    text.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    if (text.startsWith(u'.') || text.startsWith(u'\''))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

// Columns a character takes on a terminal: East Asian wide ones take two.
int columns(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF)
            || (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF)
            || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
            || (u >= 0xFFE0 && u <= 0xFFE6)
        ? 2
        : 1;
}

// Wraps text to `width` columns after `indent` blanks: Western text at
// blanks, Chinese text between any two characters.
QString wrap(const QString &text, int indent, int width)
{
    const QString margin(indent, QLatin1Char(' '));
    QString out = margin;
    int used = indent;
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype w = 0; w < words.size(); ++w) {
        const QString &word = words[w];
        int wordColumns = 0;
        for (const QChar c : word)
            wordColumns += columns(c);
        const bool wide
            = std::any_of(word.begin(), word.end(), [](QChar c) { return columns(c) == 2; });
        if (w > 0 && !wide && used + 1 + wordColumns > width) {
            out += u'\n' + margin;
            used = indent;
        } else if (w > 0) {
            out += u' ';
            ++used;
        }
        for (const QChar c : word) {
            if (used + columns(c) > width) {
                out += u'\n' + margin;
                used = indent;
            }
            out += c;
            used += columns(c);
        }
    }
    return out + u'\n';
}

constexpr int HelpWidth = 79;
constexpr int HelpIndent = 8;

const char *const UsageLine = "parlo-render [OPTIONS] FILE|DIR|- ... [--text TEXT ...]";

} // namespace

namespace
{

bool chineseMessages()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value.startsWith("zh");
    }
    return false;
}

} // namespace

QString bilingual(const char *english, const char *chinese)
{
    const QString en = QString::fromUtf8(english);
    const QString zh = QString::fromUtf8(chinese);
    if (en == zh)
        return en;
    return en.endsWith(u'\n') ? en + zh : en + QStringLiteral(" / ") + zh;
}

QString inUserLanguage(const char *english, const char *chinese)
{
    static const bool zh = chineseMessages();
    return QString::fromUtf8(zh ? chinese : english);
}

ParsedArguments parseRenderArguments(const QStringList &arguments)
{
    ParsedArguments out;
    RenderOptions &r = out.options;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (optionsEnded || arg == u"-" || !arg.startsWith(u'-')) {
            r.inputs.append(arg);
            continue;
        }
        if (arg == u"--") {
            optionsEnded = true;
            continue;
        }
        const OptionDoc *option = nullptr;
        QString value;
        bool hasValue = false;
        if (arg.startsWith(u"--")) {
            const qsizetype eq = arg.indexOf(u'=');
            option = findLong(QStringView(arg).mid(2, eq < 0 ? -1 : eq - 2));
            if (eq >= 0) {
                value = arg.mid(eq + 1);
                hasValue = true;
            }
        } else {
            option = findShort(arg.at(1));
            if (arg.size() > 2) {
                value = arg.mid(2);
                hasValue = true;
            }
        }
        if (!option) {
            out.error = bilingual("unknown option %1", "不明的選項 %1").arg(arg);
            return out;
        }
        if (option->argument && !hasValue) {
            if (i + 1 >= arguments.size()) {
                out.error = bilingual("%1 needs a value", "%1 需要一個值").arg(arg);
                return out;
            }
            value = arguments[++i];
        } else if (!option->argument && hasValue) {
            out.error = bilingual("%1 takes no value", "%1 不需要值").arg(arg);
            return out;
        }
        out.error = apply(*option, value, r);
        if (!out.error.isEmpty())
            return out;
    }
    out.error = check(r);
    return out;
}

QString renderHelpText()
{
    QString out = QStringLiteral("Usage / 用法: %1\n\n").arg(QLatin1String(UsageLine));
    out += QStringLiteral(
        "Renders documents (text, HTML, RTF, DOCX, ODT, EPUB, PDF) to speech: a .wav of 16 kHz,\n"
        "16-bit mono for each input, as Parlo's window exports it, and optionally an .mp3 and\n"
        "subtitles timed to the audio. Folders are read with their subfolders.\n"
        "將文件（純文字、HTML、RTF、DOCX、ODT、EPUB、PDF）轉成語音：每個輸入產生一個 16 kHz、\n"
        "16 位元單聲道的 .wav（與 Parlo 視窗轉出的相同），並可另外輸出 .mp3 與對齊聲音的字幕。\n"
        "資料夾會連同子資料夾一起讀取。\n\n");
    out += QStringLiteral("Options / 選項:\n");
    for (const OptionDoc &o : Options) {
        if (!o.english)
            continue;
        out += QStringLiteral("  ") + optionSynopsis(o) + u'\n'
            + wrap(QString::fromUtf8(o.english), HelpIndent, HelpWidth)
            + wrap(QString::fromUtf16(o.chinese), HelpIndent, HelpWidth) + u'\n';
    }
    out += QStringLiteral(
        "\nExit status / 結束代碼: 0 all rendered or kept / 全部完成或保留, 1 some input failed / "
        "有輸入失敗,\n  2 bad arguments / 參數錯誤, 130 interrupted / 被中斷.\n\n"
        "Example / 範例:\n"
        "  parlo-render --mp3 --srt -o audio/ lessons/\n"
        "  parlo-render --m4b --srt -o books/ 山居記.epub      # books/山居記.m4b, with chapters\n"
        "  parlo-render --split chapters --mp3 -o books/ 山居記.epub   # books/山居記/01 序.mp3 "
        "...\n"
        "  parlo-render --voice 莉娜 --rate 2 --stdout --text '你好，歡迎收聽。' | aplay\n");
    return out;
}

QString renderManPage()
{
    QString out;
    out += QStringLiteral(".TH PARLO-RENDER 1 \"%1\" \"Parlo %2.%3.%4\" \"User Commands\"\n")
               .arg(QStringLiteral("2026"))
               .arg(PARLO_VERSION_MAJOR)
               .arg(PARLO_VERSION_MINOR)
               .arg(PARLO_VERSION_PATCH);
    out += QStringLiteral(
        ".SH NAME\nparlo\\-render \\- render documents to speech with subtitles\n");
    out += QStringLiteral(
        ".SH SYNOPSIS\n.B parlo\\-render\n[\\fIOPTIONS\\fR] \\fIFILE\\fR|\\fIDIR\\fR|\\- "
        "... [\\fB\\-\\-text\\fR \\fITEXT\\fR ...]\n");
    out += QStringLiteral(
        ".SH DESCRIPTION\nRenders documents (text, HTML, RTF, DOCX, ODT, EPUB, PDF) to speech with "
        "the voices of Parlo: a .wav of 16 kHz, 16\\-bit mono for each input, as the reader's "
        "window exports it, and optionally an .mp3, an audiobook (.m4b with chapter marks, or one "
        "file per chapter) and subtitles timed to the audio. Folders are "
        "read with their subfolders. Several files are rendered at once, one process per core; "
        "the outputs are the same as when they are rendered one after another. Each output is "
        "written under a temporary name and renamed when it is complete.\n.PP\n"
        "將文件轉成語音，並可輸出 .mp3 與對齊聲音的字幕。\n");
    out += QStringLiteral(".SH OPTIONS\n");
    for (const OptionDoc &o : Options) {
        if (!o.english)
            continue;
        out += QStringLiteral(".TP\n.B %1\n%2\n.br\n%3\n")
                   .arg(troff(optionSynopsis(o).trimmed()), troff(QString::fromUtf8(o.english)),
                       troff(QString::fromUtf16(o.chinese)));
    }
    out += QStringLiteral(
        ".SH EXIT STATUS\n0: every input was rendered or its output kept; 1: some input failed "
        "(each is named on standard error, the others are still rendered); 2: bad arguments; "
        "130: interrupted.\n"
        ".SH EXAMPLES\n.nf\nparlo\\-render \\-\\-mp3 \\-\\-srt \\-o audio/ lessons/\n"
        "parlo\\-render \\-\\-m4b \\-\\-srt \\-o books/ 山居記.epub\n"
        "parlo\\-render \\-\\-split chapters \\-\\-mp3 \\-o books/ 山居記.epub\n"
        "parlo\\-render \\-\\-voice 莉娜 \\-\\-stdout \\-\\-text '你好，歡迎收聽。' | aplay\n.fi\n"
        ".SH SEE ALSO\n.BR parlo (1),\n.BR espeak\\-ng (1)\n");
    return out;
}
