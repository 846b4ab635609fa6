// The map's cells: what each cell of a read source is and where it lies, the questions every
// later stage of the map build (faces, light, plaques, the written map) and every check asks.
// They read the source's legend and grid and call nothing of the forge above them.
#pragma once

#include "tools/forge/mapsource.h"

// The sides of a cell: banks face south, west or east (the camera never sees a north one).
enum { EDGE_SOUTH, EDGE_WEST, EDGE_EAST, EDGE_NORTH };

// The column and row steps toward a side.
void edge_step(int side, int *dc, int *dr);

// The style of the cell at (col, row); void outside the grid or for unknown symbols.
const CellStyle &cell_style(const MapSource &src, int col, int row);

// Where the grid sits in the world: column c spans x from map_origin_x + c to + c + 1,
// row r spans z likewise. Maps are centred on the world origin.
float map_origin_x(const MapSource &src);
float map_origin_z(const MapSource &src);

// World position of the centre of a cell's top (y is the height of its top face).
void cell_center(const MapSource &src, int col, int row, float *x, float *y, float *z);

// Whether the hero can stand on the cell's top at all (gated floors counted as open).
bool cell_is_floor(const MapSource &src, int col, int row);
// Ordinary floor: walkable from the first frame, no gate, gem gate or trigger.
bool cell_is_plain_floor(const MapSource &src, int col, int row);
