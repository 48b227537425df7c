// The command line of parlo-render: what it asks for, how it is read, and the
// help text and manual page, both made from one table of options so that they
// never disagree with what the parser accepts.
#pragma once

#include <QString>
#include <QStringList>

struct RenderOptions {
    QStringList inputs; // files, folders and "-" (standard input), in order
    QStringList texts; // --text, each one a document of its own
    QString output; // -o: a folder, or a .wav/.mp3 name for a single input
    QStringList globs; // file name patterns for folders; empty: every known document
    bool followLinks = false; // in folders, follow links that lead out of the folder
    bool wav = true;
    bool mp3 = false;
    bool toStdout = false;
    bool srt = false;
    bool lrc = false;
    bool m4b = false; // an audiobook: AAC in MP4 with chapter marks
    int bitrate = 64; // kbit/s of the .m4b
    int chapterLevel = 1; // 2: sections (Heading 2, h2) are chapters too
    bool splitChapters = false; // one file per chapter, in a folder named after the book
    QString voice; // empty: the first voice, as in the window
    QStringList voiceDirs; // --voice-dir: natural voices beside the installed ones (absolute)
    int rate = 0; // -10..10
    int volume = 100; // 0..100
    bool xml = false;
    int jobs = 0; // worker processes; 0: one per core
    double maxDurationSeconds = 0; // --max-duration; 0: no limit
    bool quiet = false;
    bool force = false;
    bool listVoices = false;
    bool help = false;
    bool version = false;
    bool showReading = false; // print the Mandarin reading of each input text
    bool worker = false; // internal: render jobs read from standard input
    QString manPage; // internal: write the manual page to this file
};

struct ParsedArguments {
    RenderOptions options;
    QString error; // empty when the arguments were understood
};

// `arguments` without the program name.
ParsedArguments parseRenderArguments(const QStringList &arguments);

// The help, in English and Traditional Chinese, and the troff manual page.
QString renderHelpText();
QString renderManPage();

// A message in both languages (given in UTF-8), English first, as the help
// gives them: on two lines where each is a line of its own, else joined by
// " / ".
QString bilingual(const char *english, const char *chinese);
// The user's language alone (Chinese where LC_ALL, LC_MESSAGES or LANG is
// zh*), for the progress line, which is redrawn in place on one line.
QString inUserLanguage(const char *english, const char *chinese);
