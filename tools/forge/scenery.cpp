// A sheet of the regions' scenery, seen through the game's own camera and renderer: a
// small map with one of every piece, compiled like the campaign's maps and drawn once.
#include <string>

#include "game/scene.h"
#include "render/camera.h"
#include "render/draw.h"
#include "render/ordering.h"
#include "render/transform.h"
#include "tools/forge/forge.h"
#include "tools/forge/mapbuild.h"

namespace {

// North to south: the forest's trees, the mire's drowned trees, the caves' stalagmites,
// the bone halls' pillars, the citadel's columns and a broken wall of the burning fields;
// then the chapel's steps up to a dais, the mire's fence turning a corner, a hedge, a bed of
// reeds and a railed terrace.
const char *scenery_map = R"(map 998 "Scenery"
sun -0.45 0.8 0.4
cell . grass 0
cell , roots 0
cell m moss 0
cell n sand 0
cell b bone 0
cell k marble 0
cell a ash 0
cell t tiles 0
cell c carpet 0.5
cell q mud 0
cell T roots 0 wall post=bark:2.3:0.45 crown=leaves:1.7:3.3
cell D moss 0 wall post=bark:1.8:0.6
cell A sand 0 wall post=rock:2.0:0.8
cell P bone 0 wall post=bone:2.4:0.7
cell M marble 0 wall post=marble:3:0.8
cell R ruin 1.8 wall
cell r ruin 1.1 wall
cell s tiles 0.5 stairs=0
cell F mud 0.1 wall fence=wood
cell H leaves 0.3 wall side=bark hedge=leaves:0.6
cell G reeds 0.3 wall hedge=reeds:0.7
cell U flagstone 1.6 rail=wood
grid
,,mmnnbbkkaaa
,T,D,A,P,M,RrR
,,mmnnbbkkaaa
.tttccc.......
.tttsss.qqqq..
.ttttt..FFFF..
.HHH....qqqF..
.H...GGG...F..
........UU....
........UU....
end
)";

}  // namespace

BITMAP *make_scenery_sheet()
{
    MapSource src;
    std::string error;
    BuildStats stats;
    if (!parse_map_text("scenery", scenery_map, src, error) || !build_map_tables(src, {}, stats, error)) {
        fprintf(stderr, "scenery sheet: %s\n", error.c_str());
        return nullptr;
    }
    s16 old_map = current_map;
    current_map = 998;
    init_camera();
    build_scene();
    cell_center(src, 6, 5, &player_x, &player_y, &player_z);
    camera_x = player_x;
    camera_y = player_y;
    camera_z = player_z;
    depth_range = DEPTH_BUCKETS - 1;
    clear_depth_buckets();
    depth_low = (s16)depth_range;
    depth_high = 0;
    clear_to_color(back_buffer, makecol(0, 0, 0));
    transform_scene();
    project_sprites();
    sort_scene();
    draw_world();
    BITMAP *out = create_bitmap_ex(32, back_buffer->w, back_buffer->h);
    if (out)
        blit(back_buffer, out, 0, 0, 0, 0, out->w, out->h);
    view_vertices.clear();
    view_triangles.clear();
    current_map = old_map;
    return out;
}
