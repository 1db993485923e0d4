/* The pixel-probe module's plain C interface. The program loads the module by name on first
   use and finds the two functions by these names. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What the module reads: a picture lent by the imaging control for one call. Positions are
   drawing coordinates: x to the right from the left edge, y upward from the top edge (y <= 0
   inside), in twips, twipsPerPixel to a pixel. */
typedef struct PixProbeSurface {
    const uint8_t *bits;      /* first scan line */
    int32_t width;            /* pixels */
    int32_t height;
    int32_t bytesPerLine;
    int32_t bitsPerPixel;     /* 8: palette indexes; 32: 0xAARRGGBB words */
    const uint32_t *palette;  /* 0xAARRGGBB, for 8 bits per pixel */
    int32_t paletteSize;
    int32_t twipsPerPixel;
} PixProbeSurface;

typedef struct PixProbePoint {
    int32_t x;
    int32_t y;
} PixProbePoint;

/* GetAPoint results. */
enum { PIXPROBE_NOT_FOUND = 0, PIXPROBE_FOUND = 1, PIXPROBE_CROSSING = 1000 };

typedef int32_t (*GetAColorFunction)(int32_t x, int32_t y, const PixProbeSurface *dc);
typedef int32_t (*GetAPointFunction)(int32_t x, int32_t y, PixProbePoint *point, int32_t lineColor,
                                     const PixProbeSurface *dc);
/* GetAPoint where a pixel belongs to the line when no channel of its colour lies more than
   tolerance (0 to 255) from the line colour's; with 0 it is GetAPoint. */
typedef int32_t (*GetAPointTolerantFunction)(int32_t x, int32_t y, PixProbePoint *point, int32_t lineColor,
                                             int32_t tolerance, const PixProbeSurface *dc);

#ifdef __cplusplus
}
#endif
