// Where the view check stands the hero on a map, and how: at rest with the camera on him or
// a step behind, pressed against walls, and in mid-walk with the camera trailing. Every place
// is one the hero can reach from the map's arrivals, gates counted open.
#pragma once

#include <string>
#include <vector>

#include "tools/forge/campaign.h"
#include "world/kinds.h"

// How many places a map is judged from. The full budget judges the campaign; a smaller one
// draws a few a map (the sanitizer build, where the memory checks are the point).
struct ViewBudget {
    size_t places_per_map;   // standing places, besides every cell just behind a tall post
    size_t places_per_side;  // pressed against a wall, and walking, toward each facing
    size_t places_per_kind;  // of those, beside each kind of cell that shuts the way
    double steps_read;       // the least share of a map's steps that must be read
    bool every;              // every place beside a wall and every step of a walk
    size_t cover_places;     // the most places judged for the covering alone, spread evenly
};
const int FULL_VIEW_PLACES = 90;
// The budget for `places` standing places a map: the full budget's shares of it.
ViewBudget view_budget(int places, bool every = false);

struct Place {
    int col, row;
};

// One judged view: where the hero stands and how, and where the camera is.
struct Pose {
    float x, y, z;
    int action, facing, frame;
    float camera_x, camera_z;
    bool whole_band;  // the band is judged too (at rest); else the hero alone
    Place place;
    std::string what;
    // Judged for the hero wrongly covered alone, without drawing the whole frame.
    bool cover_only = false;
    // A demon of this kind stands a step north of him, its feet this high (0: none).
    int demon_kind = 0;
    float demon_y = 0;
};

// The demons stood a step north of the hero: one of each size the game draws.
const int DEMON_KINDS_JUDGED[2] = {1, LAST_SMALL_DEMON + 1};

// Every view of one map the check judges, within the budget.
std::vector<Pose> view_poses(const Campaign &c, const MapSource &m, const ViewBudget &budget);

// Whether the hero can step from one cell into the next (gates counted open).
bool hero_can_step(const MapSource &m, int col, int row, int nc, int nr);

// "column C row R of the grid", counted from the grid as written (rings aside).
std::string grid_place(const MapSource &m, int col, int row);
