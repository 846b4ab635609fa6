// The view check: the forged maps drawn by the game's own renderer from the places the hero
// can stand (see viewplaces.h). Nothing beyond a map's edge may show in the world band, the
// hero must stay in sight and never be drawn over by what stands behind him (viewcover.h),
// every step must read, and every seal must show the colour of what opens it and change once
// open. A map maker runs it on a new map (grimhold-viewcheck).
#pragma once

#include <allegro.h>
#include <string>
#include <vector>

#include "tools/forge/campaign.h"
#include "tools/viewcheck/viewplaces.h"

// The share of the world band that may show the back buffer's clear colour, the share of
// the hero's pixels that must be seen, and the least luminance (0 to 255) a step's rim must
// stand out by from what shows across its edge, on average over the frames that see it.
const double MAX_UNCOVERED = 0.01;
const double MIN_HERO_SEEN = 0.60;
const double MIN_STEP_CONTRAST = 24;
// The most of the hero, his pixels counted by how much each is covered, that the frame may
// hide where a per-pixel depth test shows him (see viewcover.h).
const double MAX_WRONGLY_COVERED = 0.10;

// What one map showed: its figures, and every rule it breaks, each naming the place.
struct MapView {
    int number = 0;
    int views = 0, failing_views = 0;
    double worst_uncovered = 0, least_hero_seen = 1;
    std::string least_seen_where;
    int steps = 0, steps_read = 0;
    float weakest_contrast = -1;  // -1 when no step was read
    std::string weakest_step;
    std::vector<std::string> seals;     // "key 2: 3 210 pixels change, 90 % in its colour"
    // The most of the hero wrongly covered over the views that judge it, and where.
    int cover_views = 0;
    double worst_cover = 0;
    std::string worst_cover_where;
    // The most a small and a large demon a step north of him wrongly cover of him, and where.
    double demon_cover[2] = {0, 0};
    std::string demon_where[2];
    std::vector<std::string> failures;  // empty when the map holds
};

// Velok's frames standing and walking in every facing, and the first walking frame facing
// south of each demon stood behind him, from DATA_DIR/anim, where the renderer takes them, for
// as long as the views are judged; the frames found there before are put back.
struct HeroFrames {
    static const int N = 2 * SPRITE_FACINGS * SPRITE_FRAMES + 2;
    BITMAP *kept[N], *mine[N] = {};
    bool complete = true;
    explicit HeroFrames(const std::string &data_dir);
    ~HeroFrames();
    HeroFrames(const HeroFrames &) = delete;
    HeroFrames &operator=(const HeroFrames &) = delete;
};

// The 640 x 480 view as the game sets it up, the frames counted at 60 a second, every key
// and gem held and no pick-up about: the shipped maps drawn and walked as a player finds them.
void set_up_shipped_view();

// That view, with the HUD's bands and the water's swell as the game sets them up. The end
// puts the HUD's band back and drops the inventory and the scene.
void begin_view_check();
void end_view_check();

// The forged map (under data/ in the working folder) loaded and its scene built with no demon
// in it, the floor reached; its demon count into `kept`, for the caller to put back. False
// when it does not load.
bool enter_map_without_demons(const MapSource &m, s16 *kept);

// Judges the views of the map entered (`shots`, when set, keeps the first failing frames
// there as BMP files) and its seals, into `out`.
void judge_views(const Campaign &c, const MapSource &m, const ViewBudget &budget, const std::string &shots,
                 MapView &out);
void judge_seals(const MapSource &m, MapView &out);

// Enters the map, judges it and puts its demons back.
MapView check_map_view(const Campaign &c, const MapSource &m, const ViewBudget &budget, const std::string &shots);

// The map's figures on one line.
std::string map_view_line(const MapView &v);
