// The map's cells: style, place in the world and whether the hero can stand there.
#include "tools/forge/mapcells.h"

#include "world/kinds.h"

void edge_step(int side, int *dc, int *dr)
{
    *dc = side == EDGE_WEST ? -1 : side == EDGE_EAST ? 1 : 0;
    *dr = side == EDGE_SOUTH ? 1 : side == EDGE_NORTH ? -1 : 0;
}

const CellStyle &cell_style(const MapSource &src, int col, int row)
{
    static CellStyle nothing;
    nothing.is_void = true;
    if (row < 0 || row >= src.height || col < 0 || col >= src.width)
        return nothing;
    auto it = src.legend.find(src.grid[row][col]);
    return it == src.legend.end() ? nothing : it->second;
}

float map_origin_x(const MapSource &src)
{
    return (float)-(src.width / 2);
}

float map_origin_z(const MapSource &src)
{
    return (float)-(src.height / 2);
}

void cell_center(const MapSource &src, int col, int row, float *x, float *y, float *z)
{
    *x = map_origin_x(src) + col + 0.5f;
    *z = map_origin_z(src) + row + 0.5f;
    const CellStyle &s = cell_style(src, col, row);
    *y = s.is_void ? 0 : s.height;
}

bool cell_is_floor(const MapSource &src, int col, int row)
{
    const CellStyle &s = cell_style(src, col, row);
    return !s.is_void && !s.blocking;
}

bool cell_is_plain_floor(const MapSource &src, int col, int row)
{
    const CellStyle &s = cell_style(src, col, row);
    return cell_is_floor(src, col, row) && kind_is_plain(cell_floor_kind(s.kind, !s.exit_map.empty()));
}
