// The kinds of the world, each defined once: how large a demon kind is drawn, how far the
// floor reaches, and what every kind of special floor is, does and looks like. The game,
// the forge (map sources, build, overview, looks) and the automated player all read them
// here, so that a new kind of floor is a row of floor_kinds plus what is truly new about it.
#pragma once

#include "world/world.h"

// A floor this far above or below the feet is not floor: the hero neither stands on it
// nor steps to it, and a demon does not walk there.
const float FLOOR_REACH = 1.5f;

// ---- demons ----
// Kinds up to LAST_SMALL_DEMON are drawn DEMON_SMALL_SIZE pixels square at scale 1, the
// others DEMON_LARGE_SIZE, growing upward from the same anchor. A small kind's head reaches
// its frame's top, where its health pips are centred; a large kind's pips start at the
// anchor's left.
enum { DEMON_SMALL_SIZE = 48, DEMON_LARGE_SIZE = 72, LAST_SMALL_DEMON = 4 };

inline bool demon_is_small(int kind)
{
    return kind <= LAST_SMALL_DEMON;
}

inline int demon_drawn_size(int kind)
{
    return demon_is_small(kind) ? DEMON_SMALL_SIZE : DEMON_LARGE_SIZE;
}

// ---- special floors ----
// What must hold for a gated floor to be floor, a seal to show open, or a way out to lead on.
enum KindCondition {
    OPEN_ALWAYS,
    OPEN_WHEN_CLEAN,       // no demon of the current map is alive
    OPEN_WITH_GROUP_ITEM,  // the hero holds the key or gem of the map's group
    OPEN_WITH_ALL_GEMS,    // the hero holds all four gems
};

// How the forge's overview colours a cell; a cell with a curtain takes the later of the
// two looks in this order.
enum KindLook {
    LOOK_SURFACE,     // its surface's own colour
    LOOK_GEMS,        // its surface's colour under the four gems' stones
    LOOK_CLEARED,     // CLEARED_RGB, the violet of the barriers
    LOOK_GROUP_SEAL,  // the colour of the map group's key or gem
    LOOK_EXIT,        // EXIT_RGB, the cyan of the ways to other maps
};

// The colours the floors that matter are drawn in, 0xRRGGBB: the floors that open when a
// map is clean, and every floor that leads to another map.
const int CLEARED_RGB = 0xB45AFF;
const int EXIT_RGB = 0x5ADCEB;

struct FloorKind {
    int number;              // the triangle kind in the map data (a trigger: the first)
    const char *name;        // as the forge's messages name it
    int motion;              // how its vertices move (MOTION_NONE, _RIPPLE, _SWAY)
    float scroll_u, scroll_v;  // its texture drifts by these times texture_scroll
    int floor_when;          // a KindCondition: floor only while it holds
    int seal_open_when;      // a seal: see-through while this holds (-1: not a seal)
    bool written;            // a map source may write it as kind=N on a cell
    bool leads;              // stepping on it changes the map ...
    int leads_when;          // ... while this holds ...
    int leads_to_map;        // ... to this map (-1: the one its trigger record names) ...
    int arrival_record;      // ... arriving where this record says (-1: its kind's own)
    const char *wears;       // the surface its top (a seal's: its curtain) must wear ("": any)
    int seal;                // the kind of the seal the forge lays over it (0: none) ...
    const char *seal_surface;  // ... and what that seal wears ("seal": the map group's)
    int look;                // a KindLook, for the overview
    const char *mark;        // its letter on the overview ("": none; a way out shows its symbol)
    int mark_rgb;
};

extern const FloorKind floor_kinds[];
extern const int floor_kind_count;

// The row of a triangle kind: every kind from KIND_TRIGGER_BASE to MAX_TRIGGERS - 1 is a
// trigger; a kind the table does not list is plain floor.
const FloorKind &floor_kind(int kind);
// The row a map source's cell stands for: a trigger when it has an exit.
const FloorKind &cell_floor_kind(int kind, bool exit);
// Ordinary floor: still, walkable from the first frame, no seal, gate or way out.
inline bool kind_is_plain(const FloorKind &k)
{
    return k.motion == MOTION_NONE && k.floor_when == OPEN_ALWAYS && k.seal_open_when < 0 && !k.leads;
}

// The highest kind the table lists below the triggers.
int last_listed_kind();

// Whether the condition holds now, for the current map and what the hero holds.
bool kind_condition_holds(int condition);
// Whether the floor leads on now: it leads somewhere and its condition holds.
bool kind_leads_now(int kind);

// Gives a scene triangle its kind and the flags the kind sets.
void set_triangle_kind(ViewTriangle &t, int kind);
// Whether a gated floor is floor now, and a seal see-through now, by their conditions
// alone (until the hero has stood on ordinary floor the game counts both as open).
bool floor_open_now(const ViewTriangle &t);
bool seal_open_now(const ViewTriangle &t);
