// Reading the steps from the game's frames: a second pass over the frame's depth order paints
// every triangle in a flat colour of its own, so that each pixel sampled is known to show the
// higher top's rim, or what lies across it, and not a crown, a post or the hero.
#include "tools/viewcheck/viewsteps.h"

#include <cmath>
#include <map>

#include "render/camera.h"
#include "render/ordering.h"
#include "screens/assets.h"
#include "shell/startup.h"
#include "tools/forge/mapbuild.h"

namespace {

// Each step is read at this many places along its edge.
const int STRETCHES = 4;
// A view counts for a step when it shows this many of them: one texel glimpsed past a crown
// is not how a person reads an edge (a brick's mortar beside dirt would fail a bright wall).
const int MIN_STRETCHES_READ = 2;
// The rim's middle, a texel in from the edge; what lies across is read as far beyond it.
const float RIM_MIDDLE = 1.0f / SHADOW_CELL;
// Steps are read near the middle of the view, where the player looks at them: from the camera's
// focus this far east or west, north, and south.
const float NEAR_ACROSS = 3, NEAR_NORTH = 3, NEAR_SOUTH = 2;

float luminance_at(BITMAP *b, int x, int y)
{
    int c = getpixel(b, x, y);
    return 0.299f * getr(c) + 0.587f * getg(c) + 0.114f * getb(c);
}

bool to_screen(const float *p, float *sx, float *sy)
{
    float vx, vy, vz;
    view_transform(p[0], p[1], p[2], &vx, &vy, &vz);
    if (vz > -1)
        return false;
    project_point(vx, vy, vz, sx, sy);
    return true;
}

}  // namespace

StepMeter::StepMeter(const Campaign &c, const MapSource &m) : map_(m)
{
    faces_ = collect_faces(m);
    for (int face : face_order(m, faces_))
        owner_.insert(owner_.end(), face_triangles(faces_[face]), face);
    edges_ = height_edges(m, reachable_floor(c, m));
    std::map<std::pair<int, int>, int> tops;
    for (size_t i = 0; i < faces_.size(); i++)
        if (faces_[i].cell_top)
            tops[{faces_[i].col, faces_[i].row}] = (int)i;
    for (const HeightEdge &e : edges_)
        top_face_.push_back(tops.count({e.col, e.row}) ? tops[{e.col, e.row}] : -1);
    sum_.assign(edges_.size(), 0);
    count_.assign(edges_.size(), 0);
    owners_ = create_bitmap(screen_width, screen_height);
}

StepMeter::~StepMeter()
{
    if (owners_)
        destroy_bitmap(owners_);
}

void StepMeter::paint_owners()
{
    clear_to_color(owners_, 0);
    main_loop_pass(pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING));
    for (int i = depth_high; i >= depth_low; i--) {
        int code = depth_buckets[i];
        depth_buckets[i] = 0;
        if (code < BUCKET_TRIANGLE_BASE)
            continue;
        const ViewTriangle &tri = view_triangles[code - BUCKET_TRIANGLE_BASE];
        V3D_f corner[3];
        for (int k = 0; k < 3; k++) {
            const ViewVertex &w = view_vertices[tri.vertex[k]];
            corner[k] = V3D_f{w.screen_x, w.screen_y, w.view_depth, 0, 0, code - BUCKET_TRIANGLE_BASE + 1};
        }
        triangle3d_f(owners_, POLYTYPE_FLAT, NULL, &corner[0], &corner[1], &corner[2]);
    }
}

// The mean luminance of three pixels around (x, y) along the edge's direction on the screen
// (dx, dy), when each shows the higher top (the rim) or the top or bank of a cell other than
// it (across).
bool StepMeter::sample(float x, float y, float dx, float dy, int top, bool rim, BITMAP *frame, float *luminance)
{
    float sum = 0;
    for (int j = -1; j <= 1; j++) {
        int px = (int)std::floor(x + j * dx), py = (int)std::floor(y + j * dy);
        if (px < 0 || px >= screen_width || py <= hud_band_height || py >= screen_height - hud_band_height - 1)
            return false;
        int t = getpixel(owners_, px, py) - 1;
        if (t < 0 || t >= (int)owner_.size())
            return false;
        const Face &f = faces_[owner_[t]];
        if (rim ? owner_[t] != top : owner_[t] == top || (!f.cell_top && f.bank < 0))
            return false;
        sum += luminance_at(frame, px, py);
    }
    *luminance = sum / 3;
    return true;
}

void StepMeter::read(BITMAP *frame)
{
    if (view_triangles.size() != owner_.size())
        return;  // not the scene this meter was made for
    paint_owners();
    float ox = map_origin_x(map_), oz = map_origin_z(map_);
    for (size_t i = 0; i < edges_.size(); i++) {
        const HeightEdge &e = edges_[i];
        if (top_face_[i] < 0)
            continue;
        float y = cell_style(map_, e.col, e.row).height;
        float x0 = ox + e.col, z0 = oz + e.row;
        if (std::fabs(x0 + 0.5f - camera_x) > NEAR_ACROSS || z0 + 0.5f < camera_z - NEAR_NORTH ||
            z0 + 0.5f > camera_z + NEAR_SOUTH)
            continue;
        double view_sum = 0;
        int view_reads = 0;
        for (int k = 0; k < STRETCHES; k++) {
            float a = (k + 0.5f) / STRETCHES;
            float edge[3], inward[3] = {0, 0, 0}, along[3] = {0, 0, 0};
            switch (e.side) {
            case EDGE_SOUTH: edge[0] = x0 + a, edge[2] = z0 + 1, inward[2] = -1, along[0] = 1; break;
            case EDGE_NORTH: edge[0] = x0 + a, edge[2] = z0, inward[2] = 1, along[0] = 1; break;
            case EDGE_WEST: edge[0] = x0, edge[2] = z0 + a, inward[0] = 1, along[2] = 1; break;
            default: edge[0] = x0 + 1, edge[2] = z0 + a, inward[0] = -1, along[2] = 1; break;
            }
            edge[1] = y;
            float in[3] = {edge[0] + inward[0] * RIM_MIDDLE, y, edge[2] + inward[2] * RIM_MIDDLE};
            float next[3] = {in[0] + along[0] * 0.05f, y, in[2] + along[2] * 0.05f};
            float ex, ey, ix, iy, nx, ny;
            if (!to_screen(edge, &ex, &ey) || !to_screen(in, &ix, &iy) || !to_screen(next, &nx, &ny))
                continue;
            float len = std::hypot(nx - ix, ny - iy);
            if (std::hypot(ix - ex, iy - ey) < 2.0f || len < 1e-3f)
                continue;  // too far off to read
            // Across is read as far past the edge on the screen as the rim's middle lies within it.
            float inner, outer, dx = (nx - ix) / len, dy = (ny - iy) / len;
            if (!sample(ix, iy, dx, dy, top_face_[i], true, frame, &inner) ||
                !sample(2 * ex - ix, 2 * ey - iy, dx, dy, top_face_[i], false, frame, &outer))
                continue;
            view_sum += std::fabs(inner - outer);
            view_reads++;
        }
        if (view_reads >= MIN_STRETCHES_READ) {
            sum_[i] += view_sum;
            count_[i] += view_reads;
        }
    }
}

int StepMeter::steps_seen() const
{
    int n = 0;
    for (int c : count_)
        n += c > 0;
    return n;
}

float StepMeter::weakest(HeightEdge *which) const
{
    float worst = -1;
    for (size_t i = 0; i < edges_.size(); i++) {
        if (!count_[i])
            continue;
        float mean = (float)(sum_[i] / count_[i]);
        if (worst < 0 || mean < worst) {
            worst = mean;
            if (which)
                *which = edges_[i];
        }
    }
    return worst;
}

std::string StepMeter::describe(const HeightEdge &e) const
{
    static const char *sides[4] = {"south", "west", "east", "north"};
    char text[120];
    snprintf(text, sizeof(text), "the step %.1f down from column %d row %d toward the %s", e.rise,
             e.col - map_.ring_west, e.row - map_.ring_north, sides[e.side]);
    return text;
}

