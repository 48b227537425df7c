#include "speech/PhoneMap.h"

namespace PhoneMap
{

short phoneIdFor(Mouth mouth)
{
    switch (mouth) {
    case Closed:
        return 15;
    case Relaxed:
        return 27;
    case Wide:
        return 56;
    case Half:
        return 19;
    case Spread:
        return 22;
    case RoundSmall:
        return 52;
    case RoundMid:
        return 28;
    case RoundOpen:
        return 68;
    case TeethLip:
        return 16;
    case Teeth:
        return 23;
    case Tongue:
        return 151;
    case Rhotic:
        return 217;
    }
    return 15;
}

namespace
{

Phone make(Mouth mouth, int viseme)
{
    return Phone {mouth, phoneIdFor(mouth), viseme, false};
}

} // namespace

Phone lookup(const QByteArray &raw)
{
    // Drop stress marks and anything before the phoneme proper.
    QByteArray m = raw;
    while (!m.isEmpty() && (m.at(0) == '\'' || m.at(0) == ',' || m.at(0) == '%' || m.at(0) == '='))
        m.remove(0, 1);
    if (m.isEmpty() || m.at(0) == '_')
        return Phone {Closed, phoneIdFor(Closed), 0, true};
    const char c = m.at(0);
    const char next = m.size() > 1 ? m.at(1) : '\0';
    // Affricates and retroflex sibilants are shaped by their hiss.
    if ((c == 't' || c == 'd') && (next == 's' || next == 'S' || next == 'z' || next == 'Z'))
        return make(Teeth, (next == 'S' || next == 'Z') ? 16 : 15);
    switch (c) {
    case 'p':
    case 'b':
    case 'm':
        return make(Closed, 21);
    case 'f':
    case 'v':
        return make(TeethLip, 18);
    case 'T':
    case 'D':
        return make(Tongue, 17);
    case 'l':
    case 'L':
        return make(Tongue, 14);
    case 's':
    case 'z':
        return make(Teeth, next == '.' ? 16 : 15);
    case 'S':
    case 'Z':
        return make(Teeth, 16);
    case 'r':
    case 'R':
        return make(Rhotic, 13);
    case 'w':
        return make(RoundSmall, 7);
    case 'j':
    case ';':
        return make(Spread, 6);
    case 't':
    case 'd':
    case 'n':
        return make(Relaxed, 19);
    case 'k':
    case 'g':
    case 'N':
    case 'x':
    case 'X':
    case 'c':
    case 'J':
    case 'q':
    case 'G':
    case 'Q':
        return make(Relaxed, 20);
    case 'h':
    case 'H':
    case '?':
        return make(Relaxed, 12);
    case 'a':
        if (next == 'I')
            return make(Wide, 11);
        if (next == 'U')
            return make(Wide, 9);
        return make(Wide, 2);
    case 'A':
    case '&':
        return make(Wide, 2);
    case 'e':
    case 'E':
        return make(Half, 4);
    case 'i':
    case 'I':
        return make(Spread, 6);
    case 'o':
        return make(RoundMid, 8);
    case 'O':
        return make(RoundOpen, next == 'I' ? 10 : 3);
    case 'u':
    case 'U':
    case 'y':
    case 'Y':
        return make(RoundSmall, 7);
    case '@':
    case 'V':
        return make(Relaxed, 1);
    case '3':
        return make(Relaxed, 5);
    default:
        return make(Relaxed, 19);
    }
}

} // namespace PhoneMap
