#pragma once

#include "platform/canvas.h"

#include <algorithm>

// Two canvases hold the same image: the same lines, boxes and texts in the same order.
inline bool sameOps(const rt::Canvas &a, const rt::Canvas &b)
{
    const auto &x = a.operations(), &y = b.operations();
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const auto &p, const auto &q) {
        return p.kind == q.kind && p.x1 == q.x1 && p.y1 == q.y1 && p.x2 == q.x2 && p.y2 == q.y2 && p.colour == q.colour
            && p.text == q.text;
    });
}
