#include "ShadowRim.h"

namespace {
const float kPenWidths[3] = {2.0f, 2.0f, 4.0f};
}  // namespace

void ShadowRim::SetColors(const Gdiplus::ARGB (&greys)[3])
{
    for (int i = 0; i < 3; ++i) colors[i] = greys[i];
    MakePens();
}

void ShadowRim::MakePens()
{
    ReleasePens();
    for (int i = 0; i < 3; ++i)
        pens[i].Reset(new Gdiplus::Pen(Gdiplus::Color(colors[i]), kPenWidths[i]));
}

void ShadowRim::ReleasePens()
{
    for (auto& pen : pens) pen.Reset();
}

void ShadowRim::Draw(Gdiplus::Graphics& g, const RECT& client, int margin, int radius) const
{
    ShadowOutline outlines[3];
    ShadowOutlines(client, margin, radius, outlines);
    for (int i = 0; i < 3; ++i) {
        if (!pens[i]) continue;
        Gdiplus::GraphicsPath path;
        AddRoundedRect(path, outlines[i].rect, outlines[i].radius, outlines[i].radius);
        g.DrawPath(pens[i].Get(), &path);
    }
}

void ShadowOutlines(const RECT& rc, int s, int r, ShadowOutline out[3])
{
    out[0] = {{rc.left + s - 5, rc.top + s - 5, rc.right + 4 - s, rc.bottom + 4 - s}, r + 1};
    out[1] = {{rc.left + s - 3, rc.top + s - 3, rc.right + 2 - s, rc.bottom + 2 - s}, r + 1};
    out[2] = {{rc.left + s, rc.top + s, rc.right - 1 - s, rc.bottom - 1 - s}, r - 1};
}

void AddRoundedRect(Gdiplus::GraphicsPath& path, const RECT& rc, int a, int b)
{
    const INT L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
    path.AddArc(L, T, 2 * a, 2 * b, 180.0f, 90.0f);
    path.AddLine(L + a, T, R - a, T);
    path.AddArc(R - 2 * a, T, 2 * a, 2 * b, 270.0f, 90.0f);
    path.AddLine(R, T + b, R, B - b);
    path.AddArc(R - 2 * a, B - 2 * b, 2 * a, 2 * b, 0.0f, 90.0f);
    path.AddLine(R - a, B, L + a, B);
    path.AddArc(L, B - 2 * b, 2 * a, 2 * b, 90.0f, 90.0f);
    path.AddLine(L, B - b, L, T + b);
}

RECT ShadowRectFor(const RECT& decorated, int margin)
{
    RECT r = decorated;
    if (r.right - r.left != 0) InflateRect(&r, margin, margin);
    return r;
}
