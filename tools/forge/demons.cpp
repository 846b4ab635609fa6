// The fifteen demon kinds, walking and attacking in four facings.
// Kinds 1-5 are the small fry, 6-10 the horned middle ranks, 11-15 the burning lords.
#include <algorithm>
#include <cmath>

#include "tools/forge/demon_art.h"

namespace demon_art {

Look looks[MONSTER_KINDS];

// Kinds 1 to 8: the small fry and the first of the middle ranks.
static void define_lesser_looks()
{
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
}

// Kinds 9 to 15: the last of the middle ranks and the burning lords.
static void define_greater_looks()
{
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
    define_lesser_looks();
    define_greater_looks();
}


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

}  // namespace demon_art

using namespace demon_art;

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
    const float lo = 2.0f, hi = FRAME_SIZE - 2.0f, top = demon_is_small(kind) ? 3.0f : 2.0f;
    float f = demon_is_small(kind) ? (ground - top) / (ground - e.top) : 1.0f;
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
