// One full render pass over a dense generated scene, against Allegro's own two ways of
// drawing the same visible triangles: its scan-line scene renderer and z-buffered polygons.
// Headless, 16-bit colour, 640 x 480, at the camera's real view.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "game/player.h"
#include "game/scene.h"
#include "render/camera.h"
#include "render/draw.h"
#include "render/ordering.h"
#include "render/transform.h"
#include "world/kinds.h"
#include "screens/assets.h"
#include "shell/startup.h"
#include "shell/video.h"
#include "tools/headless/headless.h"

namespace {

const int MAP_TILES = 48;
const int PLANE_TILES = 8;  // 8 x 8 tiles of 4 corners each fit a plane's 1000 vertices

std::vector<int> visible;  // triangle indices our ordering entered, far to near
std::vector<int> sprites;  // sprite slots it entered, far to near, as draw_sprite_slot takes them
ZBUFFER *zbuffer;

enum { TRIANGLES_ONLY = 0, WITH_SPRITES = 1 };

int add_vertex(Plane &plane, float x, float y, float z)
{
    PlaneVertex &v = plane.vertices[++plane.last_vertex];
    v = PlaneVertex();
    v.e[3] = x, v.e[4] = y, v.e[5] = z;
    return plane.last_vertex;
}

void add_triangle(Plane &plane, int a, int b, int c, const s16 (&uvs)[6], int texture, int kind,
                  int transparency)
{
    int t = ++plane.last_triangle;
    PlaneTriangle &tri = plane.triangles[t];
    tri = PlaneTriangle();
    tri.e[0] = (s16)a, tri.e[1] = (s16)b, tri.e[2] = (s16)c;
    tri.e[TRIANGLE_TEXTURE] = (s16)texture;
    tri.e[TRIANGLE_KIND] = (s16)kind;
    tri.e[TRIANGLE_TRANSPARENCY] = (s16)transparency;
    for (int i = 0; i < 6; i++)
        plane.triangle_uvs[t][i] = uvs[i];
}

// A quad from four corners in counter-clockwise screen order, as two triangles.
void add_quad(Plane &plane, const float (&p)[4][3], int texture, int kind = 0, int transparency = 0)
{
    int v[4];
    for (int i = 0; i < 4; i++)
        v[i] = add_vertex(plane, p[i][0], p[i][1], p[i][2]);
    static const s16 first[6] = {0, 0, 0, 15, 15, 15}, second[6] = {0, 0, 15, 15, 15, 0};
    add_triangle(plane, v[0], v[1], v[2], first, texture, kind, transparency);
    add_triangle(plane, v[0], v[2], v[3], second, texture, kind, transparency);
}

Plane &new_plane()
{
    Plane &plane = planes[++plane_last];
    plane.active = 1;
    plane.last_vertex = plane.last_triangle = -1;
    return plane;
}

// Floor tiles with raised steps, a rippling pool and a flowing channel, walls along a grid
// with doorways, and a few glass and gate tiles.
void build_dense_map()
{
    plane_last = -1;
    for (int by = 0; by < MAP_TILES; by += PLANE_TILES)
        for (int bx = 0; bx < MAP_TILES; bx += PLANE_TILES) {
            Plane &plane = new_plane();
            for (int z = by; z < by + PLANE_TILES; z++)
                for (int x = bx; x < bx + PLANE_TILES; x++) {
                    float y = 0;
                    int kind = 0, texture = (x + z) % 4, transparency = 0;
                    if (x >= 30 && x < 36 && z >= 10 && z < 16)
                        y = 0.25f * (x - 29);                // steps
                    else if ((x - 20) * (x - 20) + (z - 30) * (z - 30) < 25)
                        y = -0.3f, kind = KIND_RIPPLE, texture = 4;
                    else if (x == 12 || x == 13)
                        y = -0.2f, kind = KIND_SWAY, texture = 5;
                    else if (z == 24 && x % 5 == 0)
                        transparency = 50;
                    else if (z == 26 && x % 7 == 0)
                        kind = KIND_GATED_SHOW;
                    float fx = (float)x, fz = (float)z;
                    float quad[4][3] = {{fx, y, fz}, {fx, y, fz + 1}, {fx + 1, y, fz + 1}, {fx + 1, y, fz}};
                    add_quad(plane, quad, texture, kind, transparency);
                }
        }

    // Walls every 8 tiles both ways, two-sided, with a doorway in each span.
    Plane *plane = &new_plane();
    for (int line = 8; line < MAP_TILES; line += 8)
        for (int i = 0; i < MAP_TILES; i++) {
            if (i % 8 == 3 || i % 8 == 4)
                continue;
            if (plane->last_vertex > 1000 - 16)
                plane = &new_plane();
            float a = (float)line, b = (float)i;
            float along_x[4][3] = {{b, 0, a}, {b + 1, 0, a}, {b + 1, 2, a}, {b, 2, a}};
            float along_x_back[4][3] = {{b, 0, a}, {b, 2, a}, {b + 1, 2, a}, {b + 1, 0, a}};
            float along_z[4][3] = {{a, 0, b}, {a, 2, b}, {a, 2, b + 1}, {a, 0, b + 1}};
            float along_z_back[4][3] = {{a, 0, b}, {a, 0, b + 1}, {a, 2, b + 1}, {a, 2, b}};
            add_quad(*plane, along_x, 6);
            add_quad(*plane, along_x_back, 6);
            add_quad(*plane, along_z, 7);
            add_quad(*plane, along_z_back, 7);
        }
}

void make_textures()
{
    const int colours[8][3] = {{120, 110, 90}, {100, 95, 80}, {130, 120, 100}, {90, 85, 70},
                               {40, 80, 160}, {60, 120, 200}, {110, 60, 40}, {90, 50, 30}};
    for (int i = 0; i < 8; i++) {
        BITMAP *slot = texture_slots[i];
        clear_to_color(slot, makecol(colours[i][0], colours[i][1], colours[i][2]));
        for (int y = 0; y < 16; y += 4)
            hline(slot, 0, y, 15, makecol(colours[i][0] / 2, colours[i][1] / 2, colours[i][2] / 2));
        putpixel(slot, 7, 7, makecol(255, 0, 255));  // one masked texel
    }
}

void make_sprites()
{
    BITMAP *figure = create_bitmap(SPRITE_SIZE, SPRITE_SIZE);
    clear_to_color(figure, makecol(255, 0, 255));
    circlefill(figure, 20, 10, 7, makecol(220, 180, 140));
    rectfill(figure, 12, 18, 28, 39, makecol(60, 120, 60));
    for (auto &character : sprite_frames)
        for (auto &action : character)
            for (auto &facing : action)
                for (BITMAP *&frame : facing)
                    frame = figure;
    BITMAP *gem = create_bitmap(12, 12);
    clear_to_color(gem, makecol(255, 0, 255));
    circlefill(gem, 6, 6, 5, makecol(200, 40, 200));
    for (BITMAP *&picture : object_bitmaps)
        picture = gem;
}

void place_sprites()
{
    current_map = 1;
    monster_counts[1] = MONSTERS_PER_MAP;
    for (int j = 0; j < MONSTERS_PER_MAP; j++) {
        Monster &m = monsters[1][j];
        m = Monster();
        m.kind = (s16)(1 + j % LAST_DEMON_KIND);
        m.health = (s16)(2 + j % 5);
        m.state = 1;
        m.x = 18.0f + (j % 5) * 3, m.z = 16.0f + (j / 5) * 3;
    }
    for (int k = 0; k < 30; k++) {
        MapItem &item = map_items[k];
        item.present = 1;
        item.type = (s16)(k % (ITEM_GEM_LAST + 1));
        item.x = 16.0f + (k % 6) * 3, item.y = 1.5f, item.z = 14.0f + (k / 6) * 3;
    }
}

void set_up_world()
{
    init_headless_video(GAME_DEPTH, GAME_WIDTH, GAME_HEIGHT);
    init_camera();
    set_world_motion();
    frames_last_tick = 6, tick_frame_count = 2;
    texture_scroll = 3;
    depth_range = DEPTH_BUCKETS - 1;
    make_textures();
    make_sprites();
    build_dense_map();
    build_scene();
    place_sprites();
    player_x = camera_x = 24, player_y = camera_y = 0, player_z = camera_z = 24;

    // What the ordering keeps, far to near, for the other two renderers.
    main_loop_pass(pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING));
    for (int i = depth_high; i >= depth_low; i--) {
        int code = depth_buckets[i];
        if (code >= BUCKET_TRIANGLE_BASE)
            visible.push_back(code - BUCKET_TRIANGLE_BASE);
        else if (code >= BUCKET_ITEM_BASE)
            sprites.push_back(code);
        else if (code >= BUCKET_MONSTER_BASE)
            sprites.push_back(code - BUCKET_MONSTER_BASE);
        else if (code == BUCKET_PLAYER)
            sprites.push_back(-1);
    }
    clear_depth_buckets();

    zbuffer = create_zbuffer(back_buffer);
    create_scene(8 * (int)visible.size(), 2 * (int)visible.size());
}

// Takes every sprite out of view (or puts them back) for the triangles-only runs.
void show_sprites(bool show)
{
    static float hero_z = player_z;
    monster_counts[current_map] = show ? MONSTERS_PER_MAP : 0;
    player_z = show ? hero_z : hero_z + 1000;  // behind the eye
    for (int k = 0; k < 30; k++)
        map_items[k].present = show;
}

// The polygon type and corners of one triangle as our drawing gives them, with the depth
// made positive: Allegro's scene renderer and z-buffer order by 1 / z and want it so.
int allegro_triangle(int t, V3D_f corner[3], BITMAP **texture)
{
    const ViewTriangle &tri = view_triangles[t];
    const FloorKind &kind = floor_kind(tri.kind);
    float du = kind.scroll_u * texture_scroll, dv = kind.scroll_v * texture_scroll;
    for (int c = 0; c < 3; c++) {
        const ViewVertex &w = view_vertices[tri.vertex[c]];
        corner[c] = {w.screen_x, w.screen_y, -w.view_depth, tri.tex_u[c] + du, tri.tex_v[c] + dv, 0};
    }
    *texture = planes[tri.plane].triangle_shadow[tri.triangle];
    int opacity = triangle_opacity(tri);
    if (opacity < 255)
        set_trans_blender(255, 255, 255, opacity);
    return opacity < 255 ? POLYTYPE_PTEX_MASK_TRANS : POLYTYPE_PTEX_MASK;
}

void our_frame()
{
    main_loop_pass(PICTURE_STEPS);
}

// Neither of Allegro's depth methods orders a stretched sprite: they go on top, at the
// positions and sizes our pass computed.
void sprites_on_top(bool with_sprites)
{
    if (with_sprites)
        for (int n : sprites)
            draw_sprite_slot((s16)n);
}

void scene_frame(bool with_sprites)
{
    V3D_f corner[3];
    V3D_f *p[3] = {&corner[0], &corner[1], &corner[2]};
    BITMAP *texture;
    transform_scene();
    clear_scene(back_buffer);
    for (int t : visible) {
        int type = allegro_triangle(t, corner, &texture);
        scene_polygon3d_f(type, texture, 3, p);
    }
    render_scene();
    sprites_on_top(with_sprites);
}

void zbuffer_frame(bool with_sprites)
{
    V3D_f corner[3];
    BITMAP *texture;
    transform_scene();
    set_zbuffer(zbuffer);
    clear_zbuffer(zbuffer, 0);
    for (int t : visible) {
        int type = allegro_triangle(t, corner, &texture);
        triangle3d_f(back_buffer, type | POLYTYPE_ZBUF, texture, &corner[0], &corner[1], &corner[2]);
    }
    set_zbuffer(NULL);
    sprites_on_top(with_sprites);
}

void BM_OurPass(benchmark::State &state)
{
    show_sprites(state.range(0) == WITH_SPRITES);
    for (auto _ : state)
        our_frame();
    show_sprites(true);
}

void BM_AllegroScene(benchmark::State &state)
{
    for (auto _ : state)
        scene_frame(state.range(0) == WITH_SPRITES);
}

void BM_AllegroZbuffer(benchmark::State &state)
{
    for (auto _ : state)
        zbuffer_frame(state.range(0) == WITH_SPRITES);
}

const char *const RUNS[] = {"BM_OurPass", "BM_AllegroScene", "BM_AllegroZbuffer"};

#define RENDER_BENCHMARK(fn)                                                                   \
    BENCHMARK(fn)->ArgName("sprites")->Arg(TRIANGLES_ONLY)->Arg(WITH_SPRITES)->Repetitions(5)   \
        ->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond)
RENDER_BENCHMARK(BM_OurPass);
RENDER_BENCHMARK(BM_AllegroScene);
RENDER_BENCHMARK(BM_AllegroZbuffer);

// Keeps the median time of each run for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                seconds[run.run_name.function_name + "/" + run.run_name.args] =
                    run.real_accumulated_time / (double)run.iterations;
    }
};

// Runs each renderer once, with sprites, and saves its frame: all three should show the same scene.
void save_frames(const std::string &dir)
{
    for (const char *name : RUNS) {
        clear_to_color(back_buffer, 0);
        std::string run = name;
        if (run == "BM_OurPass")
            our_frame();
        else if (run == "BM_AllegroScene")
            scene_frame(true);
        else
            zbuffer_frame(true);
        std::string path = dir + "/" + run.substr(3) + ".bmp";
        save_bitmap(path.c_str(), back_buffer, NULL);
        printf("saved %s\n", path.c_str());
    }
}

}  // namespace

int main(int argc, char **argv)
{
    set_up_world();
    if (argc == 3 && std::string(argv[1]) == "--save-frames") {
        save_frames(argv[2]);
        return 0;
    }
    printf("scene: %zu triangles, %zu vertices; in view after culling: %zu triangles and %zu sprites\n",
           view_triangles.size(), view_vertices.size(), visible.size(), sprites.size());

    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    for (const char *args : {"sprites:0", "sprites:1"}) {
        double ours = reporter.seconds[std::string("BM_OurPass/") + args];
        if (ours <= 0)
            continue;
        printf("\nmedian frame, %s:\n", args[8] == '1' ? "triangles and sprites" : "triangles only");
        for (const char *name : RUNS) {
            double t = reporter.seconds[std::string(name) + "/" + args];
            if (t > 0)
                printf("  %-18s %7.3f ms  %6.0f frames/s  %5.2f x our time\n", name + 3, t * 1000, 1 / t,
                       t / ours);
        }
    }
    benchmark::Shutdown();
    return 0;
}
