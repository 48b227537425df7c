// Text on its way to a voice, each UTF-16 unit with the stretch of the
// caller's text it stands for. The steps that rewrite text before synthesis
// (custom pronunciations, number reading, word readings) take and give this,
// so a Word event can still name the characters the caller wrote.
#pragma once

#include <QString>
#include <QVector>

struct MappedText {
    QString text;
    QVector<int> from; // source start of each unit
    QVector<int> to; // source end of each unit
    // Units written by a step rather than taken from the source. A run of
    // such units with one source stretch is one replacement: it is read on
    // its own and highlighted as a whole.
    QVector<bool> generated;

    int size() const { return int(text.size()); }
    void appendSource(QChar c, int sourceFrom, int sourceTo)
    {
        text.append(c);
        from.append(sourceFrom);
        to.append(sourceTo);
        generated.append(false);
    }
    void appendGenerated(QStringView s, int sourceFrom, int sourceTo)
    {
        for (QChar c : s) {
            text.append(c);
            from.append(sourceFrom);
            to.append(sourceTo);
            generated.append(true);
        }
    }
    // Units [i, j) of this text, kept as they are.
    void appendUnits(const MappedText &other, int i, int j)
    {
        text.append(QStringView(other.text).sliced(i, j - i));
        for (int k = i; k < j; ++k) {
            from.append(other.from[k]);
            to.append(other.to[k]);
            generated.append(other.generated[k]);
        }
    }
    // Whether units i and i + 1 belong to one replacement.
    bool sameReplacement(int i) const
    {
        return generated[i] && generated[i + 1] && from[i] == from[i + 1] && to[i] == to[i + 1];
    }

    // `source` as it stands, unit k standing for offset base + k.
    static MappedText of(const QString &source, int base = 0)
    {
        MappedText m;
        m.text = source;
        const int n = int(source.size());
        m.from.resize(n);
        m.to.resize(n);
        m.generated.fill(false, n);
        for (int k = 0; k < n; ++k) {
            m.from[k] = base + k;
            m.to[k] = base + k + 1;
        }
        return m;
    }
};
