// The map's name written on its ground at every place the hero arrives: a dark plaque let
// into the floor with the name in pale letters, a line of cells wide, just in front of him
// (south of his spot, where the camera shows it below his feet) or, where that is no floor,
// a row or two farther or just behind him.
#pragma once

#include <allegro.h>
#include <map>
#include <string>
#include <vector>

#include "tools/forge/mapcells.h"

enum {
    // The letters are the game's 8 x 8 font, each row drawn this many texels tall: the
    // camera's tilt squashes the ground, and so the letters read about as tall as wide.
    INSCRIPTION_LETTER_HEIGHT = 12,
    INSCRIPTION_LETTER_TOP = 2,  // the letters' top row in their cells
    // The plaque's rows start this many rows south of the arrival, in the order tried.
    INSCRIPTION_ROW_CHOICES = 5,
    // How far east or west of the arrival a plaque may reach, in cells: inside the view.
    INSCRIPTION_REACH = 8,
    INSCRIPTION_MAX_LINES = 3,
};

// The plaque's colours: dark stone, a bronze rim and pale letters, the same on every map.
const int INSCRIPTION_STONE_RGB = 0x1c1a18;
const int INSCRIPTION_RIM_RGB = 0x8c7040;
const int INSCRIPTION_LETTER_RGB = 0xf0e6c0;

// One cell of a plaque and the 16 x 16 texels painted over its top: 0 the floor shows,
// 1 stone, 2 rim, 3 letter.
struct InscribedCell {
    int col = 0, row = 0;
    unsigned char ink[16][16] = {};
};

struct Inscription {
    std::string spot;               // the arrival it belongs to (the first, when shared)
    std::vector<std::string> lines; // the name as written, a line a row of cells
    int col = 0, row = 0;           // the plaque's north-west cell
    int width = 0;                  // in cells
    std::vector<InscribedCell> cells;
};

// The plaques of a map: one beside every arrival (its start, its gem-gate arrival and every
// spot an exit leads to, as exit_triggers names them), shared by arrivals close together.
// Empty when the map has no name. An arrival with no room near it for its plaque is named in
// `problems`.
std::vector<Inscription> plan_inscriptions(const MapSource &src, const std::map<std::string, int> &exit_triggers,
                                           std::vector<std::string> &problems);

// Paints a cell's share of a plaque over its baked top picture.
void inscribe_cell(BITMAP *cell, const InscribedCell &ink);

// The font's glyph of a character as an 8 x 8 mask (1 = ink), for drawing and reading back.
void glyph_mask(char c, unsigned char mask[8][8]);
