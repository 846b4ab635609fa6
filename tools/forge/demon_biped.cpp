// The biped plan of the demons: imps, gremlins, skeletons, brutes, gargoyles, lords.
#include <algorithm>
#include <cmath>

#include "tools/forge/demon_art.h"

namespace demon_art {

Frame biped_frame(const Look &L, float cx, const Motion &m)
{
    Frame f;
    f.cx = cx;
    f.ground = 38.0f;
    f.s = L.s;
    float leg = 7.0f * L.s;
    f.hip_y = f.ground - 1.6f - leg + m.bob;
    float torso_h = 9.5f * L.s;
    f.torso_cy = f.hip_y - torso_h / 2 + 0.6f;
    f.torso_ry = torso_h / 2 + 1.0f;
    f.tw = L.width * L.s;
    f.sh_y = f.hip_y - torso_h + 1.8f;
    f.hr = L.head * L.s;
    f.head_y = f.sh_y - f.hr * 0.7f + L.hunch * L.s;
    f.leg_w = (L.ribs ? 2.2f : 3.0f + L.width * 0.2f) * L.s;
    f.arm_w = (L.ribs ? 1.8f : 2.2f + L.width * 0.22f) * L.s;
    return f;
}

void biped_legs_front(Canvas &cv, const Look &L, const Frame &f, const Motion &m)
{
    Rgb leg = L.armour ? scale_rgb(L.skin, 0.8f) : scale_rgb(L.skin, 0.8f);
    for (int d = -1; d <= 1; d += 2) {
        float lift = d < 0 ? m.lift_l : m.lift_r;
        float hx = f.cx + d * f.tw * 0.45f, fx = f.cx + d * (f.tw * 0.55f + 0.4f);
        float fy = f.ground - 1.0f - lift + d * m.reach * 1.5f * f.s;
        stroke(cv, hx, f.hip_y, fx, fy - 1.0f, f.leg_w, leg);
        fill_ellipse(cv, fx, fy, f.leg_w * 0.8f + 0.4f, 1.5f, scale_rgb(leg, 0.8f));
        if (!L.armour)
            claws(cv, fx, fy, 0, 0.8f);
    }
}

void biped_torso(Canvas &cv, const Look &L, const Frame &f, bool back)
{
    Rgb body = back ? scale_rgb(L.skin, 0.9f) : L.skin;
    shaded_ellipse(cv, f.cx, f.torso_cy, f.tw, f.torso_ry, body);
    if (L.ribs) {
        fill_ellipse(cv, f.cx, f.torso_cy, f.tw * 0.7f, f.torso_ry * 0.75f, scale_rgb(L.skin, 0.35f));
        for (int i = 0; i < 3; i++) {
            float y = f.torso_cy - f.torso_ry * 0.45f + i * 1.8f;
            stroke(cv, f.cx - f.tw * 0.7f, y, f.cx + f.tw * 0.7f, y, 0.9f, L.skin);
        }
        stroke(cv, f.cx, f.torso_cy - f.torso_ry * 0.7f, f.cx, f.torso_cy + f.torso_ry * 0.8f, 1.0f, L.skin);
        return;
    }
    if (L.armour) {
        fill_rect(cv, f.cx - f.tw * 0.8f, f.torso_cy + f.torso_ry * 0.35f, f.cx + f.tw * 0.8f, f.torso_cy + f.torso_ry * 0.55f,
                  scale_rgb(L.skin, 0.5f));
        if (!back)
            fill_tri(cv, f.cx - f.tw * 0.5f, f.torso_cy - f.torso_ry * 0.5f, f.cx + f.tw * 0.5f, f.torso_cy - f.torso_ry * 0.5f,
                     f.cx, f.torso_cy + f.torso_ry * 0.2f, L.belly);
        return;
    }
    if (!back) {
        fill_ellipse(cv, f.cx, f.torso_cy + f.torso_ry * 0.2f, f.tw * 0.6f, f.torso_ry * 0.6f, L.belly);
        if (L.flames) {
            // Cracks of fire across the chest.
            stroke(cv, f.cx - f.tw * 0.6f, f.torso_cy - 2, f.cx, f.torso_cy + 1, 0.8f, rgb(255, 200, 60));
            stroke(cv, f.cx + f.tw * 0.6f, f.torso_cy - 2.5f, f.cx, f.torso_cy + 1, 0.8f, rgb(255, 200, 60));
        }
    } else {
        stroke(cv, f.cx, f.torso_cy - f.torso_ry * 0.7f, f.cx, f.torso_cy + f.torso_ry * 0.7f, 0.9f, scale_rgb(L.skin, 0.6f));
    }
}

void shoulder_spikes(Canvas &cv, const Look &L, const Frame &f)
{
    Rgb c = L.horn;
    for (int d = -1; d <= 1; d += 2) {
        float x = f.cx + d * f.tw * 0.85f, y = f.sh_y;
        fill_ellipse(cv, x, y + 0.5f, f.arm_w * 0.9f, f.arm_w * 0.6f, scale_rgb(L.skin, L.armour ? 1.2f : 0.8f));
        taper(cv, x, y, x + d * 1.6f * f.s, y - 3.4f * f.s, 1.8f * f.s, 0.2f, c);
    }
}

void head_front(Canvas &cv, const Look &L, const Frame &f, const Motion &m, bool glow)
{
    float cx = f.cx, hy = f.head_y, hr = f.hr;
    if (L.ears) {
        fill_tri(cv, cx - hr * 0.7f, hy - hr * 0.2f, cx - hr * 0.6f, hy + hr * 0.35f, cx - hr * 2.0f, hy - hr * 0.7f, scale_rgb(L.skin, 0.85f));
        fill_tri(cv, cx + hr * 0.7f, hy - hr * 0.2f, cx + hr * 0.6f, hy + hr * 0.35f, cx + hr * 2.0f, hy - hr * 0.7f, scale_rgb(L.skin, 0.85f));
    }
    horns(cv, L, cx, hy, hr, false);
    Rgb face = L.skin;
    shaded_ellipse(cv, cx, hy, hr, hr * 0.92f, face);
    if (L.armour) {
        // Helm: a dark visor slit with the eyes burning in it.
        fill_rect(cv, cx - hr * 0.75f, hy - hr * 0.2f, cx + hr * 0.75f, hy + hr * 0.25f, rgb(16, 16, 22));
        stroke(cv, cx, hy + hr * 0.3f, cx, hy + hr * 0.85f, 0.8f, rgb(16, 16, 22));
        eye(cv, cx - hr * 0.38f, hy, hr * 0.17f, L.eye, true);
        eye(cv, cx + hr * 0.38f, hy, hr * 0.17f, L.eye, true);
        return;
    }
    if (L.ribs || L.plan == ROBED) {
        // A skull: dark sockets with a spark in each, a row of teeth.
        fill_circle(cv, cx - hr * 0.4f, hy - hr * 0.05f, hr * 0.3f, rgb(30, 20, 20));
        fill_circle(cv, cx + hr * 0.4f, hy - hr * 0.05f, hr * 0.3f, rgb(30, 20, 20));
        fill_circle(cv, cx - hr * 0.4f, hy - hr * 0.05f, hr * 0.13f, L.eye);
        fill_circle(cv, cx + hr * 0.4f, hy - hr * 0.05f, hr * 0.13f, L.eye);
        fill_tri(cv, cx - hr * 0.15f, hy + hr * 0.45f, cx + hr * 0.15f, hy + hr * 0.45f, cx, hy + hr * 0.2f, rgb(40, 30, 30));
        fill_rect(cv, cx - hr * 0.45f, hy + hr * 0.6f, cx + hr * 0.45f, hy + hr * 0.8f + (m.mouth ? 0.8f : 0), rgb(40, 30, 30));
        for (int i = -1; i <= 1; i++)
            stroke(cv, cx + i * hr * 0.25f, hy + hr * 0.58f, cx + i * hr * 0.25f, hy + hr * 0.82f, 0.5f, L.skin);
        return;
    }
    // Brows slant down to the middle: angry.
    Rgb brow = scale_rgb(L.skin, 0.45f);
    if (L.eyes == 1) {
        eye(cv, cx, hy - hr * 0.1f, hr * 0.42f, L.eye, glow);
        fill_circle(cv, cx, hy - hr * 0.1f, hr * 0.17f, rgb(30, 10, 10));
        stroke(cv, cx - hr * 0.6f, hy - hr * 0.6f, cx + hr * 0.6f, hy - hr * 0.6f, 0.9f, brow);
    } else {
        eye(cv, cx - hr * 0.4f, hy - hr * 0.1f, hr * 0.2f + 0.15f, L.eye, glow);
        eye(cv, cx + hr * 0.4f, hy - hr * 0.1f, hr * 0.2f + 0.15f, L.eye, glow);
        stroke(cv, cx - hr * 0.75f, hy - hr * 0.5f, cx - hr * 0.15f, hy - hr * 0.28f, 0.9f, brow);
        stroke(cv, cx + hr * 0.75f, hy - hr * 0.5f, cx + hr * 0.15f, hy - hr * 0.28f, 0.9f, brow);
    }
    float my = hy + hr * 0.45f;
    float mw = hr * (L.ears && L.hunch > 0 ? 0.7f : 0.45f);
    if (m.mouth) {
        fill_ellipse(cv, cx, my + 0.3f, mw, hr * 0.25f + 0.4f, rgb(60, 8, 10));
        if (L.fangs)
            fangs(cv, cx - mw * 0.6f, cx + mw * 0.6f, my - hr * 0.1f, 1.3f);
    } else {
        stroke(cv, cx - mw, my, cx + mw, my, 0.8f, rgb(50, 12, 12));
        if (L.fangs)
            fangs(cv, cx - mw * 0.6f, cx + mw * 0.6f, my, 1.0f);
    }
    if (L.tusks) {
        taper(cv, cx - hr * 0.55f, my + 0.2f, cx - hr * 0.8f, my - hr * 0.7f, 1.2f, 0.3f, L.horn);
        taper(cv, cx + hr * 0.55f, my + 0.2f, cx + hr * 0.8f, my - hr * 0.7f, 1.2f, 0.3f, L.horn);
    }
}

void head_back(Canvas &cv, const Look &L, const Frame &f)
{
    float cx = f.cx, hy = f.head_y, hr = f.hr;
    if (L.ears) {
        fill_tri(cv, cx - hr * 0.7f, hy - hr * 0.2f, cx - hr * 0.6f, hy + hr * 0.35f, cx - hr * 2.0f, hy - hr * 0.7f, scale_rgb(L.skin, 0.7f));
        fill_tri(cv, cx + hr * 0.7f, hy - hr * 0.2f, cx + hr * 0.6f, hy + hr * 0.35f, cx + hr * 2.0f, hy - hr * 0.7f, scale_rgb(L.skin, 0.7f));
    }
    shaded_ellipse(cv, cx, hy, hr, hr * 0.92f, scale_rgb(L.skin, 0.85f));
    horns(cv, L, cx, hy, hr, false);
    if (L.crown)
        crown(cv, cx, hy - hr * 0.9f, hr);
}

void arm_and_hand(Canvas &cv, const Look &L, const Frame &f, float sx, float sy, float hx, float hy, float dir,
                  bool holds, float ang, const Motion &m)
{
    Rgb arm = L.armour ? scale_rgb(L.skin, 0.9f) : scale_rgb(L.skin, 0.92f);
    float ex = (sx + hx) / 2 + dir * 1.2f * f.s, ey = (sy + hy) / 2;
    stroke(cv, sx, sy, ex, ey, f.arm_w, arm);
    stroke(cv, ex, ey, hx, hy, f.arm_w * 0.9f, arm);
    if (holds)
        weapon(cv, L, hx, hy, ang, f.s, m.flicker);
    fill_circle(cv, hx, hy, f.arm_w * 0.65f, scale_rgb(L.skin, 0.8f));
    if (!holds && !L.armour)
        claws(cv, hx, hy, dir, f.s);
}

void biped_arms_front(Canvas &cv, const Look &L, const Frame &f, const Motion &m, bool back)
{
    float sy = f.sh_y + 0.8f;
    for (int d = -1; d <= 1; d += 2) {
        float sx = f.cx + d * f.tw * 0.95f;
        float hx, hy;
        bool armed = L.weapon != CLAWS && ((d < 0) != back);
        if (m.raise > 0) {
            // Wind up: claws high over the head; a weapon drawn back over the shoulder.
            hx = f.cx + d * (f.tw + 1.5f * f.s);
            hy = f.sh_y - (armed ? 0.5f + 1.2f * m.raise : 3 + 2.5f * m.raise) * f.s;
        } else if (m.raise < 0) {
            // The blow lands in front of the body.
            hx = f.cx + d * f.tw * 0.5f;
            hy = f.sh_y + (6 - 3 * m.raise) * f.s;
        } else {
            float sw = (d < 0 ? 1 : -1) * m.stride * 1.5f;
            hx = f.cx + d * (f.tw + 1.2f * f.s);
            hy = f.sh_y + 8.0f * f.s + sw;
        }
        float ang = m.raise > 0 ? d * (0.1f + 0.3f * m.raise) : m.raise < 0 ? PI - d * (0.3f - 0.2f * m.raise) : d * 0.25f;
        arm_and_hand(cv, L, f, sx, sy, hx, hy, d, armed, ang, m);
    }
}

void biped_wings(Canvas &cv, const Look &L, const Frame &f, const Motion &m, float scale)
{
    if (L.wings == NO_WINGS)
        return;
    float span = (L.wings == BIG_WINGS ? 10.5f : 7.0f) * f.s * scale;
    float height = (L.wings == BIG_WINGS ? 8.0f : 5.0f) * f.s;
    bat_wing(cv, f.cx - f.tw * 0.4f, f.sh_y + 1, -1, span, height, m.flap, L.wing);
    bat_wing(cv, f.cx + f.tw * 0.4f, f.sh_y + 1, 1, span, height, m.flap, L.wing);
}

void spade_tail(Canvas &cv, const Look &L, float x1, float y1, float cxp, float cyp, float x2, float y2)
{
    curve(cv, x1, y1, cxp, cyp, x2, y2, 1.3f, scale_rgb(L.skin, 0.8f));
    float dx = x2 - cxp, dy = y2 - cyp, len = std::sqrt(dx * dx + dy * dy);
    if (len < 0.01f)
        return;
    dx /= len;
    dy /= len;
    fill_tri(cv, x2 - dy * 1.6f, y2 + dx * 1.6f, x2 + dy * 1.6f, y2 - dx * 1.6f, x2 + dx * 2.8f, y2 + dy * 2.8f, scale_rgb(L.skin, 0.7f));
}

void cape(Canvas &cv, const Frame &f, const Motion &m, bool over)
{
    Rgb red = over ? rgb(150, 26, 32) : rgb(96, 16, 22);
    // The hem flares as the wearer lunges and settles as it winds up.
    float flare = f.tw * 1.2f + 1.6f * m.lunge, lift = m.lunge > 0 ? 2.0f * m.lunge : 0;
    float pts[] = {f.cx - f.tw * 0.9f, f.sh_y, f.cx + f.tw * 0.9f, f.sh_y, f.cx + flare + m.stride, f.ground - 2 - lift,
                   f.cx + f.tw * 0.3f, f.ground - 3.2f, f.cx - f.tw * 0.3f, f.ground - 2, f.cx - flare + m.stride, f.ground - 3 - lift};
    fill_poly(cv, 6, pts, red);
    if (over) {
        stroke(cv, f.cx - f.tw * 0.3f, f.sh_y + 3, f.cx - f.tw * 0.5f + m.stride, f.ground - 3, 0.9f, rgb(100, 16, 22));
        stroke(cv, f.cx + f.tw * 0.4f, f.sh_y + 3, f.cx + f.tw * 0.6f + m.stride, f.ground - 3, 0.9f, rgb(100, 16, 22));
    }
}

void biped_front(Canvas &cv, const Look &L, float cx, const Motion &m0)
{
    Motion m = m0;
    m.bob += m.lunge > 0 ? m.lunge * 0.6f : 0;
    Frame f = biped_frame(L, cx, m);
    bool glow = L.flames || L.s > 1.1f;
    if (L.flames)
        flame_crown(cv, f.cx, f.sh_y + 2, std::min(f.tw + 4, 10.0f), m.flicker);
    if (L.cape)
        cape(cv, f, m, false);
    biped_wings(cv, L, f, m, 1.0f);
    if (L.tail)
        spade_tail(cv, L, f.cx + 1, f.hip_y, f.cx + f.tw + 4, f.hip_y + 2, f.cx + f.tw + 3.5f + m.stride, f.hip_y - 5);
    biped_legs_front(cv, L, f, m);
    biped_torso(cv, L, f, false);
    if (L.spikes)
        shoulder_spikes(cv, L, f);
    biped_arms_front(cv, L, f, m, false);
    head_front(cv, L, f, m, glow);
    if (L.crown)
        crown(cv, f.cx, f.head_y - f.hr * 0.95f, f.hr);
}

void biped_back(Canvas &cv, const Look &L, float cx, const Motion &m0)
{
    Motion m = m0;
    m.bob += m.lunge > 0 ? -m.lunge * 0.4f : 0;
    Frame f = biped_frame(L, cx, m);
    if (L.flames)
        flame_crown(cv, f.cx, f.sh_y + 2, std::min(f.tw + 4, 10.0f), m.flicker);
    biped_legs_front(cv, L, f, m);
    biped_torso(cv, L, f, true);
    if (L.tail)
        spade_tail(cv, L, f.cx, f.hip_y + 1, f.cx - 2, f.ground + 1, f.cx - f.tw - 2 + m.stride, f.ground - 3);
    biped_arms_front(cv, L, f, m, true);
    if (L.cape)
        cape(cv, f, m, true);
    biped_wings(cv, L, f, m, 1.0f);
    if (L.spikes)
        shoulder_spikes(cv, L, f);
    head_back(cv, L, f);
}

// What stands behind a biped seen side-on: its flames, cape, wing and tail.
void biped_side_behind(Canvas &cv, const Look &L, const Frame &f, float tw, const Motion &m)
{
    if (L.flames)
        flame_crown(cv, f.cx, f.sh_y + 2, std::min(tw + 4, 10.0f), m.flicker);
    if (L.cape) {
        float pts[] = {f.cx - tw * 0.2f, f.sh_y, f.cx + tw * 0.2f, f.sh_y + 1, f.cx - tw * 0.4f, f.ground - 2,
                       f.cx - tw * 1.8f - m.stride, f.ground - 3};
        fill_poly(cv, 4, pts, rgb(110, 20, 26));
    }
    if (L.wings != NO_WINGS) {
        float span = (L.wings == BIG_WINGS ? 11.0f : 6.5f) * f.s;
        float height = (L.wings == BIG_WINGS ? 9.0f : 5.0f) * f.s;
        bat_wing(cv, f.cx - tw * 0.3f, f.sh_y + 1, -1, span, height, m.flap, L.wing);
    }
    if (L.tail)
        spade_tail(cv, L, f.cx - tw * 0.5f, f.hip_y, f.cx - tw - 5, f.hip_y + 3, f.cx - tw - 5 + m.stride, f.hip_y - 4);
}

// The far leg and arm behind the body, the body, then the near leg.
void biped_side_legs_and_body(Canvas &cv, const Look &L, const Frame &f, float tw, float lean, const Motion &m)
{
    Rgb far_skin = scale_rgb(L.skin, 0.62f);
    float stride = 0.75f * m.stride;
    for (int side = 0; side < 2; side++) {
        float a = side == 0 ? -stride : stride;
        Rgb c = side == 0 ? far_skin : scale_rgb(L.skin, 0.82f);
        float hx = f.cx + (side == 0 ? -0.5f : 0.5f);
        float leg = 7.0f * f.s;
        float kx = hx + leg * 0.5f * std::sin(a), ky = f.hip_y + leg * 0.5f * std::cos(a);
        float bend = a < 0 ? -a * 0.9f : 0.1f;
        float fx = kx + leg * 0.5f * std::sin(a - bend), fy = ky + leg * 0.5f * std::cos(a - bend);
        float swing_lift = (side == 0 ? -m.reach : m.reach);
        fy -= swing_lift > 0 ? 1.2f * swing_lift : 0;
        stroke(cv, hx, f.hip_y, kx, ky, f.leg_w, c);
        stroke(cv, kx, ky, fx, fy, f.leg_w * 0.9f, c);
        fill_ellipse(cv, fx + 1.0f, fy + 0.5f, f.leg_w * 0.9f + 0.5f, 1.4f, scale_rgb(c, 0.8f));
        if (side == 0) {
            // Far arm, behind the body.
            float ax = f.cx + lean + (m.raise != 0 ? 2.5f * f.s : -2.5f * m.stride * f.s);
            float ay = m.raise > 0 ? f.sh_y - 5 * f.s : f.sh_y + 7 * f.s;
            stroke(cv, f.cx - 0.5f + lean * 0.5f, f.sh_y + 1, ax, ay, f.arm_w * 0.9f, far_skin);
        }
        if (side == 0) {
            Rgb body = L.skin;
            shaded_ellipse(cv, f.cx + lean * 0.5f, f.torso_cy, tw, f.torso_ry, body);
            // The chest forward, the shoulders rounded behind.
            shaded_ellipse(cv, f.cx + lean * 0.5f + tw * 0.35f, f.torso_cy - f.torso_ry * 0.25f, tw * 0.75f,
                           f.torso_ry * 0.7f, body);
            fill_ellipse(cv, f.cx + lean * 0.5f - tw * 0.35f, f.sh_y + 1.5f, tw * 0.6f, f.torso_ry * 0.45f,
                         scale_rgb(body, 0.85f));
            if (L.ribs) {
                for (int i = 0; i < 3; i++)
                    stroke(cv, f.cx + lean * 0.5f, f.torso_cy - 2 + i * 1.8f, f.cx + lean * 0.5f + tw * 0.8f, f.torso_cy - 1.5f + i * 1.8f, 0.8f,
                           scale_rgb(L.skin, 0.4f));
            } else if (!L.armour) {
                fill_ellipse(cv, f.cx + lean * 0.5f + tw * 0.45f, f.torso_cy + 1, tw * 0.45f, f.torso_ry * 0.6f, L.belly);
            }
        }
    }
}

// The head in profile, looking ahead.
void biped_side_head(Canvas &cv, const Look &L, const Frame &f, float lean, const Motion &m)
{
    bool glow = L.flames || L.s > 1.1f;
    float hx = f.cx + lean + f.hr * 0.35f, hy = f.head_y + (m.lunge > 0 ? 0.6f : 0);
    float hr = f.hr;
    if (L.ears)
        fill_tri(cv, hx - hr * 0.3f, hy - hr * 0.2f, hx - hr * 0.1f, hy + hr * 0.3f, hx - hr * 1.9f, hy - hr * 0.9f, scale_rgb(L.skin, 0.85f));
    if (L.horns == CURVED || L.horns == UNICORN)
        horns(cv, L, hx, hy, hr, true);
    if (L.spikes) {
        float x = f.cx + lean * 0.5f, y = f.sh_y;
        fill_ellipse(cv, x, y + 0.5f, f.arm_w * 0.9f, f.arm_w * 0.6f, scale_rgb(L.skin, L.armour ? 1.2f : 0.8f));
        taper(cv, x, y, x - 1.6f * f.s, y - 3.4f * f.s, 1.8f * f.s, 0.2f, L.horn);
    }
    shaded_ellipse(cv, hx, hy, hr * 0.92f, hr * 0.9f, L.skin);
    // Snout or jaw forward.
    fill_ellipse(cv, hx + hr * 0.6f, hy + hr * 0.3f, hr * 0.55f, hr * 0.45f, scale_rgb(L.skin, 0.92f));
    if (L.horns == NUBS || L.horns == RAM || L.horns == SWEPT)
        horns(cv, L, hx, hy, hr, true);
    if (L.crown)
        crown(cv, hx, hy - hr * 0.95f, hr * 0.9f);
    if (L.armour) {
        fill_rect(cv, hx + hr * 0.1f, hy - hr * 0.2f, hx + hr * 1.15f, hy + hr * 0.2f, rgb(16, 16, 22));
        eye(cv, hx + hr * 0.6f, hy, hr * 0.17f, L.eye, true);
    } else if (L.ribs || L.plan == ROBED) {
        fill_circle(cv, hx + hr * 0.45f, hy - hr * 0.1f, hr * 0.3f, rgb(30, 20, 20));
        fill_circle(cv, hx + hr * 0.45f, hy - hr * 0.1f, hr * 0.13f, L.eye);
        fill_rect(cv, hx + hr * 0.4f, hy + hr * 0.5f, hx + hr * 1.1f, hy + hr * 0.75f + (m.mouth ? 0.8f : 0), rgb(40, 30, 30));
    } else {
        eye(cv, hx + hr * 0.5f, hy - hr * 0.15f, (L.eyes == 1 ? hr * 0.38f : hr * 0.2f + 0.15f), L.eye, glow);
        stroke(cv, hx + hr * 0.1f, hy - hr * 0.55f, hx + hr * 0.95f, hy - hr * 0.3f, 0.9f, scale_rgb(L.skin, 0.45f));
        float my = hy + hr * 0.5f;
        if (m.mouth) {
            fill_ellipse(cv, hx + hr * 0.85f, my, hr * 0.35f, hr * 0.3f, rgb(60, 8, 10));
            if (L.fangs)
                fill_tri(cv, hx + hr * 0.7f, my - hr * 0.2f, hx + hr * 0.95f, my - hr * 0.2f, hx + hr * 0.82f, my + hr * 0.15f, rgb(250, 246, 230));
        } else {
            stroke(cv, hx + hr * 0.5f, my, hx + hr * 1.1f, my - 0.2f, 0.8f, rgb(50, 12, 12));
        }
        if (L.tusks)
            taper(cv, hx + hr * 0.9f, my, hx + hr * 1.3f, my - hr * 0.8f, 1.2f, 0.3f, L.horn);
    }
}

// The near arm: swings, or winds up and strikes ahead.
void biped_side_near_arm(Canvas &cv, const Look &L, const Frame &f, float lean, const Motion &m)
{
    float sx = f.cx + lean * 0.5f + 0.5f, sy = f.sh_y + 1;
    float ax, ay, ang;
    if (m.raise > 0) {
        ax = f.cx - 1.0f * f.s - m.raise;
        ay = f.sh_y - (2 + 2 * m.raise) * f.s;
        ang = -0.5f - 0.55f * m.raise;
    } else if (m.raise < 0) {
        ax = f.cx + (3 - 1.5f * m.raise) * f.s + lean * 0.5f;
        ay = f.sh_y + (3 - m.raise) * f.s;
        ang = PI * (0.6f - 0.1f * m.raise);
    } else {
        ax = f.cx + 2.5f * m.stride * f.s;
        ay = f.sh_y + 7.5f * f.s;
        ang = 0.35f;
    }
    arm_and_hand(cv, L, f, sx, sy, ax, ay, 1, L.weapon != CLAWS, ang, m);
}

// Facing right; left is the mirror image.
void biped_side(Canvas &cv, const Look &L, float cx, const Motion &m)
{
    Frame f = biped_frame(L, cx, m);
    float lean = m.lunge * 1.2f;
    // Seen side-on a body is nearly as deep as it is wide: keep its mass, or it reads as a
    // thin blob at game size.
    float tw = f.tw * 0.95f;
    f.leg_w *= 1.2f;
    f.arm_w *= 1.15f;
    biped_side_behind(cv, L, f, tw, m);
    biped_side_legs_and_body(cv, L, f, tw, lean, m);
    biped_side_head(cv, L, f, lean, m);
    biped_side_near_arm(cv, L, f, lean, m);
}

}  // namespace demon_art
