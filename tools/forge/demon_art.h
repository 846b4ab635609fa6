// The demons' drawing, shared by its files: the looks and motions of the kinds, the parts
// they are built of (demon_parts.cpp), the biped plan (demon_biped.cpp) and the other
// body plans (demon_beasts.cpp). demons.cpp holds the looks, the motions and the dispatch.
#pragma once

#include "tools/forge/forge.h"

namespace demon_art {

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

// The pose of an action's frame (1 walking, 2 attacking).
Motion motion_for(int action, int frame);

// A biped's measures in one frame: where its hips, shoulders and head are.
struct Frame {
    float cx, ground, s;
    float hip_y, sh_y, head_y, hr, tw, torso_cy, torso_ry, leg_w, arm_w;
};

// Looks of kinds 1..15 (index 0 unused).
extern Look looks[MONSTER_KINDS];

// ---- parts (demon_parts.cpp) ----
void eye(Canvas &cv, float x, float y, float r, Rgb c, bool glow);
void flame(Canvas &cv, float x, float y, float h, float w, float sway);
void flame_crown(Canvas &cv, float cx, float cy, float r, float flicker);
void bat_wing(Canvas &cv, float rx, float ry, float dir, float span, float height, float flap, Rgb c);
void horns(Canvas &cv, const Look &L, float cx, float hy, float hr, bool side);
void crown(Canvas &cv, float cx, float top, float hr);
void fangs(Canvas &cv, float x1, float x2, float y, float len);
void weapon(Canvas &cv, const Look &L, float hx, float hy, float ang, float s, float flicker);
void claws(Canvas &cv, float x, float y, float dir, float s);

// ---- the biped plan (demon_biped.cpp) ----
Frame biped_frame(const Look &L, float cx, const Motion &m);
void biped_legs_front(Canvas &cv, const Look &L, const Frame &f, const Motion &m);
void biped_torso(Canvas &cv, const Look &L, const Frame &f, bool back);
void shoulder_spikes(Canvas &cv, const Look &L, const Frame &f);
void head_front(Canvas &cv, const Look &L, const Frame &f, const Motion &m, bool glow);
void head_back(Canvas &cv, const Look &L, const Frame &f);
void arm_and_hand(Canvas &cv, const Look &L, const Frame &f, float sx, float sy, float hx, float hy, float dir,
                  bool holds, float ang, const Motion &m);
void biped_arms_front(Canvas &cv, const Look &L, const Frame &f, const Motion &m, bool back);
void biped_wings(Canvas &cv, const Look &L, const Frame &f, const Motion &m, float scale);
void spade_tail(Canvas &cv, const Look &L, float x1, float y1, float cxp, float cyp, float x2, float y2);
void cape(Canvas &cv, const Frame &f, const Motion &m, bool over);
void biped_front(Canvas &cv, const Look &L, float cx, const Motion &m0);
void biped_back(Canvas &cv, const Look &L, float cx, const Motion &m0);
void biped_side_behind(Canvas &cv, const Look &L, const Frame &f, float tw, const Motion &m);
void biped_side_legs_and_body(Canvas &cv, const Look &L, const Frame &f, float tw, float lean, const Motion &m);
void biped_side_head(Canvas &cv, const Look &L, const Frame &f, float lean, const Motion &m);
void biped_side_near_arm(Canvas &cv, const Look &L, const Frame &f, float lean, const Motion &m);
void biped_side(Canvas &cv, const Look &L, float cx, const Motion &m);

// ---- the other plans (demon_beasts.cpp) ----
void beast_side(Canvas &cv, const Look &L, float cx, const Motion &m);
void beast_front(Canvas &cv, const Look &L, float cx, const Motion &m, bool back);
void blob(Canvas &cv, const Look &L, float cx, const Motion &m, int facing);
void spider(Canvas &cv, const Look &L, float cx, const Motion &m, int facing);
void coils(Canvas &cv, const Look &L, float cx, float g, const Motion &m, bool side);
void serpent(Canvas &cv, const Look &L, float cx, const Motion &m0, int facing);
void robed(Canvas &cv, const Look &L, float cx, const Motion &m, int facing);
void horror(Canvas &cv, const Look &L, float cx, const Motion &m, int facing);

}  // namespace demon_art
