// Whole-file reads and writes for tests that look at what a class wrote or
// hand it a file made byte by byte.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace TestFiles
{

// The file's bytes, or nothing when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces the file with `data`; a failure fails the calling test.
inline void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

} // namespace TestFiles
