// The parts the demons are built of: eyes, flames, wings, horns, crowns, fangs, weapons, claws.
#include <algorithm>
#include <cmath>

#include "tools/forge/demon_art.h"

namespace demon_art {

void eye(Canvas &cv, float x, float y, float r, Rgb c, bool glow)
{
    if (glow)
        fill_circle(cv, x, y, r * 1.7f, mix_rgb(c, 0x000000, 0.35f));
    fill_circle(cv, x, y, r, c);
    fill_circle(cv, x - r * 0.3f, y - r * 0.3f, r * 0.45f, scale_rgb(c, 1.6f));
}

void flame(Canvas &cv, float x, float y, float h, float w, float sway)
{
    fill_tri(cv, x - w, y, x + w, y, x + sway, y - h, rgb(236, 90, 20));
    fill_tri(cv, x - w * 0.55f, y, x + w * 0.55f, y, x + sway * 0.7f, y - h * 0.65f, rgb(255, 190, 40));
    fill_tri(cv, x - w * 0.25f, y, x + w * 0.25f, y, x + sway * 0.4f, y - h * 0.3f, rgb(255, 248, 170));
}

void flame_crown(Canvas &cv, float cx, float cy, float r, float flicker)
{
    for (int i = 0; i < 7; i++) {
        float a = PI * (0.12f + 0.76f * i / 6);
        float x = cx - r * std::cos(a), y = cy - r * 0.8f * std::sin(a);
        float h = r * (0.7f + 0.35f * std::sin(flicker * 2 * PI + i * 1.9f));
        flame(cv, x, y + r * 0.35f, h, r * 0.28f, 0.6f * std::sin(flicker * 2 * PI + i));
    }
}

// A bat wing from the root outward; dir is +1 to the right, -1 to the left.
void bat_wing(Canvas &cv, float rx, float ry, float dir, float span, float height, float flap, Rgb c)
{
    float jx = rx + dir * span * 0.45f, jy = ry - height + flap * 0.5f;
    float tx = rx + dir * span, ty = ry - height * 0.55f + flap;
    float s1x = rx + dir * span * 0.85f, s1y = ry + height * 0.45f + flap * 0.5f;
    float s2x = rx + dir * span * 0.55f, s2y = ry + height * 0.25f;
    float s3x = rx + dir * span * 0.3f, s3y = ry + height * 0.55f;
    float pts[] = {rx, ry, jx, jy, tx, ty, s1x, s1y, s2x, s2y, s3x, s3y, rx, ry + height * 0.3f};
    fill_poly(cv, 7, pts, c);
    Rgb bone = scale_rgb(c, 0.55f);
    stroke(cv, rx, ry, jx, jy, 1.2f, bone);
    stroke(cv, jx, jy, tx, ty, 1.0f, bone);
    stroke(cv, jx, jy, s1x, s1y, 0.8f, bone);
    stroke(cv, jx, jy, s2x, s2y, 0.8f, bone);
    fill_tri(cv, jx - 0.8f, jy, jx + 0.8f, jy, jx + dir * 0.6f, jy - 1.8f, scale_rgb(c, 0.4f));
}

void horns(Canvas &cv, const Look &L, float cx, float hy, float hr, bool side)
{
    Rgb c = L.horn, tip = scale_rgb(L.horn, 1.25f);
    switch (L.horns) {
    case NUBS:
        fill_tri(cv, cx - hr * 0.75f, hy - hr * 0.5f, cx - hr * 0.25f, hy - hr * 0.85f, cx - hr * 0.7f, hy - hr * 1.35f, c);
        if (!side)
            fill_tri(cv, cx + hr * 0.75f, hy - hr * 0.5f, cx + hr * 0.25f, hy - hr * 0.85f, cx + hr * 0.7f, hy - hr * 1.35f, c);
        break;
    case CURVED:
        for (int d = -1; d <= 1; d += 2) {
            if (side && d < 0)
                continue;
            float bx = side ? cx : cx + d * hr * 0.65f;
            float dd = side ? -1 : d;
            curve(cv, bx, hy - hr * 0.55f, bx + dd * hr * 1.5f, hy - hr * 0.9f, bx + dd * hr * 1.2f, hy - hr * 2.1f, hr * 0.42f, c);
            stroke(cv, bx + dd * hr * 1.25f, hy - hr * 1.8f, bx + dd * hr * 1.2f, hy - hr * 2.1f, hr * 0.2f, tip);
        }
        break;
    case RAM:
        for (int d = -1; d <= 1; d += 2) {
            if (side && d > 0)
                continue;
            float bx = cx + (side ? 0 : d * hr * 0.6f);
            float dd = side ? 1 : d;
            curve(cv, bx, hy - hr * 0.7f, bx + dd * hr * 1.9f, hy - hr * 1.6f, bx + dd * hr * 1.6f, hy + hr * 0.2f, hr * 0.55f, c);
            curve(cv, bx + dd * hr * 1.6f, hy + hr * 0.2f, bx + dd * hr * 1.2f, hy + hr * 0.9f, bx + dd * hr * 0.95f, hy + hr * 0.1f, hr * 0.35f, c);
            stroke(cv, bx + dd * hr * 0.5f, hy - hr * 1.05f, bx + dd * hr * 1.1f, hy - hr * 1.25f, hr * 0.12f, tip);
        }
        break;
    case SWEPT:
        for (int d = -1; d <= 1; d += 2) {
            if (side && d > 0)
                continue;
            float bx = side ? cx : cx + d * hr * 0.5f;
            float dd = side ? -1.2f : d * 0.9f;
            taper(cv, bx, hy - hr * 0.6f, bx + dd * hr * 1.6f, hy - hr * 2.2f, hr * 0.5f, hr * 0.08f, c);
        }
        break;
    case UNICORN:
        taper(cv, cx, hy - hr * 0.7f, cx + (side ? hr * 0.5f : 0), hy - hr * 2.3f, hr * 0.55f, hr * 0.06f, c);
        break;
    default:
        break;
    }
}

void crown(Canvas &cv, float cx, float top, float hr)
{
    Rgb gold = rgb(236, 190, 60);
    float w = hr * 0.85f;
    float pts[] = {cx - w, top + hr * 0.5f, cx - w, top - hr * 0.2f, cx - w * 0.55f, top + hr * 0.15f,
                   cx, top - hr * 0.45f, cx + w * 0.55f, top + hr * 0.15f, cx + w, top - hr * 0.2f,
                   cx + w, top + hr * 0.5f};
    fill_poly(cv, 7, pts, gold);
    fill_circle(cv, cx, top + hr * 0.15f, hr * 0.16f, rgb(220, 30, 40));
}

void fangs(Canvas &cv, float x1, float x2, float y, float len)
{
    Rgb tooth = rgb(250, 246, 230);
    fill_tri(cv, x1 - 0.6f, y, x1 + 0.6f, y, x1, y + len, tooth);
    fill_tri(cv, x2 - 0.6f, y, x2 + 0.6f, y, x2, y + len, tooth);
}

void weapon(Canvas &cv, const Look &L, float hx, float hy, float ang, float s, float flicker)
{
    // ang: direction the weapon points, radians, 0 = up the screen.
    float dx = std::sin(ang), dy = -std::cos(ang);
    switch (L.weapon) {
    case CLUB: {
        float ex = hx + dx * 11 * s, ey = hy + dy * 11 * s;
        taper(cv, hx - dx * 1.5f, hy - dy * 1.5f, ex, ey, 1.6f * s, 3.6f * s, rgb(120, 80, 44));
        for (int i = 0; i < 3; i++) {
            float px = hx + dx * (6 + 2.2f * i) * s, py = hy + dy * (6 + 2.2f * i) * s;
            stroke(cv, px - dy * 1.8f * s, py + dx * 1.8f * s, px + dy * 1.8f * s, py - dx * 1.8f * s, 0.8f, rgb(200, 200, 190));
        }
        break;
    }
    case SWORD:
    case FLAME_SWORD: {
        float len = (L.weapon == SWORD && L.s < 1.0f) ? 9 : 11;
        float ex = hx + dx * len * s, ey = hy + dy * len * s;
        Rgb blade = L.weapon == FLAME_SWORD ? rgb(255, 170, 40) : (L.s < 1.0f ? rgb(170, 120, 80) : rgb(196, 204, 220));
        if (L.weapon == FLAME_SWORD)
            taper(cv, hx + dx * 2, hy + dy * 2, ex + dx * 1.5f, ey + dy * 1.5f, 3.4f * s, 1.0f, rgb(220, 60, 16));
        taper(cv, hx, hy, ex, ey, 1.9f * s, 0.6f, blade);
        stroke(cv, hx + dx * 1.5f, hy + dy * 1.5f, ex - dx * 1.5f, ey - dy * 1.5f, 0.5f, scale_rgb(blade, 1.4f));
        stroke(cv, hx - dy * 2.2f * s + dx, hy + dx * 2.2f * s + dy, hx + dy * 2.2f * s + dx, hy - dx * 2.2f * s + dy, 1.2f, rgb(90, 70, 50));
        if (L.weapon == FLAME_SWORD)
            flame(cv, ex, ey + 1.5f, 3.0f + 1.2f * std::sin(flicker * 2 * PI), 1.2f, 0.5f);
        break;
    }
    case TRIDENT: {
        float ex = hx + dx * 11 * s, ey = hy + dy * 11 * s;
        stroke(cv, hx - dx * 4 * s, hy - dy * 4 * s, ex, ey, 1.1f, rgb(130, 96, 50));
        Rgb metal = rgb(210, 200, 120);
        float px = -dy, py = dx;
        stroke(cv, ex - px * 2.2f, ey - py * 2.2f, ex + px * 2.2f, ey + py * 2.2f, 1.0f, metal);
        for (int i = -1; i <= 1; i++)
            taper(cv, ex + px * 2.2f * i, ey + py * 2.2f * i, ex + px * 2.2f * i + dx * 3.5f, ey + py * 2.2f * i + dy * 3.5f, 1.0f, 0.2f, metal);
        break;
    }
    case STAFF: {
        float ex = hx + dx * 9 * s, ey = hy + dy * 9 * s;
        stroke(cv, hx - dx * 8 * s, hy - dy * 8 * s, ex, ey, 1.2f, rgb(80, 60, 50));
        float r = 2.0f + 0.3f * std::sin(flicker * 2 * PI);
        fill_circle(cv, ex, ey, r + 1.4f, rgb(30, 110, 50));
        fill_circle(cv, ex, ey, r, rgb(110, 255, 140));
        fill_circle(cv, ex - 0.5f, ey - 0.5f, r * 0.45f, rgb(230, 255, 230));
        break;
    }
    default:
        break;
    }
}

void claws(Canvas &cv, float x, float y, float dir, float s)
{
    Rgb c = rgb(240, 236, 220);
    for (int i = -1; i <= 1; i++)
        taper(cv, x + i * 0.9f * s, y + 0.6f, x + i * 1.3f * s + dir * 0.3f, y + 2.2f * s, 0.7f, 0.2f, c);
}

}  // namespace demon_art
