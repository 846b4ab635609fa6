// Velok, the hooded archer: standing, walking and shooting in four facings.
#include <cmath>

#include "tools/forge/forge.h"

namespace {

const Rgb OUTLINE = rgb(24, 18, 14);
const Rgb CLOAK = rgb(52, 120, 64);
const Rgb CLOAK_DARK = rgb(32, 80, 44);
const Rgb HOOD_SHADOW = rgb(18, 40, 26);
const Rgb SKIN = rgb(234, 186, 142);
const Rgb SKIN_DARK = rgb(186, 134, 96);
const Rgb TUNIC = rgb(150, 100, 56);
const Rgb BELT = rgb(70, 44, 24);
const Rgb BUCKLE = rgb(236, 196, 72);
const Rgb TROUSERS = rgb(96, 72, 50);
const Rgb BOOT = rgb(66, 44, 28);
const Rgb BOW = rgb(180, 118, 52);
const Rgb BOW_DARK = rgb(118, 72, 30);
const Rgb STRING = rgb(236, 234, 222);
const Rgb QUIVER = rgb(124, 74, 38);
const Rgb FLETCH = rgb(222, 60, 48);
const Rgb SHAFT = rgb(206, 176, 124);
const Rgb ARROWHEAD = rgb(196, 206, 218);
const Rgb EYE = rgb(28, 28, 40);

const float PI = 3.141592f;

// How far the string is pulled on each shooting frame, and whether an arrow is on it.
const float draw_amount[6] = {0.15f, 0.45f, 0.8f, 1.0f, 0.0f, 0.0f};
const bool arrow_nocked[6] = {false, true, true, true, false, false};

struct Pose {
    float bob;        // whole body, down positive
    float breath;     // upper body only
    float lift_l, lift_r;   // feet raised (front and back views)
    float swing;      // -1..1 stride (profiles), arm swing (front and back)
    float reach;      // -1..1, a quarter cycle behind: which foot is ahead
    float hem;        // cloak hem sway
};

Pose pose_for(int action, int frame)
{
    Pose p = {0, 0, 0, 0, 0, 0, 0};
    float t = frame * 2 * PI / 6;
    if (action == 1) {
        float s = std::sin(t);
        p.bob = -std::fabs(s) * 1.0f;
        p.lift_l = s > 0 ? 3.0f * s : 0;
        p.lift_r = s < 0 ? -3.0f * s : 0;
        p.swing = s;
        p.reach = std::cos(t);
        p.hem = -0.9f * s;
    } else if (action == 2) {
        // Shooting: settle, rise into the draw, hold, and sag back after the loose.
        static const float bob[6] = {0.8f, 0.0f, -0.6f, -0.6f, 0.4f, 1.0f};
        static const float hem[6] = {0.0f, 0.6f, 1.0f, 1.0f, -0.8f, -0.4f};
        p.bob = bob[frame];
        p.hem = hem[frame];
    } else if (action == 0) {
        p.breath = -(1 - std::cos(t)) * 0.5f;  // chest rises and falls once a cycle
        p.hem = 0.5f * std::sin(t);
    }
    return p;
}

void boot_front(Canvas &cv, float x, float y)
{
    fill_ellipse(cv, x, y, 2.5f, 1.9f, BOOT);
    fill_ellipse(cv, x - 0.6f, y - 0.6f, 1.0f, 0.6f, scale_rgb(BOOT, 1.3f));
}

void legs_front(Canvas &cv, Pose p, bool back_view)
{
    // Walking toward us the leading foot comes lower on the screen, away from us higher.
    float ahead = (back_view ? -1.4f : 1.4f) * p.reach;
    float y = 36.4f;
    float lx = 16.6f, rx = 23.4f;
    p.lift_l -= ahead;
    p.lift_r += ahead;
    stroke(cv, 17.3f, 28.5f + p.bob, lx, y - p.lift_l - 1.2f, 3.6f, TROUSERS);
    stroke(cv, 22.7f, 28.5f + p.bob, rx, y - p.lift_r - 1.2f, 3.6f, TROUSERS);
    stroke(cv, 16.1f, 30.5f + p.bob, lx - 0.3f, y - p.lift_l - 2.0f, 1.0f, scale_rgb(TROUSERS, 0.75f));
    boot_front(cv, lx, y - p.lift_l);
    boot_front(cv, rx, y - p.lift_r);
    if (back_view) {
        fill_rect(cv, lx - 1.6f, y - p.lift_l - 2.2f, lx + 1.6f, y - p.lift_l - 1.4f, BOW_DARK);
        fill_rect(cv, rx - 1.6f, y - p.lift_r - 2.2f, rx + 1.6f, y - p.lift_r - 1.4f, BOW_DARK);
    }
}

void vertical_bow(Canvas &cv, float x, float top, float bottom, float bulge, float nock_x, float nock_y)
{
    float mid = (top + bottom) / 2;
    curve(cv, x, top, x + bulge, mid, x, bottom, 1.5f, BOW);
    curve(cv, x + 0.3f, top + 3, x + bulge + 0.3f, mid, x + 0.3f, bottom - 3, 0.6f, scale_rgb(BOW, 1.3f));
    fill_rect(cv, x + bulge * 0.5f - 0.9f, mid - 1.4f, x + bulge * 0.5f + 1.1f, mid + 1.4f, BOW_DARK);
    stroke(cv, x, top, nock_x, nock_y, 0.9f, STRING);
    stroke(cv, nock_x, nock_y, x, bottom, 0.9f, STRING);
}

void hand(Canvas &cv, float x, float y)
{
    fill_circle(cv, x, y, 1.4f, SKIN);
}

// Shooting toward or away from the camera: the bow stands upright in the bow hand and
// the string comes back to the cheek. Per frame: the grip (x, y), the bow's tilt from
// upright (the bow comes up from low and goes down again) and the drawing hand.
struct Aim {
    float gx, gy, tilt, hx, hy;
};

void upright_bow(Canvas &cv, const Aim &a, float up, float side, bool drawn)
{
    float gy = a.gy + up, hy = a.hy + up;
    float sx = std::sin(a.tilt) * side, cy = std::cos(a.tilt);
    float tx = a.gx + sx * 9.5f, ty = gy - cy * 9.5f;   // upper tip
    float bx = a.gx - sx * 9.5f, by = gy + cy * 9.5f;   // lower tip
    float kx = a.gx + cy * 3.2f * side, ky = gy + std::sin(a.tilt) * 3.2f;  // the belly bends away from the string
    curve(cv, tx, ty, kx, ky, bx, by, 1.6f, BOW);
    curve(cv, tx + 0.3f * side, ty + 2.5f, kx + 0.3f * side, ky, bx + 0.3f * side, by - 2.5f, 0.6f, scale_rgb(BOW, 1.3f));
    if (drawn) {
        stroke(cv, tx, ty, a.hx, hy, 0.8f, STRING);
        stroke(cv, a.hx, hy, bx, by, 0.8f, STRING);
        stroke(cv, a.hx, hy, a.gx + cy * 1.6f * side, gy, 1.0f, SHAFT);
        fill_tri(cv, a.gx + cy * 1.2f * side, gy - 1.5f, a.gx + cy * 1.2f * side, gy + 1.5f, a.gx + cy * 3.6f * side, gy,
                 ARROWHEAD);
        fill_tri(cv, a.hx, hy, a.hx + (a.gx - a.hx) * 0.25f, hy - 1.6f, a.hx + (a.gx - a.hx) * 0.25f, hy + 1.6f, FLETCH);
    } else {
        curve(cv, tx, ty, (tx + bx) / 2 - cy * 0.4f * side, (ty + by) / 2, bx, by, 0.8f, STRING);
    }
    fill_rect(cv, a.gx - 1.0f, gy - 1.2f, a.gx + 1.0f, gy + 1.2f, BOW_DARK);
}

// Bow low and tilted, raised, drawn, at full draw, loosed (the hand flies back), lowered.
const Aim aim_front[6] = {{27.5f, 28.0f, 1.1f, 18.0f, 27.0f}, {28.5f, 23.0f, 0.6f, 21.5f, 22.5f},
                          {29.0f, 20.0f, 0.15f, 19.0f, 18.0f}, {29.0f, 19.5f, 0.0f, 16.8f, 15.6f},
                          {29.0f, 19.5f, 0.0f, 9.5f, 12.5f},   {28.0f, 25.0f, 0.75f, 12.5f, 23.5f}};
const Aim aim_back[6] = {{12.5f, 27.5f, 1.1f, 21.0f, 26.0f},  {11.5f, 22.5f, 0.6f, 18.5f, 21.5f},
                         {11.0f, 19.5f, 0.15f, 21.0f, 17.0f}, {11.0f, 19.0f, 0.0f, 23.2f, 14.8f},
                         {11.0f, 19.0f, 0.0f, 30.5f, 12.0f},  {12.0f, 24.5f, 0.75f, 27.5f, 23.0f}};

// ---- facing down: the front ----
void hero_front(Canvas &cv, int action, int frame)
{
    Pose p = pose_for(action, frame);
    float up = p.bob + p.breath;  // upper body offset

    // Cloak behind the body.
    float cloak[] = {13.5f, 17 + up, 26.5f, 17 + up, 28.5f + p.hem, 33.5f + p.bob, 11.5f + p.hem, 33.5f + p.bob};
    fill_poly(cv, 4, cloak, CLOAK_DARK);

    legs_front(cv, p, false);

    // Tunic and skirt.
    fill_quad(cv, 14.6f, 27.5f + p.bob, 25.4f, 27.5f + p.bob, 26.6f, 31.5f + p.bob, 13.4f, 31.5f + p.bob, TUNIC);
    fill_ellipse(cv, 20, 23 + up, 5.6f, 6.2f, TUNIC);
    fill_ellipse(cv, 18.6f, 21.5f + up, 2.6f, 3.4f, scale_rgb(TUNIC, 1.15f));
    stroke(cv, 15.8f, 18.5f + up, 24.2f, 27.0f + up, 1.3f, QUIVER);  // quiver strap
    fill_rect(cv, 14.4f, 27.2f + p.bob, 25.6f, 28.9f + p.bob, BELT);
    fill_rect(cv, 19.0f, 26.9f + p.bob, 21.0f, 29.2f + p.bob, BUCKLE);

    if (action == 2) {
        // Shooting at us: the bow upright in his left hand (our right), the string drawn to
        // the right cheek.
        const Aim &a = aim_front[frame];
        stroke(cv, 25.8f, 18.8f + up, a.gx, a.gy + up, 2.6f, CLOAK);
        stroke(cv, 14.2f, 18.8f + up, (14.2f + a.hx) / 2 - 1.5f, (18.8f + a.hy) / 2 + 2.0f + up, 2.6f, CLOAK);
        stroke(cv, (14.2f + a.hx) / 2 - 1.5f, (18.8f + a.hy) / 2 + 2.0f + up, a.hx, a.hy + up, 2.4f, CLOAK);
        upright_bow(cv, a, up, 1, arrow_nocked[frame]);
        hand(cv, a.gx, a.gy + up);
        hand(cv, a.hx, a.hy + up);
    } else {
        // Arms hang and swing; the bow rides in the left hand (our right).
        float sw = p.swing * 1.4f;
        stroke(cv, 14.2f, 18.8f + up, 13.0f, 25.6f + up + sw, 2.8f, CLOAK);
        stroke(cv, 25.8f, 18.8f + up, 27.0f, 25.6f + up - sw, 2.8f, CLOAK);
        vertical_bow(cv, 28.4f, 14.5f + up - sw, 35.5f + up - sw, 3.4f, 28.4f, 25.0f + up - sw);
        hand(cv, 12.9f, 26.4f + up + sw);
        hand(cv, 27.1f, 26.4f + up - sw);
    }

    // Mantle over the shoulders, then the hood and the face in its shadow.
    fill_ellipse(cv, 20, 18.2f + up, 7.2f, 3.0f, CLOAK);
    fill_ellipse(cv, 18.0f, 17.4f + up, 3.0f, 1.1f, scale_rgb(CLOAK, 1.25f));
    fill_tri(cv, 15.0f, 9.0f + up, 25.0f, 9.0f + up, 20.0f, 3.6f + up, CLOAK);
    shaded_ellipse(cv, 20, 12.4f + up, 6.3f, 6.2f, CLOAK);
    fill_ellipse(cv, 20, 13.9f + up, 4.2f, 4.4f, HOOD_SHADOW);
    fill_ellipse(cv, 20, 14.6f + up, 3.4f, 3.5f, SKIN);
    fill_ellipse(cv, 20, 16.4f + up, 2.6f, 1.5f, SKIN_DARK);
    fill_rect(cv, 16.6f, 11.2f + up, 23.4f, 12.9f + up, HOOD_SHADOW);
    fill_rect(cv, 17.9f, 13.4f + up, 18.9f, 14.6f + up, EYE);
    fill_rect(cv, 21.1f, 13.4f + up, 22.1f, 14.6f + up, EYE);
}

// ---- facing up: the back ----
void hero_back(Canvas &cv, int action, int frame)
{
    Pose p = pose_for(action, frame);
    float up = p.bob + p.breath;

    legs_front(cv, p, true);

    // The cloak covers the back; the quiver rides on it.
    float cloak[] = {13.6f, 17 + up, 26.4f, 17 + up, 28.4f + p.hem, 33.8f + p.bob, 11.6f + p.hem, 33.8f + p.bob};
    fill_poly(cv, 4, cloak, CLOAK);
    stroke(cv, 17.0f, 21 + up, 16.0f + p.hem, 33 + p.bob, 1.0f, CLOAK_DARK);
    stroke(cv, 23.0f, 21 + up, 24.0f + p.hem, 33 + p.bob, 1.0f, CLOAK_DARK);
    fill_rect(cv, 11.6f + p.hem, 32.6f + p.bob, 28.4f + p.hem, 33.9f + p.bob, CLOAK_DARK);
    stroke(cv, 26.0f, 13.0f + up, 19.0f, 27.0f + up, 3.4f, QUIVER);
    stroke(cv, 26.2f, 13.6f + up, 19.8f, 26.0f + up, 0.9f, scale_rgb(QUIVER, 1.3f));
    fill_rect(cv, 23.6f, 13.0f + up, 27.6f, 14.6f + up, BELT);

    if (action == 2) {
        // Shooting away from us: the bow upright in the left hand, the right elbow out as
        // the string comes back.
        const Aim &a = aim_back[frame];
        stroke(cv, 14.2f, 18.8f + up, a.gx, a.gy + up, 2.8f, CLOAK);
        float ex = std::max(a.hx, 26.0f) + 1.5f, ey = (18.8f + a.hy) / 2 + 1.0f + up;
        stroke(cv, 25.8f, 18.8f + up, ex, ey, 2.8f, CLOAK);
        stroke(cv, ex, ey, a.hx, a.hy + up, 2.6f, CLOAK);
        upright_bow(cv, a, up, -1, arrow_nocked[frame]);
        hand(cv, a.gx, a.gy + up);
        hand(cv, a.hx, a.hy + up);
    } else {
        float sw = p.swing * 1.4f;
        stroke(cv, 14.2f, 18.8f + up, 13.0f, 25.6f + up - sw, 2.8f, CLOAK);
        stroke(cv, 25.8f, 18.8f + up, 27.0f, 25.6f + up + sw, 2.8f, CLOAK);
        vertical_bow(cv, 11.6f, 14.5f + up + sw, 35.5f + up + sw, -3.4f, 11.6f, 25.0f + up + sw);
        hand(cv, 12.9f, 26.4f + up - sw);
        hand(cv, 27.1f, 26.4f + up + sw);
    }

    fill_ellipse(cv, 20, 18.2f + up, 7.2f, 3.0f, CLOAK);
    fill_tri(cv, 15.0f, 9.0f + up, 25.0f, 9.0f + up, 20.0f, 3.6f + up, CLOAK);
    shaded_ellipse(cv, 20, 12.4f + up, 6.3f, 6.2f, CLOAK);
    stroke(cv, 20, 5.5f + up, 20, 17.5f + up, 0.9f, CLOAK_DARK);
    // Fletchings over the right shoulder.
    fill_tri(cv, 25.0f, 13.2f + up, 26.4f, 7.6f + up, 28.0f, 12.6f + up, FLETCH);
    fill_tri(cv, 26.6f, 13.4f + up, 29.6f, 9.0f + up, 29.2f, 14.0f + up, 0xE8E8E0);
}

// ---- facing right: the profile; left is its mirror image ----
void leg_profile(Canvas &cv, float hip_x, float hip_y, float angle, Rgb c)
{
    // Thigh and shin; the knee bends when the leg swings back.
    float thigh = 4.2f, shin = 4.4f;
    float kx = hip_x + thigh * std::sin(angle), ky = hip_y + thigh * std::cos(angle);
    float bend = angle < 0 ? -angle * 0.9f : 0.1f;
    float fx = kx + shin * std::sin(angle - bend), fy = ky + shin * std::cos(angle - bend);
    stroke(cv, hip_x, hip_y, kx, ky, 3.6f, c);
    stroke(cv, kx, ky, fx, fy, 3.2f, c);
    Rgb boot = c == TROUSERS ? BOOT : scale_rgb(BOOT, 0.7f);
    fill_ellipse(cv, fx + 1.0f, fy + 0.6f, 2.8f, 1.7f, boot);
}

// The bow arm and the drawing arm of a shot, frame by frame, seen side-on.
void hero_side_shooting(Canvas &cv, int frame, float up)
{
    // The bow comes up from low, is drawn to the cheek, loosed (the hand flies back)
    // and lowered; the bow tilts from lying forward to upright and back.
    static const float grip_x[6] = {25.0f, 27.0f, 27.5f, 27.5f, 27.5f, 26.0f};
    static const float grip_y[6] = {25.5f, 21.0f, 18.4f, 18.4f, 18.4f, 23.0f};
    static const float tilt[6] = {1.0f, 0.45f, 0.1f, 0.0f, 0.0f, 0.6f};
    float d = draw_amount[frame];
    float gx = grip_x[frame], gy = grip_y[frame] + up, t = tilt[frame];
    float ux = std::cos(t), uy = std::sin(t);      // the way the arrow points
    float ax = std::sin(t), ay = -std::cos(t);     // along the bow, toward its upper tip
    float bulge = 2.6f + 1.4f * d;
    float tx = gx + ax * 9.8f, ty = gy + ay * 9.8f, bx = gx - ax * 9.8f, by = gy - ay * 9.8f;
    float nx = gx - ux * (1.0f + 6.5f * d), ny = gy - uy * (1.0f + 6.5f * d);
    if (frame == 4)
        nx = 15.5f, ny = 15.5f + up;  // loosed: the drawing hand flies back past the ear
    stroke(cv, 21.5f, 18.4f + up, gx - ux * 0.8f, gy - uy * 0.8f, 2.6f, CLOAK);  // bow arm out
    curve(cv, tx, ty, gx + ux * bulge, gy + uy * bulge, bx, by, 1.5f, BOW);
    curve(cv, tx + ux * 0.3f - ax * 3, ty + uy * 0.3f - ay * 3, gx + ux * (bulge + 0.3f), gy + uy * (bulge + 0.3f),
          bx + ux * 0.3f + ax * 3, by + uy * 0.3f + ay * 3, 0.6f, scale_rgb(BOW, 1.3f));
    if (arrow_nocked[frame]) {
        stroke(cv, tx, ty, nx, ny, 0.9f, STRING);
        stroke(cv, nx, ny, bx, by, 0.9f, STRING);
        float hx = gx + ux * (bulge + 2.2f), hy = gy + uy * (bulge + 2.2f);
        stroke(cv, nx, ny, hx, hy, 1.0f, SHAFT);
        fill_tri(cv, hx - uy * 1.6f, hy + ux * 1.6f, hx + ux * 3.0f, hy + uy * 3.0f, hx + uy * 1.6f, hy - ux * 1.6f, ARROWHEAD);
        fill_tri(cv, nx + ux * 0.2f, ny + uy * 0.2f, nx + ux * 2.6f - uy * 1.6f, ny + uy * 2.6f + ux * 1.6f,
                 nx + ux * 2.6f + uy * 1.6f, ny + uy * 2.6f - ux * 1.6f, FLETCH);
    } else {
        stroke(cv, tx, ty, bx, by, 0.9f, STRING);
    }
    fill_rect(cv, gx - 0.9f, gy - 1.4f, gx + 1.1f, gy + 1.4f, BOW_DARK);
    // The drawing arm: elbow back, hand at the string (or flung back after the loose).
    float ex = std::min(nx, 20.0f) - 2.4f, ey = (18.6f + up + ny) / 2;
    stroke(cv, 20.0f, 18.6f + up, ex, ey, 2.6f, CLOAK);
    stroke(cv, ex, ey, nx, ny, 2.2f, CLOAK);
    hand(cv, nx, ny);
    hand(cv, gx, gy);
}

void hero_side(Canvas &cv, int action, int frame)
{
    Pose p = pose_for(action, frame);
    float up = p.bob + p.breath;
    float stride = 0.75f * p.swing;

    // Cloak trailing behind.
    float cloak[] = {18.0f, 16.5f + up, 21.5f, 17.5f + up, 20.5f, 33.5f + p.bob, 12.0f + p.hem, 33.0f + p.bob};
    fill_poly(cv, 4, cloak, CLOAK_DARK);

    // Far leg first, darker.
    leg_profile(cv, 20.2f, 28.0f + p.bob - (p.reach < 0 ? -1.0f * p.reach : 0), -stride, scale_rgb(TROUSERS, 0.7f));
    if (action != 2) {
        // The far arm swings behind the body.
        stroke(cv, 19.5f, 18.8f + up, 19.0f - 3.5f * p.swing, 25.0f + up, 2.4f, CLOAK_DARK);
    }
    // Quiver on the back.
    stroke(cv, 16.4f, 13.0f + up, 15.0f, 25.5f + up, 3.4f, QUIVER);
    fill_tri(cv, 14.0f, 13.2f + up, 15.4f, 8.4f + up, 17.2f, 13.0f + up, FLETCH);
    fill_tri(cv, 15.8f, 13.2f + up, 18.2f, 9.6f + up, 18.4f, 13.6f + up, 0xE8E8E0);

    fill_ellipse(cv, 20.4f, 23.0f + up, 4.0f, 6.2f, TUNIC);
    fill_ellipse(cv, 21.4f, 21.6f + up, 1.8f, 3.6f, scale_rgb(TUNIC, 1.15f));
    fill_quad(cv, 16.6f, 27.5f + p.bob, 24.2f, 27.5f + p.bob, 25.0f, 31.0f + p.bob, 16.0f, 31.0f + p.bob, TUNIC);
    fill_rect(cv, 16.4f, 27.2f + p.bob, 24.4f, 28.9f + p.bob, BELT);
    fill_rect(cv, 23.0f, 26.9f + p.bob, 24.8f, 29.2f + p.bob, BUCKLE);
    leg_profile(cv, 20.6f, 28.0f + p.bob - (p.reach > 0 ? 1.0f * p.reach : 0), stride, TROUSERS);

    // Hood: the peak falls behind, the face looks ahead.
    fill_ellipse(cv, 19.8f, 18.2f + up, 4.8f, 2.8f, CLOAK);
    fill_tri(cv, 13.0f, 7.5f + up, 19.0f, 7.0f + up, 17.5f, 14.0f + up, CLOAK_DARK);
    shaded_ellipse(cv, 20.4f, 12.4f + up, 5.6f, 6.0f, CLOAK);
    fill_ellipse(cv, 23.6f, 13.8f + up, 2.6f, 3.9f, HOOD_SHADOW);
    fill_ellipse(cv, 24.2f, 14.4f + up, 2.1f, 3.2f, SKIN);
    fill_tri(cv, 25.6f, 12.6f + up, 27.2f, 15.2f + up, 25.4f, 15.6f + up, SKIN);
    fill_rect(cv, 22.0f, 11.0f + up, 26.4f, 12.6f + up, HOOD_SHADOW);
    fill_rect(cv, 24.6f, 13.2f + up, 25.6f, 14.4f + up, EYE);

    if (action == 2) {
        hero_side_shooting(cv, frame, up);
    } else {
        float sw = p.swing;
        float hx = 23.5f + 3.0f * sw, hy = 25.2f + up - std::fabs(sw) * 0.6f;
        stroke(cv, 20.8f, 18.8f + up, hx, hy, 2.6f, CLOAK);
        vertical_bow(cv, hx + 1.2f, hy - 10.0f, hy + 9.0f, 3.0f, hx + 1.2f, hy - 0.5f);
        hand(cv, hx, hy);
    }
}

}  // namespace

void draw_hero(Canvas &cv, int action, int facing, int frame)
{
    cv.mirror = false;
    cv.axis = 20.0f;
    switch (facing) {
    case FACING_UP:
        hero_back(cv, action, frame);
        break;
    case FACING_DOWN:
        hero_front(cv, action, frame);
        break;
    case FACING_LEFT:
        cv.mirror = true;
        hero_side(cv, action, frame);
        cv.mirror = false;
        break;
    default:
        hero_side(cv, action, frame);
        break;
    }
}

BITMAP *make_hero_frame(int action, int facing, int frame)
{
    Canvas cv = make_canvas(FRAME_SIZE, FRAME_SIZE, FINE);
    draw_hero(cv, action, facing, frame);
    BITMAP *b = resolve(cv, OUTLINE);
    free_canvas(cv);
    return b;
}
