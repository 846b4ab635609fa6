// The start map's first minute: where a demon can wake unseen.
#include "tools/forge/firstminute.h"

#include <cmath>
#include <cstdio>

#include "game/floormap.h"
#include "game/player.h"
#include "render/camera.h"
#include "screens/assets.h"
#include "shell/video.h"
#include "tools/forge/mapcells.h"

namespace {

// The hero's full pace in units a game second, on both axes at once when he walks diagonally.
const float HERO_PACE = STEP_PER_FRAME * FRAMES_PER_GAME_SECOND;
// The floor ahead of a demon is painted when its triangle's centre, which is where a spawn
// point stands, lies within the floor map's paint radius of the hero on both axes.
const float WAKE_REACH = PAINT_RADIUS;
// A cell's two spawn points are its triangles' centres, a sixth of a unit off its middle
// on both axes (which diagonal splits it is the map builder's choice: both are tried).
const float SPAWN_OFFSET = 1.0f / 6;

struct Place {
    int col, row;
    float x, z;  // where in the cell the hero stands
};

bool wakes_unseen(const MapSource &m, const Place &hero, int col, int row)
{
    float dy = cell_style(m, col, row).height - cell_style(m, hero.col, hero.row).height;
    for (int k = 0; k < 4; k++) {
        float sx = col + 0.5f + (k & 1 ? SPAWN_OFFSET : -SPAWN_OFFSET);
        float sz = row + 0.5f + (k & 2 ? SPAWN_OFFSET : -SPAWN_OFFSET);
        float dx = sx - hero.x, dz = sz - hero.z;
        if (std::fabs(dx) < WAKE_REACH && std::fabs(dz) < WAKE_REACH && !in_world_band_at_rest(dx, dy, dz))
            return true;
    }
    return false;
}

// A place on walkable floor within the first minute's walk from which the spawn cell's
// demon wakes out of sight; false when there is none. The hero may stand anywhere in a
// cell, so each is tried at its corners, edges and middle.
bool unseen_wake_place(const MapSource &m, const std::vector<float> &walk, int col, int row, Place *found)
{
    // Diagonal steps count a square root of two in the walk, but the hero takes them as fast.
    const float reach = HERO_PACE * FIRST_MINUTE_SECONDS * std::sqrt(2.0f);
    int r = (int)WAKE_REACH + 2;
    for (int hr = row - r; hr <= row + r; hr++)
        for (int hc = col - r; hc <= col + r; hc++) {
            if (hc < 0 || hr < 0 || hc >= m.width || hr >= m.height || !(walk[hr * m.width + hc] <= reach))
                continue;
            for (int i = 0; i <= 4; i++)
                for (int j = 0; j <= 4; j++) {
                    Place p{hc, hr, hc + i * 0.25f, hr + j * 0.25f};
                    if (wakes_unseen(m, p, col, row)) {
                        *found = p;
                        return true;
                    }
                }
        }
    return false;
}

}  // namespace

void set_up_game_camera()
{
    set_screen_globals(GAME_WIDTH, GAME_HEIGHT);
    set_view_constants();
    init_camera();
}

bool in_world_band_at_rest(float dx, float dy, float dz)
{
    // At rest the camera's focus is on the hero's feet.
    float vx, vy, vz;
    apply_camera_matrix(dx, dy, dz, &vx, &vy, &vz);
    vx -= eye_offset_x, vy -= eye_offset_y, vz -= eye_offset_z;
    if (!(vz < 0))
        return false;
    float sx, sy;
    project_point(vx, vy, vz, &sx, &sy);
    int band = screen_height / HUD_BAND_DIVISOR;
    return sx >= 0 && sx <= screen_width && sy >= band && sy <= screen_height - band;
}

std::vector<std::string> first_minute_problems(const Campaign &campaign, const MapSource &m)
{
    std::vector<std::string> problems;
    if (m.number != START_MAP)
        return problems;
    set_up_game_camera();
    // Walked from the start alone: the other arrivals come later in the game.
    MapSource from_start = m;
    from_start.spots.clear();
    if (const SourceSpot *start = find_spot(m, "start"))
        from_start.spots.push_back(*start);
    std::vector<float> walk = walking_distances(campaign, from_start);
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            const CellStyle &st = cell_style(m, col, row);
            Place p;
            if (st.is_void || st.kind != KIND_SPAWN || !unseen_wake_place(m, walk, col, row, &p))
                continue;
            char text[400];
            snprintf(text, sizeof(text),
                     "map %d (%s): the spawn cell at column %d row %d wakes out of the hero's sight when he "
                     "stands in column %d row %d, %.1f game seconds' walk from the start: no demon may set out "
                     "unseen in his first %d",
                     m.number, m.file.c_str(), col - m.ring_west, row - m.ring_north, p.col - m.ring_west,
                     p.row - m.ring_north, walk[p.row * m.width + p.col] / HERO_PACE, (int)FIRST_MINUTE_SECONDS);
            problems.push_back(text);
        }
    return problems;
}
