// The work of one parlo-render run: every input found (files given, files
// found in folders, standard input, --text) with the path its outputs get,
// and what one input's rendering produced. Jobs travel to worker processes as
// one line of JSON each.
#pragma once

#include "document/DocumentResult.h"
#include "render/RenderOptions.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

struct RenderJob {
    enum class Source { File, Bytes, Text };
    int id = 0;
    Source source = Source::File;
    QString path; // File: the document
    QByteArray bytes; // Bytes: the document's content (standard input)
    QString text; // Text: the text itself
    QString label; // names the input in messages
    QString base; // output path without extension

    QJsonObject toJson() const;
    static RenderJob fromJson(const QJsonObject &json);
};

struct JobOutcome {
    enum class Kind { Rendered, Kept, Failed, Cancelled };
    Kind kind = Kind::Failed;
    QString message; // why it failed, which output was kept, or what a rendered book lacked
};

struct JobList {
    QList<RenderJob> jobs;
    // Inputs that gave no job (missing, unreadable folder, a clash of output
    // names), each a full message naming the input.
    QStringList errors;
};

// What "-" gave: its bytes, or why it was refused.
struct StandardInput {
    QByteArray bytes;
    QString error; // a full message naming the input; empty when read
};

// Reads standard input (file descriptor `fd`) under the limits a file has:
// refused as soon as it passes the size limit or shows binary data, without
// reading the rest.
StandardInput readStandardInput(int fd = 0, const Document::Limits &limits = {});

// The file name extensions the document reader understands.
const QStringList &documentExtensions();

// Expands the inputs in order: a folder gives its documents (subfolders too,
// sorted by path; hidden files left out) that match the globs; "-" reads
// `standardInput` once (its error, when it has one). Output names follow options.output (see
// --output).
JobList collectJobs(const RenderOptions &options, const StandardInput &standardInput);
