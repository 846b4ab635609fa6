// The desktop icon: drawn at every size on a clear ground, written as an RGBA PNG that
// reads back pixel for pixel against a second drawing of the same size.
#include <allegro.h>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <png.h>
#include <sys/stat.h>
#include <vector>

#include "tests/headless.h"
#include "tools/forge/icons.h"

namespace {

struct Png {
    int w = 0, h = 0;
    bool rgba_in_file = false;  // eight bits a channel with alpha, no palette
    std::vector<unsigned char> rgba;
};

bool read_png(const std::string &path, Png &out)
{
    png_image image;
    memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    out.rgba_in_file = image.format == PNG_FORMAT_RGBA;
    image.format = PNG_FORMAT_RGBA;
    out.w = image.width, out.h = image.height;
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) != 0;
}

int alpha_at(BITMAP *b, int x, int y) { return geta32(_getpixel32(b, x, y)); }

}  // namespace

TEST(Icon, WrittenAsRgbaPngThatReadsBack)
{
    ScratchDir scratch;
    ASSERT_TRUE(forge_icons(scratch.path() + "/hicolor", "grimhold"));
    for (int size : icon_sizes) {
        std::string path = scratch.path() + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                           "/apps/grimhold.png";
        Png png;
        ASSERT_TRUE(read_png(path, png)) << path;
        ASSERT_TRUE(png.w == size && png.h == size) << png.w << " x " << png.h;
        EXPECT_TRUE(png.rgba_in_file) << path;
        BITMAP *icon = make_icon(size);
        ASSERT_NE(icon, nullptr);
        ASSERT_TRUE(icon->w == size && icon->h == size && bitmap_color_depth(icon) == 32) << size;
        // The corners lie outside the round shield; its middle and rim are solid.
        EXPECT_EQ(std::vector<int>({alpha_at(icon, 0, 0), alpha_at(icon, size - 1, size - 1),
                                    alpha_at(icon, size / 2, size / 2), alpha_at(icon, size / 2, size / 16 + 1)}),
                  std::vector<int>({0, 0, 255, 255})) << size;
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++) {
                int p = _getpixel32(icon, x, y);
                const unsigned char *q = &png.rgba[(y * size + x) * 4];
                // Where it is see-through the colour does not count.
                ASSERT_TRUE(q[3] == geta32(p) && (!q[3] || (q[0] == getr32(p) && q[1] == getg32(p) && q[2] == getb32(p))))
                    << size << " at " << x << "," << y;
            }
        destroy_bitmap(icon);
        struct stat st;
        EXPECT_NE(stat((path + ".tmp").c_str(), &st), 0) << "temporary file left behind";
    }
    // The scalable icon beside them: the emblem at its full detail, in the 64-unit view.
    std::string svg = scratch.read("hicolor/scalable/apps/grimhold.svg");
    EXPECT_EQ(svg, make_svg_icon());
    EXPECT_EQ(svg.compare(0, 5, "<?xml"), 0);
    EXPECT_NE(svg.find("viewBox=\"0 0 64 64\""), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    // Every number of the shapes lies in the view (colours aside): a point thrown off by a
    // wrong turn or scale would not.
    std::string body = svg.substr(svg.find('>', svg.find("<svg")));
    for (size_t h = body.find('#'); h != std::string::npos; h = body.find('#', h + 1))
        body.replace(h + 1, 6, "");
    int numbers = 0;
    for (size_t i = 0; i < body.size(); i++) {
        if (!(isdigit(body[i]) || body[i] == '-') || (i > 0 && (isdigit(body[i - 1]) || body[i - 1] == '.')))
            continue;
        char *end;
        double v = strtod(body.c_str() + i, &end);
        if (end == body.c_str() + i)
            continue;
        numbers++;
        EXPECT_TRUE(v >= 0 && v <= 64) << v;
        i = end - body.c_str() - 1;
    }
    EXPECT_GT(numbers, 60);
}

TEST(Icon, UnwritablePlaceFailsAndLeavesNothing)
{
    ScratchDir scratch;
    BITMAP *icon = make_icon(16);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(write_png(scratch.path() + "/no/such/folder/grimhold.png", icon));
    scratch.write("plain", "a file where a folder should be");
    EXPECT_FALSE(forge_icons(scratch.path() + "/plain", "grimhold"));
    EXPECT_FALSE(write_svg_icon(scratch.path() + "/no/such/folder/grimhold.svg"));
    // A bitmap without alpha is refused rather than written see-through.
    BITMAP *flat = create_bitmap_ex(16, 16, 16);
    EXPECT_FALSE(write_png(scratch.path() + "/flat.png", flat));
    struct stat st;
    EXPECT_NE(stat((scratch.path() + "/flat.png").c_str(), &st), 0);
    destroy_bitmap(flat);
    destroy_bitmap(icon);
}
