// The demons' other body plans: the hellhound, the slime, the spider, the naga, the lich
// and the abyssal horror.
#include <algorithm>
#include <cmath>

#include "tools/forge/demon_art.h"

namespace demon_art {

// ---- the hellhound ----

void beast_side(Canvas &cv, const Look &L, float cx, const Motion &m)
{
    float g = 38.0f, s = L.s;
    float bob = m.bob * 0.8f, lunge = m.lunge * 1.5f;
    float body_y = g - 9.5f * s + bob;
    Rgb far = scale_rgb(L.skin, 0.6f);
    // Tail.
    curve(cv, cx - 8 * s, body_y - 1, cx - 13 * s, body_y - 4 + m.stride, cx - 12 * s, body_y - 9, 1.6f, L.skin);
    flame(cv, cx - 12 * s, body_y - 8, 3.5f, 1.3f, 0.6f * std::sin(m.flicker * 6.28f));
    // Legs: far pair, body, near pair.
    float st = m.stride * 3.4f;
    for (int near = 0; near < 2; near++) {
        Rgb c = near ? scale_rgb(L.skin, 0.85f) : far;
        float o = near ? st : -st;
        // The far legs stand a little ahead of the near ones, as the body is seen a little
        // from the front: the two halves of the gait do not look alike.
        float ahead = near ? 0 : 2.0f;
        float xs[2] = {cx + 6.5f * s + lunge + ahead, cx - 6 * s + lunge * 0.5f + ahead};
        for (int i = 0; i < 2; i++) {
            float oo = i == 0 ? o : -o;
            float x = xs[i];
            float kx = x + oo * 0.5f, ky = body_y + 4.5f * s;
            stroke(cv, x, body_y + 1, kx, ky, 2.6f * s, c);
            // Diagonal pairs step together: near fore with far hind, then the others.
            float lift = ((i == 0) == (near == 1) ? m.lift_l : m.lift_r) * 0.8f + (oo > 0 ? 0.8f : 0);
            stroke(cv, kx, ky, x + oo, g - 1.2f - lift, 2.0f * s, c);
            fill_ellipse(cv, x + oo + 0.8f, g - 1.0f - lift, 1.7f, 1.1f, scale_rgb(c, 0.8f));
        }
        if (!near) {
            shaded_ellipse(cv, cx + lunge * 0.5f, body_y, 9.5f * s, 4.6f * s, L.skin);
            fill_ellipse(cv, cx + 1.5f + lunge * 0.5f, body_y + 2.4f * s, 6 * s, 2 * s, L.belly);
            // Ribs showing through the hide.
            for (int i = 0; i < 3; i++)
                stroke(cv, cx - 1 + i * 2.0f + lunge * 0.5f, body_y - 1.5f, cx - 0.5f + i * 2.0f + lunge * 0.5f, body_y + 2.5f, 0.7f,
                       scale_rgb(L.skin, 0.6f));
        }
    }
    // Burning mane along the neck and back.
    for (int i = 0; i < 5; i++) {
        float x = cx - 4 * s + i * 2.4f * s + lunge * 0.6f;
        flame(cv, x, body_y - 3.2f * s, 3.2f + 1.2f * std::sin(m.flicker * 6.28f + i * 1.7f), 1.3f, -0.8f);
    }
    // Head thrust forward, jaws open when it bites.
    float hx = cx + 11 * s + lunge, hy = body_y - 3.5f * s + (m.raise < 0 ? 1.5f : 0);
    shaded_ellipse(cv, hx, hy, 4.0f * s, 3.4f * s, L.skin);
    float jaw = m.mouth ? 2.2f : 0.6f;
    fill_quad(cv, hx + 1, hy - 1.2f, hx + 7.2f * s, hy - 0.4f, hx + 7.2f * s, hy + 0.9f, hx + 1, hy + 1.2f, scale_rgb(L.skin, 0.9f));
    fill_quad(cv, hx + 1, hy + 1.2f, hx + 6.5f * s, hy + 1.0f + jaw, hx + 6.2f * s, hy + 2.2f + jaw, hx + 0.5f, hy + 2.6f,
              scale_rgb(L.skin, 0.7f));
    if (m.mouth) {
        fill_quad(cv, hx + 2, hy + 1.0f, hx + 6.5f * s, hy + 0.9f, hx + 6.3f * s, hy + 1.0f + jaw, hx + 2, hy + 1.6f, rgb(90, 10, 10));
        fill_tri(cv, hx + 5.2f, hy + 0.8f, hx + 6.0f, hy + 0.8f, hx + 5.6f, hy + 2.2f, rgb(250, 246, 230));
    }
    fill_tri(cv, hx - 2.0f, hy - 2.0f, hx + 0.5f, hy - 2.6f, hx - 2.4f, hy - 6.0f, scale_rgb(L.skin, 0.7f));  // ear
    eye(cv, hx + 1.8f, hy - 1.3f, 0.9f, L.eye, true);
}

void beast_front(Canvas &cv, const Look &L, float cx, const Motion &m, bool back)
{
    float g = 38.0f, s = L.s;
    float bob = m.bob * 0.8f;
    // Rearing before it springs: the body rises and the forepaws leave the ground.
    float rear = m.raise > 0 ? m.raise : 0;
    float body_y = g - 10.5f * s + bob + (back ? 0 : m.lunge * 0.6f) - 1.6f * rear;
    Rgb leg = scale_rgb(L.skin, 0.8f);
    if (back) {
        // Rump, hind legs and the burning tail; the mane beyond.
        for (int i = 0; i < 5; i++)
            flame(cv, cx - 5 + i * 2.5f, body_y - 5.5f * s, 4.0f + 1.2f * std::sin(m.flicker * 6.28f + i * 1.7f), 1.4f, 0);
        shaded_ellipse(cv, cx, body_y - 3 * s, 6.5f * s, 4.5f * s, scale_rgb(L.skin, 0.85f));
        for (int d = -1; d <= 1; d += 2) {
            float lift = d < 0 ? m.lift_l : m.lift_r;
            float fx = cx + d * (4.4f + 0.8f * d * m.reach) * s;
            stroke(cv, cx + d * 4 * s, body_y + 1, fx, g - 1.2f - lift, 3.0f * s, leg);
            fill_ellipse(cv, fx, g - 1 - lift, 1.8f, 1.2f, scale_rgb(leg, 0.8f));
        }
        shaded_ellipse(cv, cx, body_y, 6.0f * s, 4.8f * s, L.skin);
        curve(cv, cx, body_y - 2, cx + 1 + m.stride * 2, body_y - 7, cx + m.stride * 3, body_y - 11, 1.6f, L.skin);
        flame(cv, cx + m.stride * 3, body_y - 10, 3.5f, 1.3f, 0.5f);
        fill_tri(cv, cx - 5, body_y - 8.5f * s, cx - 3, body_y - 8 * s, cx - 5.5f, body_y - 12 * s, scale_rgb(L.skin, 0.7f));
        fill_tri(cv, cx + 5, body_y - 8.5f * s, cx + 3, body_y - 8 * s, cx + 5.5f, body_y - 12 * s, scale_rgb(L.skin, 0.7f));
        return;
    }
    // Coming at us: the back and haunches rise behind the shoulders, the deep chest between
    // two forelegs that step in turn, the head carried low before them.
    for (int i = 0; i < 5; i++)
        flame(cv, cx - 5 + i * 2.5f, body_y - 6.5f * s, 4.0f + 1.2f * std::sin(m.flicker * 6.28f + i * 1.7f), 1.4f, 0);
    shaded_ellipse(cv, cx + m.stride * 0.8f, body_y - 4.5f * s, 5.5f * s, 3.2f * s, scale_rgb(L.skin, 0.72f));  // haunches
    for (int d = -1; d <= 1; d += 2) {
        // Hind feet show outside the forelegs, a step behind them.
        float lift = d < 0 ? m.lift_r : m.lift_l;
        stroke(cv, cx + d * 5.5f * s, body_y - 3, cx + d * 6.6f * s, g - 2.8f - lift * 0.6f, 2.2f * s, scale_rgb(L.skin, 0.6f));
        fill_ellipse(cv, cx + d * 6.8f * s, g - 2.4f - lift * 0.6f, 1.5f, 1.0f, scale_rgb(L.skin, 0.5f));
    }
    shaded_ellipse(cv, cx, body_y + 0.5f, 5.6f * s, 5.2f * s, L.skin);  // chest
    fill_ellipse(cv, cx, body_y + 2.0f, 2.6f * s, 3.4f * s, L.belly);
    for (int d = -1; d <= 1; d += 2) {
        float lift = (d < 0 ? m.lift_l : m.lift_r) + 2.4f * rear;
        // The leading paw comes forward: lower on the screen and larger.
        float ahead = d * m.reach;
        float fx = cx + d * (3.6f + 0.6f * ahead) * s, fy = g - 1.0f - lift + (ahead > 0 ? 0.8f * ahead : 0);
        stroke(cv, cx + d * 3.4f * s, body_y + 1, cx + d * 3.8f * s, (body_y + fy) / 2, 2.8f * s, leg);
        stroke(cv, cx + d * 3.8f * s, (body_y + fy) / 2, fx, fy - 0.6f, 2.4f * s, leg);
        fill_ellipse(cv, fx, fy, 1.9f + 0.4f * std::max(0.0f, ahead), 1.3f, scale_rgb(leg, 0.8f));
        claws(cv, fx, fy - 0.5f, 0, 0.7f);
    }
    float hy = body_y - 3.2f + (m.raise < 0 ? 2.0f : 0);
    fill_tri(cv, cx - 3.8f, hy - 1.5f, cx - 1.8f, hy - 3.2f, cx - 5.0f, hy - 7.0f, scale_rgb(L.skin, 0.7f));
    fill_tri(cv, cx + 3.8f, hy - 1.5f, cx + 1.8f, hy - 3.2f, cx + 5.0f, hy - 7.0f, scale_rgb(L.skin, 0.7f));
    shaded_ellipse(cv, cx, hy, 4.0f * s, 3.6f * s, L.skin);
    horns(cv, L, cx, hy, 3.4f, false);
    // A long muzzle toward us, dark at the nose.
    fill_ellipse(cv, cx, hy + 3.0f, 2.4f, 2.4f + (m.mouth ? 0.8f : 0), scale_rgb(L.skin, 0.82f));
    fill_ellipse(cv, cx, hy + 1.9f, 1.1f, 0.7f, rgb(20, 16, 16));
    if (m.mouth) {
        fill_ellipse(cv, cx, hy + 4.2f, 1.8f, 1.3f, rgb(90, 10, 10));
        fangs(cv, cx - 1.1f, cx + 1.1f, hy + 3.2f, 1.3f);
    }
    eye(cv, cx - 1.8f, hy - 0.9f, 0.9f, L.eye, true);
    eye(cv, cx + 1.8f, hy - 0.9f, 0.9f, L.eye, true);
}

// ---- the slime ----

void blob(Canvas &cv, const Look &L, float cx, const Motion &m, int facing)
{
    float g = 38.0f;
    // Squash and stretch as it heaves itself along; rears up to strike.
    float squash = 0.05f * std::sin(m.flicker * 4 * PI);
    float rear = m.raise > 0 ? 0.9f * m.raise : m.raise < 0 ? 0.6f * m.raise : 0;
    float rx = 9.0f * (1 + squash) - rear * 0.4f, ry = 10.5f * (1 - squash) + rear;
    float cy = g - ry;
    float lean = facing >= 2 ? m.lunge : 0;
    lean += 1.8f * m.stride;
    shaded_ellipse(cv, cx + lean, cy, rx, ry, L.skin);
    fill_rect(cv, cx - rx * 0.9f + lean, g - 2.5f, cx + rx * 0.9f + lean, g, scale_rgb(L.skin, 0.7f));
    // Drips at the base.
    for (int i = -2; i <= 2; i++)
        fill_ellipse(cv, cx + i * rx * 0.4f + lean, g - 0.8f, 1.4f, 1.2f + 0.5f * ((i + (int)(m.flicker * 6)) & 1), scale_rgb(L.skin, 0.75f));
    // Something half dissolved inside.
    if (facing != 0)
        fill_ellipse(cv, cx - rx * 0.3f + lean, cy + ry * 0.35f, 1.6f, 1.0f, L.belly);
    float hy = cy - ry * 0.25f;
    if (facing == 0) {
        horns(cv, L, cx, cy - ry * 0.45f, 5.0f, false);
        fill_ellipse(cv, cx + 2, cy - 2, 2.0f, 1.4f, scale_rgb(L.skin, 1.3f));
        return;
    }
    if (facing == 1) {
        horns(cv, L, cx, cy - ry * 0.45f, 5.0f, false);
        eye(cv, cx - 3.0f, hy, 1.3f, L.eye, false);
        eye(cv, cx + 3.0f, hy, 1.3f, L.eye, false);
        fill_circle(cv, cx - 3.0f, hy, 0.6f, rgb(30, 10, 10));
        fill_circle(cv, cx + 3.0f, hy, 0.6f, rgb(30, 10, 10));
        float mh = m.mouth ? 2.4f : 0.7f;
        fill_ellipse(cv, cx, hy + 4.0f, 4.0f, mh, rgb(50, 10, 40));
        fangs(cv, cx - 2.4f, cx + 2.4f, hy + 4.0f - mh * 0.7f, 1.4f);
        return;
    }
    horns(cv, L, cx + 2 + lean, cy - ry * 0.45f, 5.0f, true);
    eye(cv, cx + rx * 0.5f + lean, hy, 1.3f, L.eye, false);
    fill_circle(cv, cx + rx * 0.55f + lean, hy, 0.6f, rgb(30, 10, 10));
    float mh = m.mouth ? 2.2f : 0.6f;
    fill_ellipse(cv, cx + rx * 0.7f + lean, hy + 4, 2.2f, mh, rgb(50, 10, 40));
}

// ---- the spider demon ----

void spider(Canvas &cv, const Look &L, float cx, const Motion &m, int facing)
{
    float g = 38.0f;
    Rgb leg = scale_rgb(L.skin, 0.8f), joint = scale_rgb(L.skin, 1.4f);
    float body_y = g - 11 + m.bob + (m.raise > 0 ? -2 * m.raise : 0);
    bool side = facing >= 2;
    // Eight legs, jointed high, alternating step.
    for (int i = 0; i < 4; i++) {
        float phase = ((i & 1) ? 1 : -1) * m.stride;
        for (int d = -1; d <= 1; d += 2) {
            float rootx = cx + (side ? (i - 1.5f) * 2.2f : d * 3.0f), rooty = body_y + (side ? 0 : (i - 1.5f) * 1.6f);
            float spread = side ? (i - 1.5f) * 4.0f : d * (7.0f + i * 0.9f);
            float kx = rootx + spread * 0.7f + (side ? 0 : 0), ky = body_y - 6 - i * 0.5f + phase * d * 1.2f;
            if (m.raise > 0 && i == 0)
                ky -= 4 * m.raise;  // forelegs raised to strike
            float reach = ((i & 1) ? 1 : -1) * m.reach;
            float fx = rootx + spread * (side ? 1.1f : 1.2f) + phase * 1.2f, fy = g - 1 - (reach * d > 0.3f ? 3.0f : 0);
            if (m.raise < 0 && i == 0) {
                fy = body_y + 4;
                fx = rootx + spread * 0.9f;
            }
            Rgb c = (side && d < 0) ? scale_rgb(leg, 0.6f) : leg;
            if (side && d < 0)
                kx += 1.0f, fx += 1.0f;
            stroke(cv, rootx, rooty, kx, ky, 1.7f, c);
            stroke(cv, kx, ky, fx, fy, 1.3f, c);
            fill_circle(cv, kx, ky, 0.9f, joint);
            if (side)
                break;  // near and far legs overlap in profile: one pass draws the far side
        }
    }
    if (side) {
        shaded_ellipse(cv, cx - 5, body_y - 2, 7.0f, 6.0f, L.skin);               // abdomen behind
        fill_tri(cv, cx - 7, body_y - 4, cx - 4, body_y - 4, cx - 5.5f, body_y + 1, L.belly);
        shaded_ellipse(cv, cx + 3 + m.lunge, body_y, 4.5f, 3.8f, L.skin);          // head and thorax
        eye(cv, cx + 5.5f + m.lunge, body_y - 1.5f, 0.9f, L.eye, true);
        eye(cv, cx + 4.0f + m.lunge, body_y - 2.5f, 0.7f, L.eye, true);
        taper(cv, cx + 6.5f + m.lunge, body_y + 1.5f, cx + 7.5f + m.lunge, body_y + 4 + (m.mouth ? 1 : 0), 1.4f, 0.3f, rgb(240, 230, 210));
        return;
    }
    if (facing == 0) {
        shaded_ellipse(cv, cx, body_y - 1, 4.5f, 3.5f, L.skin);
        shaded_ellipse(cv, cx, body_y + 3, 7.5f, 6.5f, L.skin);                  // abdomen toward us
        fill_tri(cv, cx - 2.0f, body_y + 0.5f, cx + 2.0f, body_y + 0.5f, cx, body_y + 3.5f, L.belly);
        fill_tri(cv, cx - 2.0f, body_y + 6.5f, cx + 2.0f, body_y + 6.5f, cx, body_y + 3.5f, L.belly);
        return;
    }
    shaded_ellipse(cv, cx, body_y - 5, 6.5f, 5.0f, L.skin);                       // abdomen beyond
    shaded_ellipse(cv, cx, body_y + 1, 5.0f, 4.2f, L.skin);
    for (int i = 0; i < 3; i++) {
        eye(cv, cx - 2.0f + i * 2.0f, body_y - 0.5f, 0.85f, L.eye, true);
    }
    eye(cv, cx - 3.0f, body_y - 2.2f, 0.6f, L.eye, true);
    eye(cv, cx + 3.0f, body_y - 2.2f, 0.6f, L.eye, true);
    float open = m.mouth ? 1.4f : 0;
    taper(cv, cx - 1.2f, body_y + 2.5f, cx - 1.8f - open, body_y + 5.5f, 1.4f, 0.3f, rgb(240, 230, 210));
    taper(cv, cx + 1.2f, body_y + 2.5f, cx + 1.8f + open, body_y + 5.5f, 1.4f, 0.3f, rgb(240, 230, 210));
}

// ---- the naga: a scaled body on a serpent's coils ----

void coils(Canvas &cv, const Look &L, float cx, float g, const Motion &m, bool side)
{
    Rgb c = L.skin, d = scale_rgb(L.skin, 0.7f);
    float wob = 2.0f * m.stride + m.reach;
    if (side) {
        // The tail runs out behind in an S.
        curve(cv, cx, g - 6, cx - 5, g - 1 + wob, cx - 10, g - 3 - wob, 4.0f, d);
        taper(cv, cx - 10, g - 3 - wob, cx - 13, g - 6 - wob * 1.5f, 2.6f, 0.3f, d);
        fill_ellipse(cv, cx, g - 3.5f, 6.0f, 3.5f, c);
        fill_ellipse(cv, cx + 1, g - 2.5f, 4.0f, 1.6f, L.belly);
        return;
    }
    fill_ellipse(cv, cx + wob, g - 2.5f, 9.0f, 3.0f, d);
    fill_ellipse(cv, cx - wob * 0.5f, g - 5.0f, 7.0f, 3.0f, c);
    fill_ellipse(cv, cx - wob * 0.5f, g - 4.2f, 4.0f, 1.4f, L.belly);
    fill_ellipse(cv, cx - 7 - wob, g - 1.6f, 2.2f, 1.6f + 0.5f * m.reach, d);
    taper(cv, cx + 8 + wob, g - 2, cx + 12 + wob, g - 6 - 2 * wob, 2.4f, 0.3f, d);
}

void serpent(Canvas &cv, const Look &L, float cx, const Motion &m0, int facing)
{
    Motion m = m0;
    m.lift_l = m.lift_r = 0;
    Frame f = biped_frame(L, cx, m);
    // The coils replace the legs.
    float g = 38.0f;
    bool side = facing >= 2;
    // Cobra hood behind the head.
    float hood_y = f.head_y + 1;
    if (facing != 0 && !side) {
        fill_ellipse(cv, f.cx, hood_y, f.hr * 2.0f, f.hr * 1.6f, scale_rgb(L.skin, 0.8f));
        fill_ellipse(cv, f.cx, hood_y + 1, f.hr * 1.4f, f.hr * 1.1f, L.belly);
    }
    coils(cv, L, f.cx, g, m, side);
    if (side) {
        Look upper = L;
        upper.tail = false;
        biped_side(cv, upper, cx, m);
        return;
    }
    // Upper body rising out of the coils.
    fill_quad(cv, f.cx - f.tw * 0.8f, f.torso_cy, f.cx + f.tw * 0.8f, f.torso_cy, f.cx + 4, g - 6, f.cx - 4, g - 6, L.skin);
    if (facing == 0) {
        biped_torso(cv, L, f, true);
        biped_arms_front(cv, L, f, m, true);
        fill_ellipse(cv, f.cx, hood_y, f.hr * 2.0f, f.hr * 1.6f, scale_rgb(L.skin, 0.8f));
        for (int i = 0; i < 3; i++)
            fill_circle(cv, f.cx - f.hr + i * f.hr, hood_y, 0.8f, L.belly);
        head_back(cv, L, f);
        return;
    }
    biped_torso(cv, L, f, false);
    for (int i = 0; i < 3; i++)
        stroke(cv, f.cx - f.tw * 0.5f, f.torso_cy - 2 + i * 2, f.cx + f.tw * 0.5f, f.torso_cy - 2 + i * 2, 0.6f, scale_rgb(L.belly, 0.8f));
    biped_arms_front(cv, L, f, m, false);
    head_front(cv, L, f, m, false);
    // Forked tongue when it strikes.
    if (m.mouth) {
        stroke(cv, f.cx, f.head_y + f.hr * 0.5f, f.cx, f.head_y + f.hr * 1.1f, 0.6f, rgb(230, 40, 60));
    }
}

// ---- the lich: robe instead of legs ----

void robed(Canvas &cv, const Look &L, float cx, const Motion &m, int facing)
{
    Frame f = biped_frame(L, cx, m);
    float g = 38.0f;
    Rgb robe = L.belly, robe_dark = scale_rgb(L.belly, 0.6f), trim = rgb(220, 180, 70);
    bool side = facing >= 2;
    // Green fire of the soul around the feet.
    for (int i = 0; i < 4; i++)
        fill_ellipse(cv, cx - 6 + i * 4, g - 0.8f, 2.0f, 1.0f + 0.5f * std::sin(m.flicker * 6.28f + i), rgb(60, 200, 90));
    float sway = m.stride * 2.0f;
    float w = side ? f.tw * 0.8f : f.tw;
    // The hem lifts over each unseen step in turn.
    float pts[] = {cx - w * 0.8f, f.sh_y, cx + w * 0.8f, f.sh_y, cx + w * 1.5f + sway, g - 1.5f - m.lift_r,
                   cx + w * 0.7f + sway, g - 0.5f - m.lift_r, cx + sway, g - 2.0f, cx - w * 0.7f + sway, g - 0.5f - m.lift_l,
                   cx - w * 1.5f + sway, g - 1.5f - m.lift_l};
    fill_poly(cv, 7, pts, robe_dark);
    float inner[] = {cx - w * 0.6f, f.sh_y + 1, cx + w * 0.6f, f.sh_y + 1, cx + w * 1.1f + sway, g - 2.5f, cx - w * 1.1f + sway, g - 2.5f};
    fill_poly(cv, 4, inner, robe);
    if (!side && std::fabs(m.reach) > 0.7f) {
        float d = (m.reach > 0) == (facing == 1) ? -1.0f : 1.0f;
        fill_ellipse(cv, cx + sway + d * w * 0.6f, g - 0.9f, 1.9f, 1.1f, L.skin);
    }
    if (facing == 1) {
        stroke(cv, cx, f.sh_y + 2, cx + sway, g - 2.5f, 1.2f, trim);
        fill_rect(cv, cx - w * 0.9f, f.hip_y - 1, cx + w * 0.9f, f.hip_y, trim);
    }
    if (!side)
        fill_ellipse(cv, cx, f.sh_y + 1, w * 1.1f, 2.4f, robe_dark);  // mantle
    // Sleeves and skeletal hands; the staff in one of them.
    Look arms = L;
    arms.skin = robe;
    arms.armour = true;  // no claws on the sleeves
    if (side) {
        biped_side(cv, arms, cx, m);
    } else {
        biped_arms_front(cv, arms, f, m, facing == 0);
    }
    // Hooded skull.
    float hx = side ? f.cx + f.hr * 0.3f + m.lunge : f.cx;
    fill_ellipse(cv, hx, f.head_y - 0.5f, f.hr * 1.25f, f.hr * 1.2f, robe_dark);
    if (facing == 0) {
        crown(cv, hx, f.head_y - f.hr * 1.4f, f.hr);
        return;
    }
    Frame hf = f;
    hf.cx = hx;
    Look skull = L;
    skull.plan = ROBED;
    if (side) {
        fill_circle(cv, hx + f.hr * 0.35f, f.head_y + 0.3f, f.hr * 0.8f, L.skin);
        fill_circle(cv, hx + f.hr * 0.6f, f.head_y, f.hr * 0.28f, rgb(30, 20, 20));
        eye(cv, hx + f.hr * 0.6f, f.head_y, f.hr * 0.14f, L.eye, true);
        fill_rect(cv, hx + f.hr * 0.3f, f.head_y + f.hr * 0.5f, hx + f.hr * 1.0f, f.head_y + f.hr * 0.75f + (m.mouth ? 0.8f : 0), rgb(40, 30, 30));
        crown(cv, hx, f.head_y - f.hr * 1.35f, f.hr * 0.9f);
        return;
    }
    hf.hr = f.hr * 0.85f;
    shaded_ellipse(cv, hx, f.head_y + 0.3f, hf.hr, hf.hr * 0.95f, L.skin);
    hf.head_y = f.head_y + 0.3f;
    head_front(cv, skull, hf, m, true);
    crown(cv, hx, f.head_y - f.hr * 1.4f, f.hr);
}

// ---- the abyssal horror ----

void horror(Canvas &cv, const Look &L, float cx, const Motion &m, int facing)
{
    float g = 38.0f;
    float hover = 1.5f * std::sin(m.flicker * 2 * PI);
    float by = g - 17 + hover + (m.raise > 0 ? -2 * m.raise : 0);
    float br = 10.0f;
    bool side = facing >= 2;
    Rgb tent = scale_rgb(L.skin, 0.85f);
    // Tentacles below, each waving in its own time.
    for (int i = 0; i < 6; i++) {
        float x0 = cx - 7 + i * 2.8f;
        float ph = m.flicker * 2 * PI + i * 1.1f;
        float sway = 2.5f * std::sin(ph);
        float endx = x0 + sway + (i - 2.5f) * 1.6f, endy = g - 0.8f - (i & 1) * 1.5f;
        if (m.raise < 0 && (i == 0 || i == 5)) {
            // Two lash out.
            endx = cx + (i == 0 ? -15 : 15);
            endy = by - 2;
        }
        if (side)
            endx += (i - 2.5f) * 0.5f - 1.5f;
        curve(cv, x0, by + br * 0.5f, x0 - sway, (by + endy) / 2 + 2, endx, endy, 2.4f - 0.1f * i * 0, tent);
        fill_circle(cv, endx, endy, 0.9f, scale_rgb(tent, 1.2f));
    }
    // The bulk, ridged with spines.
    for (int i = 0; i < 5; i++) {
        float a = PI * (0.15f + 0.7f * i / 4);
        float x = cx - br * 0.9f * std::cos(a), y = by - br * 0.8f * std::sin(a);
        taper(cv, x, y, x - 3.5f * std::cos(a), y - 3.5f * std::sin(a), 2.0f, 0.2f, scale_rgb(L.skin, 0.55f));
    }
    shaded_ellipse(cv, cx, by, br, br * 0.9f, L.skin);
    if (facing == 0) {
        for (int i = 0; i < 4; i++)
            fill_ellipse(cv, cx - 5 + i * 3.3f, by - 1 + (i & 1) * 2, 1.2f, 0.8f, scale_rgb(L.skin, 0.6f));
        return;
    }
    float ex = side ? cx + 3 : cx;
    // A crown of eyes, one great eye, and the maw beneath.
    const float eyes[][3] = {{-6, -4, 1.0f}, {-3, -6.5f, 1.1f}, {1, -7, 0.9f}, {5, -5, 1.1f}, {7, -1.5f, 0.8f}, {-7.5f, -0.5f, 0.8f}};
    for (const auto &e : eyes) {
        if (side && e[0] < -2)
            continue;
        eye(cv, ex + e[0] * (side ? 0.6f : 1), by + e[1], e[2], L.eye, false);
        fill_circle(cv, ex + e[0] * (side ? 0.6f : 1), by + e[1], e[2] * 0.4f, rgb(20, 10, 10));
    }
    eye(cv, ex, by - 1.5f, 2.4f, L.eye, true);
    fill_ellipse(cv, ex, by - 1.5f, 0.8f, 2.0f, rgb(20, 10, 10));
    float mh = m.mouth ? 3.4f : 1.6f;
    fill_ellipse(cv, ex, by + 4.5f, 5.0f, mh, L.belly);
    fill_ellipse(cv, ex, by + 4.8f, 4.0f, mh * 0.7f, rgb(40, 6, 16));
    for (int i = 0; i < 5; i++)
        fill_tri(cv, ex - 3.6f + i * 1.8f, by + 4.5f - mh * 0.7f, ex - 2.6f + i * 1.8f, by + 4.5f - mh * 0.7f, ex - 3.1f + i * 1.8f,
                 by + 4.5f - mh * 0.7f + 1.5f, rgb(250, 246, 230));
}

}  // namespace demon_art
