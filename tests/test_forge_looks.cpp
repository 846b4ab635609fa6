// What the forge does so that a map reads at a glance: raised tops with a lit lip over a
// shaded bank, the steps measured from the baked pictures, and a map refused whose steps
// do not stand out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/headless.h"
#include "tools/forge/campaign.h"
#include "tools/forge/forge.h"
#include "tools/forge/mapbuild.h"
#include "tools/forge/mapedges.h"
#include "tools/forge/maplight.h"
#include "tools/forge/maplooks.h"
#include "tools/forge/mapoverview.h"

namespace {

// Grass round a flagstone terrace 1.0 high (^) with a 0.4 curb (_) north of it and stairs (s)
// south of it; a wall ring; a second terrace (v) out of reach behind the walls.
const char *terraces = R"(map 901
cell # wall 2 wall
cell . grass 0
cell ^ flagstone 1
cell _ wall 0.4 wall
cell s flagstone 1 stairs=0
cell v flagstone 1
cell S grass 0 spot=start
grid
#########v
#...._..#.
#...^^..#.
#...^^..#.
#....s..#.
#S......#.
##########
end
)";

MapSource parsed(const std::string &text)
{
    MapSource m;
    std::string error;
    EXPECT_TRUE(parse_map_text("looks.map", text, m, error)) << error;
    return m;
}

Campaign campaign_with(const std::string &text)
{
    Campaign c;
    c.maps.push_back(parsed(text));
    assign_exit_triggers(c);
    return c;
}

const Face &face_where(const std::vector<Face> &faces, int col, int row, bool top, int bank = -1)
{
    for (const Face &f : faces)
        if (f.col == col && f.row == row && (top ? f.cell_top : f.bank == bank && f.bank_top))
            return f;
    static Face none;
    ADD_FAILURE() << "no such face at " << col << "," << row;
    return none;
}

}  // namespace

TEST(ForgeLooks, RaisedTopsHaveALitLipOverAShadedBank)
{
    MapSource m = parsed(terraces);
    std::vector<Face> faces = collect_faces(m);
    Lighting light(m);
    light.prepare();
    BITMAP *cell = create_bitmap(SHADOW_CELL, SHADOW_CELL);
    std::string error;

    // The terrace's south-west top: lips along its south and west edges (it drops 1.0 there),
    // none along its east edge, where the other half of the terrace lies level.
    ASSERT_TRUE(bake_face(face_where(faces, 4, 3, true), light, cell, error)) << error;
    float inside = mean_luminance(cell, 4, 4, 11, 11);
    float south = mean_luminance(cell, 4, 14, 11, 15), west = mean_luminance(cell, 0, 4, 1, 11);
    float east = mean_luminance(cell, 14, 4, 15, 11);
    EXPECT_GT(std::min(south, west), inside + 24);
    EXPECT_LT(east, south - 24);

    // Its south bank is darker than the lip over it.
    ASSERT_TRUE(bake_face(face_where(faces, 4, 3, false, EDGE_SOUTH), light, cell, error)) << error;
    EXPECT_LT(mean_luminance(cell, 0, 0, 15, 3), south - 48);
    destroy_bitmap(cell);
}

TEST(ForgeLooks, StepsOfHalfAUnitBesideReachableFloorAreMeasured)
{
    Campaign c = campaign_with(terraces);
    const MapSource &m = c.maps[0];
    std::vector<HeightEdge> edges = height_edges(m, reachable_floor(c, m));
    auto has = [&](int col, int row, int side) {
        return std::any_of(edges.begin(), edges.end(),
                           [&](const HeightEdge &e) { return e.col == col && e.row == row && e.side == side; });
    };
    // The terrace's outer edges, where the stairs do not meet it; the walls round the floor.
    EXPECT_TRUE(has(4, 2, EDGE_NORTH) && has(4, 2, EDGE_WEST) && has(5, 3, EDGE_EAST) && has(4, 3, EDGE_SOUTH));
    EXPECT_TRUE(has(0, 3, EDGE_EAST) && has(3, 0, EDGE_SOUTH) && has(8, 3, EDGE_WEST));
    // Not the stairs, not the 0.4 curb, not the terrace behind the walls, not the level
    // middle of the terrace.
    EXPECT_FALSE(has(5, 4, EDGE_SOUTH) || has(5, 3, EDGE_SOUTH) || has(5, 1, EDGE_WEST));
    EXPECT_FALSE(has(9, 0, EDGE_SOUTH) || has(4, 2, EDGE_EAST));
    for (const HeightEdge &e : edges)
        EXPECT_GE(e.rise, EDGE_MIN_RISE);

    std::string error;
    ASSERT_TRUE(measure_height_edges(m, edges, error)) << error;
    int measured = 0;
    for (const HeightEdge &e : edges) {
        measured += e.measured;
        if (e.measured) {
            EXPECT_GE(e.contrast, EDGE_MIN_CONTRAST) << e.col << "," << e.row << " side " << e.side;
        }
    }
    EXPECT_GE(measured, (int)edges.size() - 4) << "only the wall's back edges south of the stairs go unmeasured";
}

TEST(ForgeLooks, StepsThatDoNotStandOutAreRefusedByName)
{
    Campaign c = campaign_with(terraces);
    std::vector<std::string> problems;
    check_steps_read(c, c.maps[0], EDGE_MIN_CONTRAST, problems);
    EXPECT_TRUE(problems.empty()) << problems[0];
    // Against a floor no step meets, the first five are named, the rest counted.
    check_steps_read(c, c.maps[0], 255, problems);
    ASSERT_EQ(problems.size(), 6u);
    EXPECT_NE(problems[0].find("map 901 (looks.map): the step "), std::string::npos) << problems[0];
    EXPECT_NE(problems[0].find("less than the 255 a step needs"), std::string::npos) << problems[0];
    EXPECT_NE(problems[5].find("more steps like them"), std::string::npos) << problems[5];
    // A sound campaign's validation names no step.
    for (const std::string &p : validate_campaign(c))
        EXPECT_EQ(p.find("step"), std::string::npos) << p;
}

// Each face makes the triangles its order says, two a strip. A top a unit or more over floor
// beside it is cut into strips across, drawn piece by piece; every corner lies on its face and
// shows the texel of the face's one picture that lies there, so the cut does not show.
TEST(ForgeLooks, EachFaceMakesTheTrianglesItsOrderSays)
{
    MapSource m = parsed(terraces);
    BuildStats stats;
    std::string error;
    ASSERT_TRUE(build_map_tables(m, {}, stats, error, false)) << error;
    std::vector<Face> faces = collect_faces(m);
    std::vector<int> owner;
    for (int f : face_order(m, faces))
        owner.insert(owner.end(), face_triangles(faces[f]), f);
    ASSERT_EQ(owner.size(), (size_t)stats.triangles);
    EXPECT_EQ(face_where(faces, 4, 2, true).strips, 4) << "the terrace, a unit over the grass";
    EXPECT_EQ(face_where(faces, 2, 2, true).strips, 1) << "the grass";
    size_t i = 0;
    for (int p = 0; p <= plane_last; p++)
        for (int t = 0; t <= planes[p].last_triangle; t++, i++) {
            const Face &f = faces[owner[i]];
            for (int k = 0; k < 3; k++) {
                const PlaneVertex &v = planes[p].vertices[planes[p].triangles[t].e[k]];
                float at[3] = {v.e[3] + planes[p].origin_x, v.e[4], v.e[5] + planes[p].origin_z}, along[2] = {0, 0};
                for (int axis = 0; axis < 2; axis++) {  // toward p1 (the picture's v), toward p3 (its u)
                    const float *to = f.p[axis ? 3 : 1];
                    float dot = 0, length = 0;
                    for (int j = 0; j < 3; j++)
                        dot += (at[j] - f.p[0][j]) * (to[j] - f.p[0][j]), length += (to[j] - f.p[0][j]) * (to[j] - f.p[0][j]);
                    along[axis] = dot / length;
                }
                ASSERT_TRUE(along[0] > -1e-4f && along[0] < 1 + 1e-4f && along[1] > -1e-4f && along[1] < 1 + 1e-4f)
                    << "triangle " << i << " lies off its face";
                EXPECT_NEAR(planes[p].triangle_uvs[t][2 * k + 1], 16 * along[0], 1e-3) << "triangle " << i;
                EXPECT_NEAR(planes[p].triangle_uvs[t][2 * k], 16 * along[1], 1e-3) << "triangle " << i;
            }
        }
}

namespace {

// Map 301 (key 3) with a sealed bridge (= and | with its curtain), a floor that opens when
// the map is clean (c), an exit (E) and the gem gate's cells written as a map maker may not.
const char *gates = R"(map 301
cell # wall 1.5 wall
cell . sand 0
cell = planks 0 kind=5
cell | planks 0 kind=5 curtain=seal:6
cell c sand 0 kind=3 curtain=barrier:4
cell E trigger 0 exit=301:back
cell S sand 0 spot=start
cell b sand 0 spot=back
grid
#########
#S..|==.#
#......c#
#b.....E#
#########
end
)";

std::vector<std::string> problems_with(const std::string &from, const std::string &to)
{
    std::string text = gates;
    if (!from.empty())
        text.replace(text.find(from), from.size(), to);
    Campaign c = campaign_with(text);
    std::vector<std::string> out;
    // Only the look rules: the campaign around this one map is incomplete.
    for (const std::string &p : validate_campaign(c))
        if (p.find("looks.map:") != std::string::npos)
            out.push_back(p);
    return out;
}

bool says(const std::vector<std::string> &problems, const std::string &what)
{
    for (const std::string &p : problems)
        if (p.find(what) != std::string::npos)
            return true;
    return false;
}

}  // namespace

TEST(ForgeLooks, WaysOutAndSealsDrawnOtherwiseAreRefused)
{
    EXPECT_TRUE(problems_with("", "").empty());
    EXPECT_TRUE(says(problems_with("cell E trigger 0", "cell E planks 0"), "every way to another map wears trigger"));
    EXPECT_TRUE(says(problems_with("cell . sand 0", "cell . trigger 0"), "kept for the ways to other maps"));
    EXPECT_TRUE(says(problems_with("curtain=seal:6", "curtain=barrier:6"), "it is written seal"));
    EXPECT_TRUE(says(problems_with("curtain=barrier:4", "curtain=seal:4"), "it is written barrier"));
    EXPECT_TRUE(says(problems_with("cell = planks 0 kind=5", "cell = planks 0 kind=6"), "write kind=3 or kind=5"));
    EXPECT_TRUE(says(problems_with("cell # wall 1.5 wall", "cell # wall 1.5 wall side=seal-key3"), "kept for seals"));
    // The gem gate wears its own look, on a map whose seal opens with the fourth gem.
    EXPECT_TRUE(says(problems_with("cell c sand 0 kind=3 curtain=barrier:4", "cell c gemgate 0 kind=8"),
                     "outside maps 900 to 999"));
    EXPECT_TRUE(says(problems_with("cell c sand 0 kind=3 curtain=barrier:4", "cell c sand 0 kind=8"), "wears gemgate"));
}

TEST(ForgeLooks, SealsWearTheColourOfWhatOpensThemAHairAboveTheFloor)
{
    MapSource m = parsed(gates);
    std::vector<Face> faces = collect_faces(m);
    int bridge = 0, curtains = 0, barrier = 0;
    for (const Face &f : faces) {
        const CellStyle &s = cell_style(m, f.col, f.row);
        if (f.n[1] > 0.5f && f.kind == KIND_GATED_SHOW) {
            EXPECT_EQ(f.surface, "seal-key3");
            EXPECT_TRUE(f.wall) << "a seal is never walked on";
            EXPECT_GT(f.p[0][1], s.height);
            EXPECT_LT(f.p[0][1], s.height + 0.1f);
            bridge++;
        } else if (f.kind == KIND_GATED_SHOW) {
            EXPECT_EQ(f.surface, "seal-key3");
            curtains++;
        } else if (f.n[1] > 0.5f && f.kind == KIND_CLEARED_SHOW) {
            EXPECT_EQ(f.surface, "barrier");
            barrier++;
        }
    }
    EXPECT_TRUE(bridge == 3 && curtains >= 2 && barrier == 1) << bridge << " " << curtains << " " << barrier;

    EXPECT_EQ(seal_surface(101), "seal-key1");
    EXPECT_EQ(seal_surface(650), "seal-gem1");
    EXPECT_EQ(seal_surface(906), "seal-gem4");
    // The plate's frame is the pick-up's own colour.
    for (int type = ITEM_KEY_FIRST; type <= ITEM_GEM_LAST; type++) {
        BITMAP *plate = make_surface(SURFACE_SEAL_KEY1 + type - ITEM_KEY_FIRST);
        EXPECT_EQ(rgb_of_pixel32(_getpixel32(plate, 8, 1)), item_colour(type)) << type;
        destroy_bitmap(plate);
    }
}

TEST(ForgeLooks, NoOtherSurfaceLooksLikeAWayOut)
{
    auto mean = [](int surface) {
        BITMAP *b = make_surface(surface);
        float c[3] = {0, 0, 0};
        for (int y = 0; y < SHADOW_CELL; y++)
            for (int x = 0; x < SHADOW_CELL; x++) {
                Rgb p = rgb_of_pixel32(_getpixel32(b, x, y));
                c[0] += red_of(p) / 256.0f, c[1] += green_of(p) / 256.0f, c[2] += blue_of(p) / 256.0f;
            }
        destroy_bitmap(b);
        return std::vector<float>(c, c + 3);
    };
    std::vector<float> exit = mean(SURFACE_TRIGGER);
    for (int s = 0; s < SURFACE_COUNT; s++) {
        if (s == SURFACE_TRIGGER || s == SURFACE_GEM_GATE)
            continue;
        std::vector<float> other = mean(s);
        float d = std::sqrt((exit[0] - other[0]) * (exit[0] - other[0]) + (exit[1] - other[1]) * (exit[1] - other[1]) +
                            (exit[2] - other[2]) * (exit[2] - other[2]));
        EXPECT_GT(d, 60) << surface_names[s];
    }
}

TEST(ForgeLooks, TheOverviewShowsWaysOutAndSealsInTheirColours)
{
    MapSource m = parsed(gates);
    BITMAP *pic = draw_map_overview(m, {});
    ASSERT_NE(pic, nullptr);
    // Cells are 12 pixels square below a 14-pixel title; read a corner clear of the letters.
    auto at = [&](int col, int row) { return getpixel(pic, col * 12 + 1, 14 + row * 12 + 1); };
    auto as = [](Rgb c) { return makecol(red_of(c), green_of(c), blue_of(c)); };
    EXPECT_EQ(at(7, 3), as(EXIT_RGB));
    EXPECT_EQ(at(5, 1), as(item_colour(ITEM_KEY_FIRST + 2)));
    EXPECT_EQ(at(4, 1), as(item_colour(ITEM_KEY_FIRST + 2)));
    EXPECT_EQ(at(7, 2), as(CLEARED_RGB));
    destroy_bitmap(pic);
}

TEST(ForgeLooks, WhatBlocksLowDownWearsASurfaceUnlikeTheFloorBesideIt)
{
    auto walls = [](const std::string &cell) {
        std::vector<std::string> out;
        for (const std::string &p : problems_with("cell c sand 0 kind=3 curtain=barrier:4", cell))
            if (p.find("lower than a step he cannot climb") != std::string::npos)
                out.push_back(p);
        return out;
    };
    std::vector<std::string> p = walls("cell c sand 0.4 wall");
    ASSERT_EQ(p.size(), 1u);
    EXPECT_NE(p[0].find("cell 'c' blocks the way at column 7 row 2 but wears sand"), std::string::npos) << p[0];
    EXPECT_TRUE(walls("cell c scree 0.4 wall").empty());
    EXPECT_TRUE(walls("cell c sand 1.5 wall").empty());
    EXPECT_TRUE(walls("cell c sand 0 wall post=rock:1.3").empty());
}
