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

/* What the caller knows of the line it follows. */
typedef struct PixProbeLine {
    int32_t color;      /* 0x00BBGGRR */
    int32_t tolerance;  /* 0 to 255; 0: exactly the colour */
    int32_t background; /* 0x00BBGGRR of the paper around the line, or -1: not known */
    int32_t width;      /* the line's width in sixteenths of a pixel, or 0: not known */
    int32_t gap;        /* the longest gap between its dots or dashes, sixteenths of a pixel; 0: solid */
} PixProbeLine;

/* GetAPointTolerant for a line described in full: with the paper's colour only colours of the
   line's hue belong to it, with its width a blob much thicker than the line is a data marker
   drawn on it, and with its gaps a lone dot is a piece of it. */
typedef int32_t (*GetAPointLineFunction)(int32_t x, int32_t y, PixProbePoint *point, const PixProbeLine *line,
                                         const PixProbeSurface *dc);

#ifdef __cplusplus
}
#endif
