// Images and the drawing operations on them. Owned by graph; every module that draws uses it.
// A pixel is 0xAABBGGRR (bytes red, green, blue, alpha in memory); 0 is the empty pixel.
// Drawing goes into the current target (g_layer.h) and extends the current layer's rectangles.
#pragma once
#include <cstdint>

typedef uint32_t g_pixel;

// A plain record copied by value; exactly one copy owns the pixels. {0, 0, null} is empty.
struct g_image {
  int32_t width;
  int32_t height;
  g_pixel* pixels;  // width x height, row-major, top row first
};
static_assert(sizeof(g_pixel) == 4, "pixels are four bytes");

// Blit modes: 0 copies every pixel, 1 copies opaque pixels only, anything else blends.
enum : uint8_t { G_BLIT_COPY = 0, G_BLIT_KEY = 1, G_BLIT_BLEND = 2 };

// Largest image any routine creates: 4M pixels (16 MB, 2048 x 2048). Bigger or non-positive
// sizes give the empty image, so a hostile file header never reaches the allocator with a
// wrapped size nor makes every decode of a tiny file fill a huge block.
constexpr int64_t G_IMAGE_MAX_PIXELS = int64_t(1) << 22;

// A zero-filled image of width x height; empty when a side is below 1 or the size too large.
g_image g_create_image(int32_t width, int32_t height);
// Frees the pixels (asserts they exist) and leaves {0, 0, null}.
void g_free_image(g_image* image);
// Every pixel exactly equal to value becomes 0.
void g_make_transparent(g_image* image, g_pixel value);
// Copies the top-left width x height of source into destination, each pixel as an
// x_factor x y_factor block; a negative factor mirrors that axis.
void g_copy_scaled(const g_image* source, int32_t width, int32_t height, g_image* destination,
                   int32_t x_factor, int32_t y_factor);
// A new image of source enlarged by the factors (both >= 1).
g_image g_scale_image(const g_image* source, int32_t x_factor, int32_t y_factor);
// Gives every non-transparent pixel off the border a one-pixel opaque black outline, judged
// on the image as it was before the call.
void g_outline_image(g_image* image);
// Copies the width x height rectangle at (sx, sy) of source to (x, y) of the target, clipped
// against both images, in the given mode.
void g_blit(const g_image* source, int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t width,
            int32_t height, uint8_t mode);
// g_blit of the whole image at (x, y) in G_BLIT_COPY.
void g_draw_image(const g_image* image, int32_t x, int32_t y);
// Fills the clipped rectangle of the target with value.
void g_fill_rect(int32_t x, int32_t y, int32_t width, int32_t height, g_pixel value);
