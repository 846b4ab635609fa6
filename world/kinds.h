// The kinds of the world, each defined once: how large a demon kind is drawn and how far
// the floor reaches. The game, the forge and the automated player all read them here.
#pragma once

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
