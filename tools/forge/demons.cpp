// The fifteen demon kinds, walking and attacking in four facings.
// Kinds 1-5 are the small fry, 6-10 the horned middle ranks, 11-15 the burning lords.
#include <algorithm>
#include <cmath>

#include "tools/forge/forge.h"

namespace {

const float PI = 3.141592f;

enum Plan { BIPED, BEAST, BLOB, SPIDER, SERPENT, ROBED, HORROR };
enum Horns { NO_HORNS, NUBS, CURVED, RAM, SWEPT, UNICORN };
enum Wings { NO_WINGS, SMALL_WINGS, BIG_WINGS };
enum Weapon { CLAWS, CLUB, SWORD, TRIDENT, STAFF, FLAME_SWORD };

struct Look {
    Plan plan;
    float s;       // overall size; 1 is a figure about 30 pixels tall
    float width;   // half width of the torso at size 1
    float head;    // head radius at size 1
    float hunch;   // head lowered into the shoulders
    Rgb skin, belly, eye, horn;
    Horns horns;
    Wings wings;
    Rgb wing;
    bool tail, ears, fangs, tusks, crown, ribs, armour, flames, spikes, cape;
    int eyes;      // 1 for a single great eye
    Weapon weapon;
};

// Looks of kinds 1..15 (index 0 unused).
Look looks[16];

void define_looks()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Look base = {BIPED, 1, 5, 4.5f, 0, 0, 0, 0xFFD040, rgb(230, 220, 190), NO_HORNS, NO_WINGS, 0,
                 false, false, false, false, false, false, false, false, false, false, 2, CLAWS};
    for (Look &l : looks)
        l = base;

    // 1: imp, red, big-headed, little bat wings and a spade tail.
    Look &imp = looks[1];
    imp.s = 0.86f; imp.width = 4.2f; imp.head = 5.6f;
    imp.skin = rgb(236, 52, 40); imp.belly = rgb(255, 140, 96); imp.eye = rgb(255, 226, 60);
    imp.horns = NUBS; imp.wings = SMALL_WINGS; imp.wing = rgb(160, 30, 40); imp.tail = true; imp.ears = true;
    imp.fangs = true;

    // 2: gremlin, acid green (it must not melt into the grass), hunched, great ears and a wide grin.
    Look &gr = looks[2];
    gr.s = 0.9f; gr.width = 4.8f; gr.head = 5.0f; gr.hunch = 2.0f;
    gr.skin = rgb(166, 222, 60); gr.belly = rgb(226, 240, 150); gr.eye = rgb(255, 150, 30);
    gr.ears = true; gr.fangs = true;

    // 3: slime, a violet blob with horns.
    Look &sl = looks[3];
    sl.plan = BLOB; sl.s = 1.0f;
    sl.skin = rgb(112, 92, 206); sl.belly = rgb(170, 160, 240); sl.eye = rgb(255, 70, 60);
    sl.horns = NUBS; sl.horn = rgb(236, 228, 200); sl.fangs = true;

    // 4: skeleton with a rusty blade.
    Look &sk = looks[4];
    sk.s = 0.96f; sk.width = 3.8f; sk.head = 4.6f;
    sk.skin = rgb(222, 214, 186); sk.belly = rgb(160, 150, 126); sk.eye = rgb(255, 60, 40);
    sk.ribs = true; sk.weapon = SWORD;

    // 5: hellhound, sulphur yellow with a burning mane: it must show on stone, sand and moss.
    Look &hh = looks[5];
    hh.plan = BEAST; hh.s = 0.9f;
    hh.skin = rgb(226, 190, 60); hh.belly = rgb(250, 226, 130); hh.eye = rgb(255, 220, 40);
    hh.horn = rgb(240, 230, 200); hh.horns = NUBS; hh.flames = true; hh.fangs = true; hh.tail = true;

    // 6: horned brute, rust orange, with a club and tusks.
    Look &br = looks[6];
    br.s = 1.0f; br.width = 6.6f; br.head = 4.2f; br.hunch = 1.5f;
    br.skin = rgb(226, 118, 40); br.belly = rgb(250, 184, 112); br.eye = rgb(255, 236, 80);
    br.horns = CURVED; br.horn = rgb(236, 224, 190); br.tusks = true; br.weapon = CLUB; br.spikes = true;

    // 7: gargoyle, dark slate (pale stone would vanish on flagstone), wings spread.
    Look &ga = looks[7];
    ga.s = 0.98f; ga.width = 5.2f; ga.head = 4.2f; ga.hunch = 1.0f;
    ga.skin = rgb(62, 70, 102); ga.belly = rgb(96, 106, 138); ga.eye = rgb(90, 240, 255);
    ga.horns = SWEPT; ga.horn = rgb(80, 84, 96); ga.wings = BIG_WINGS; ga.wing = rgb(42, 48, 74);
    ga.tail = true; ga.fangs = true;

    // 8: naga, scaled, hooded like a cobra, with a trident.
    Look &na = looks[8];
    na.plan = SERPENT; na.s = 1.0f; na.width = 4.6f; na.head = 4.2f;
    na.skin = rgb(14, 128, 124); na.belly = rgb(236, 196, 50); na.eye = rgb(255, 230, 40);
    na.weapon = TRIDENT; na.fangs = true;

    // 9: cyclops demon, blue, one great eye and one horn.
    Look &cy = looks[9];
    cy.s = 1.06f; cy.width = 6.0f; cy.head = 5.0f;
    cy.skin = rgb(64, 100, 196); cy.belly = rgb(120, 160, 230); cy.eye = rgb(255, 250, 200);
    cy.horns = UNICORN; cy.horn = rgb(240, 200, 90); cy.eyes = 1; cy.spikes = true; cy.fangs = true;

    // 10: spider demon, black and violet with a red mark.
    Look &sp = looks[10];
    sp.plan = SPIDER; sp.s = 1.0f;
    sp.skin = rgb(56, 44, 78); sp.belly = rgb(210, 40, 40); sp.eye = rgb(255, 60, 40);
    sp.fangs = true;

    // 11: flame lord, a wingless hulk of black rock cracked with fire, hunched over its
    // burning fists; the demon king is the one with wings.
    Look &fl = looks[11];
    fl.s = 1.16f; fl.width = 7.4f; fl.head = 3.8f; fl.hunch = 2.6f;
    fl.skin = rgb(54, 36, 34); fl.belly = rgb(240, 110, 30); fl.eye = rgb(255, 240, 120);
    fl.horns = SWEPT; fl.horn = rgb(30, 20, 20);
    fl.flames = true; fl.weapon = CLAWS; fl.fangs = true; fl.tail = true; fl.spikes = true;

    // 12: death knight in black steel, green eyes, a great sword and a red cape.
    Look &dk = looks[12];
    dk.s = 1.16f; dk.width = 6.0f; dk.head = 4.4f;
    dk.skin = rgb(44, 46, 62); dk.belly = rgb(110, 116, 140); dk.eye = rgb(110, 255, 110);
    dk.horns = CURVED; dk.horn = rgb(200, 196, 180); dk.armour = true; dk.weapon = SWORD; dk.cape = true;
    dk.spikes = true;

    // 13: abyssal horror, many eyes over a maw, tentacles beneath.
    Look &ho = looks[13];
    ho.plan = HORROR; ho.s = 1.15f;
    ho.skin = rgb(44, 96, 104); ho.belly = rgb(150, 40, 70); ho.eye = rgb(255, 236, 60);
    ho.fangs = true;

    // 14: lich, a crowned skull in a violet robe with a staff of green fire.
    Look &li = looks[14];
    li.plan = ROBED; li.s = 1.16f; li.width = 5.4f; li.head = 4.2f;
    li.skin = rgb(226, 220, 196); li.belly = rgb(60, 20, 104); li.eye = rgb(110, 255, 140);
    li.crown = true; li.weapon = STAFF; li.ribs = false;

    // 15: the demon king: crimson, ram horns, crown, wings, a royal cape and a burning sword.
    Look &dkg = looks[15];
    dkg.s = 1.26f; dkg.width = 6.4f; dkg.head = 4.6f;
    dkg.skin = rgb(176, 28, 30); dkg.belly = rgb(230, 100, 60); dkg.eye = rgb(255, 250, 140);
    dkg.horns = RAM; dkg.horn = rgb(60, 44, 40); dkg.wings = BIG_WINGS; dkg.wing = rgb(70, 16, 24);
    dkg.crown = true; dkg.flames = true; dkg.weapon = FLAME_SWORD; dkg.fangs = true; dkg.spikes = true; dkg.cape = true;
    dkg.tail = true;
}

struct Motion {
    float bob;      // body down
    float lift_l, lift_r;
    float stride;   // -1..1
    float reach;    // -1..1, a quarter cycle behind the stride: which foot is ahead
    float flap;     // wing tips
    float raise;    // attack: 1 arms high, -1 struck down
    bool mouth;     // open
    float flicker;  // 0..1, for flames
    float lunge;    // attack: toward the facing
};

Motion motion_for(int action, int frame)
{
    Motion m = {};
    float t = frame * 2 * PI / 6;
    m.flicker = (float)frame / 6;
    m.flap = 1.6f * std::sin(t);
    if (action == 1) {
        float s = std::sin(t);
        m.bob = -std::fabs(s) * 0.9f;
        m.lift_l = s > 0 ? 3.2f * s : 0;
        m.lift_r = s < 0 ? -3.2f * s : 0;
        m.stride = s;
        m.reach = std::cos(t);
    } else {
        // Six keyed poses: gather, wind up, the top of the swing, the blow, the follow
        // through and the recovery; the body crouches, rises and lunges with them.
        static const float raise[6] = {0.25f, 0.75f, 1.25f, -0.7f, -1.25f, 0.0f};
        static const float lunge[6] = {-0.3f, -0.9f, -1.3f, 1.0f, 1.7f, 0.2f};
        static const float bob[6] = {1.2f, 0.2f, -1.0f, 0.4f, 1.4f, 2.0f};
        static const float flap[6] = {-1.0f, -2.2f, -3.2f, 0.2f, 2.6f, 1.6f};
        m.raise = raise[frame];
        m.lunge = lunge[frame];
        m.bob = bob[frame];
        m.flap = flap[frame];
        m.mouth = frame >= 1 && frame <= 4;
        m.stride = frame == 0 || frame == 5 ? 0.0f : frame < 3 ? -0.6f : 0.8f;
    }
    return m;
}

// ---- parts ----

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

// ---- the biped plan: imps, gremlins, skeletons, brutes, gargoyles, lords ----

struct Frame {
    float cx, ground, s;
    float hip_y, sh_y, head_y, hr, tw, torso_cy, torso_ry, leg_w, arm_w;
};

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
    bool glow = L.flames || L.s > 1.1f;
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

    // Far arm and leg, darker.
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

    // Head, looking ahead.
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

    // Near arm: swings, or winds up and strikes ahead.
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

// ---- dispatch ----

void draw_plan(Canvas &cv, const Look &L, float cx, int action, int facing, int frame)
{
    Motion m = motion_for(action, frame);
    switch (L.plan) {
    case BIPED:
        if (facing == FACING_UP)
            biped_back(cv, L, cx, m);
        else if (facing == FACING_DOWN)
            biped_front(cv, L, cx, m);
        else
            biped_side(cv, L, cx, m);
        break;
    case BEAST:
        if (facing >= FACING_LEFT) {
            beast_side(cv, L, cx - 2, m);
        } else {
            // Head-on a hound is narrow: drawn larger, so that it holds its own beside the
            // side views' long body.
            const float grow = 1.35f;
            Canvas big = cv;
            big.zoom = cv.zoom * grow;
            big.dx = cx / grow - cx + cv.dx / grow;
            big.dy = 38.0f / grow - 38.0f + cv.dy / grow;
            beast_front(big, L, cx, m, facing == FACING_UP);
        }
        break;
    case BLOB:
        blob(cv, L, cx, m, facing);
        break;
    case SPIDER:
        spider(cv, L, cx, m, facing);
        break;
    case SERPENT:
        serpent(cv, L, cx, m, facing);
        break;
    case ROBED:
        robed(cv, L, cx, m, facing);
        break;
    case HORROR:
        horror(cv, L, cx, m, facing);
        break;
    }
}

}  // namespace

// Large kinds are drawn by the game half as big again, growing up and to the right of
// the same anchor: they stand a little left of the frame's middle to stay over their feet.
static float demon_center(int kind)
{
    return kind >= 5 ? 18.0f : 20.0f;
}

// How much of the frame a figure drawn at natural size covers, over every frame of the kind.
struct Extent {
    float left, right, top;
};

static Extent natural_extent(int kind)
{
    const Look &L = looks[kind];
    float cx = demon_center(kind);
    // A margin all round, so that what would fall off the frame is measured too.
    const int margin = FRAME_SIZE / 2;
    Canvas cv = make_canvas(FRAME_SIZE + 2 * margin, FRAME_SIZE + margin, FINE);
    cv.dx = cv.dy = margin;
    int mask = pixel32(MASK_RGB);
    int left = cv.fine->w, right = -1, top = cv.fine->h;
    for (int action = 1; action <= 2; action++)
        for (int facing = 0; facing < 4; facing++)
            for (int frame = 0; frame < 6; frame++) {
                clear_canvas(cv);
                cv.axis = cx;
                cv.mirror = facing == FACING_LEFT;
                draw_plan(cv, L, cx, action, facing, frame);
                for (int y = 0; y < cv.fine->h; y++)
                    for (int x = 0; x < cv.fine->w; x++)
                        if (_getpixel32(cv.fine, x, y) != mask) {
                            left = std::min(left, x);
                            right = std::max(right, x);
                            top = std::min(top, y);
                        }
            }
    free_canvas(cv);
    return {(float)left / FINE - margin, (float)(right + 1) / FINE - margin, (float)top / FINE - margin};
}

// The scale about the figure's foot point that keeps every frame of the kind off the top,
// left and right edges (the outline takes one more pixel), and that raises the small
// kinds, whose health pips ride on the frame's top, until their heads come up to it.
static float demon_fit(int kind)
{
    static float fit[16];
    if (fit[kind] > 0)
        return fit[kind];
    Extent e = natural_extent(kind);
    float cx = demon_center(kind), ground = 38.0f;
    const float lo = 2.0f, hi = FRAME_SIZE - 2.0f, top = kind <= 4 ? 3.0f : 2.0f;
    float f = kind <= 4 ? (ground - top) / (ground - e.top) : 1.0f;
    if (e.left < cx)
        f = std::min(f, (cx - lo) / (cx - e.left));
    if (e.right > cx)
        f = std::min(f, (hi - cx) / (e.right - cx));
    f = std::min(f, (ground - top) / (ground - e.top));
    fit[kind] = f;
    return f;
}

void draw_demon(Canvas &cv, int kind, int action, int facing, int frame)
{
    define_looks();
    const Look &L = looks[kind];
    float cx = demon_center(kind);
    float f = demon_fit(kind);
    Canvas scaled = cv;
    scaled.zoom = cv.zoom * f;
    scaled.dx = cx / f - cx + cv.dx / f;
    scaled.dy = 38.0f / f - 38.0f + cv.dy / f;
    scaled.axis = cx;
    scaled.mirror = facing == FACING_LEFT;
    draw_plan(scaled, L, cx, action, facing, frame);
}

BITMAP *make_demon_frame(int kind, int action, int facing, int frame)
{
    define_looks();
    Canvas cv = make_canvas(FRAME_SIZE, FRAME_SIZE, FINE);
    draw_demon(cv, kind, action, facing, frame);
    Rgb outline = mix_rgb(scale_rgb(looks[kind].skin, 0.25f), 0x000000, 0.5f);
    BITMAP *b = resolve(cv, outline);
    free_canvas(cv);
    return b;
}
