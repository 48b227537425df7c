// The pixels of a one-pixel line, as the drawing platform sets them.
#pragma once

#include <QtGlobal>

#include <cstdlib>

// Bresenham from (x1, y1) towards (x2, y2), the end point itself excluded;
// every pixel visited once. plotAt(x, y) returns false to stop early.
template<typename Plot> void walkLine(qint64 x1, qint64 y1, qint64 x2, qint64 y2, Plot plotAt)
{
    const qint64 dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const qint64 sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    qint64 err = dx + dy;
    qint64 x = x1, y = y1;
    while (x != x2 || y != y2) {
        if (!plotAt(x, y))
            return;
        const qint64 e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}
