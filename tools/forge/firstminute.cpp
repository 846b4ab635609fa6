// The start map's first minute: where a demon can wake unseen.
#include "tools/forge/firstminute.h"

#include <cmath>
#include <cstdio>

#include "render/camera.h"
#include "tools/forge/mapbuild.h"

namespace {

// The hero walks 0.16 units a frame at 60 frames a game second, on both axes at once when
// he walks diagonally.
const float HERO_PACE = 0.16f * 60;
// The floor ahead of a demon is painted when its triangle's centre, which is where a spawn
// point stands, lies within this many units of the hero on both axes.
const float WAKE_REACH = 5;
// A cell's two spawn points are its triangles' centres, a sixth of a unit off its middle
// on both axes (which diagonal splits it is the map builder's choice: both are tried).
const float SPAWN_OFFSET = 1.0f / 6;

// The game's camera at 640 x 480: the tilted basis, the eye 55 view units behind the focus,
// the picture shifted down 24 pixels, and HUD bands of a fifth of the height above and below.
const float VIEW_SCALE = 7, CAMERA_TILT = 45;
const float EYE_Y = -4.5f, EYE_Z = 55;
const float FRAME_W = 640, FRAME_H = 480, FOCAL = 640 / 1.6f, SHIFT_DOWN = 24, HUD_BAND = 480 / 5;

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

bool in_world_band_at_rest(float dx, float dy, float dz)
{
    float e[3][3];
    rotate_point(-VIEW_SCALE, 0, 0, CAMERA_TILT, 0, 0, &e[0][0], &e[0][1], &e[0][2]);
    rotate_point(0, 0.8f * VIEW_SCALE, 0, CAMERA_TILT, 0, 0, &e[1][0], &e[1][1], &e[1][2]);
    rotate_point(0, 0, VIEW_SCALE, CAMERA_TILT, 0, 0, &e[2][0], &e[2][1], &e[2][2]);
    float vx = dx * e[0][0] + dy * e[1][0] + dz * e[2][0];
    float vy = dx * e[0][1] + dy * e[1][1] + dz * e[2][1] - EYE_Y;
    float vz = dx * e[0][2] + dy * e[1][2] + dz * e[2][2] - EYE_Z;
    if (!(vz < 0))
        return false;
    float sx = FRAME_W / 2 + vx / vz * FOCAL, sy = FRAME_H / 2 + vy / vz * FOCAL + SHIFT_DOWN;
    return sx >= 0 && sx <= FRAME_W && sy >= HUD_BAND && sy <= FRAME_H - HUD_BAND;
}

std::vector<std::string> first_minute_problems(const Campaign &campaign, const MapSource &m)
{
    std::vector<std::string> problems;
    if (m.number != START_MAP)
        return problems;
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
