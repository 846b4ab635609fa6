// The game's icon for the desktop menu: an archer's emblem drawn by code at the sizes the
// desktop asks for, written as PNG with an alpha channel, and as SVG for any other size. The forge only; the game links none
// of it.
#pragma once

#include <allegro.h>
#include <string>

// The sizes of the icon theme's folders, in pixels.
enum { ICON_SIZE_COUNT = 6 };
extern const int icon_sizes[ICON_SIZE_COUNT];

// A new size x size 32-bit bitmap with alpha (makeacol32): the emblem on a clear ground.
BITMAP *make_icon(int size);

// Writes a 32-bit bitmap with alpha as an RGBA PNG, under a temporary name first; false after
// one line on stderr naming the file.
bool write_png(const std::string &path, BITMAP *bmp);

// The same emblem as a scalable SVG picture, drawn from the same shapes at its full detail.
std::string make_svg_icon();
// Written under a temporary name first; false after one line on stderr.
bool write_svg_icon(const std::string &path);

// Every size as <dir>/<size>x<size>/apps/<name>.png and the SVG as
// <dir>/scalable/apps/<name>.svg, the layout of an icon theme.
bool forge_icons(const std::string &dir, const std::string &name);
