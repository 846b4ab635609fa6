// What the forge does so that a map reads at a glance: raised tops with a lit lip over a
// shaded bank, the steps measured from the baked pictures, and a map refused whose steps
// do not stand out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/headless.h"
#include "tools/forge/campaign.h"
#include "tools/forge/mapbuild.h"
#include "tools/forge/mapedges.h"
#include "tools/forge/maplight.h"

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
    EXPECT_GT(south, inside + 24);
    EXPECT_GT(west, inside + 24);
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

TEST(ForgeLooks, AStepThatDoesNotStandOutIsRefused)
{
    // A bank that glows as brightly as the lip over it.
    std::string dull = terraces;
    dull.replace(dull.find("cell ^ flagstone 1"), 18, "cell ^ flagstone 1 side=trigger");
    Campaign c = campaign_with(dull);
    std::vector<std::string> problems = validate_campaign(c);
    bool named = false;
    for (const std::string &p : problems)
        named = named || (p.find("the step 1.0 down from column 4 row 3 toward the south") != std::string::npos &&
                          p.find("looks.map") != std::string::npos);
    std::string all;
    for (const std::string &p : problems)
        all += p + "\n";
    EXPECT_TRUE(named) << all;

    Campaign sound = campaign_with(terraces);
    for (const std::string &p : validate_campaign(sound))
        EXPECT_EQ(p.find("step"), std::string::npos) << p;
}

TEST(ForgeLooks, EachFaceMakesTheTwoTrianglesItsOrderSays)
{
    MapSource m = parsed(terraces);
    BuildStats stats;
    std::string error;
    ASSERT_TRUE(build_map_tables(m, {}, stats, error, false)) << error;
    std::vector<Face> faces = collect_faces(m);
    std::vector<int> order = face_order(m, faces);
    ASSERT_EQ(order.size() * 2, (size_t)stats.triangles);
    size_t i = 0;
    for (int p = 0; p <= plane_last; p++)
        for (int t = 0; t <= planes[p].last_triangle; t++, i++) {
            const Face &f = faces[order[i / 2]];
            const PlaneVertex &v = planes[p].vertices[planes[p].triangles[t].e[0]];
            // The first corner of either triangle is a corner of its face.
            bool corner = false;
            for (int k = 0; k < 4; k++)
                corner = corner || (std::fabs(v.e[3] + planes[p].origin_x - f.p[k][0]) < 1e-4f &&
                                    std::fabs(v.e[4] - f.p[k][1]) < 1e-4f &&
                                    std::fabs(v.e[5] + planes[p].origin_z - f.p[k][2]) < 1e-4f);
            ASSERT_TRUE(corner) << "triangle " << i;
        }
}
