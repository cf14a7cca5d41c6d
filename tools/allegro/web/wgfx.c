/* Allegro in a browser tab: the screen. An 8-bit linear screen in memory;
 * the palette is applied when a frame is shown on the page's canvas, so
 * set_palette, fades and flashes repaint it as on a palette display. The
 * display's refresh stands in for the vertical retrace. */
#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <stdint.h>
#include <stdlib.h>

extern void web_js_show(const uint32_t *rgba, int w, int h);

static unsigned char *pixels;  /* the screen, one byte a pixel */
static uint32_t *rgba;         /* the frame the canvas gets */
static uint32_t colours[PAL_SIZE]; /* the palette as canvas pixels */
static int synced = FALSE;     /* a vsync() has waited since the last frame shown */

static void show(void)
{
   const int n = gfx_web.w * gfx_web.h;
   for (int i = 0; i < n; i++)
      rgba[i] = colours[pixels[i]];
   web_js_show(rgba, gfx_web.w, gfx_web.h);
}

/* Waits for the display's next refresh. Allegro's fades count retraces
 * (retrace_count, which the timer advances at 70 Hz) in a loop that only
 * calls here when the count has moved on, so a wait always lasts until it
 * has: on a display faster than 70 Hz, a refresh or two more. */
static void web_vsync(void)
{
   const int before = retrace_count;
   do {
      _web_wait_display_frame();
   } while (retrace_count == before && _timer_installed);
   synced = TRUE;
}

void web_show_frame(void)
{
   if (!pixels)
      return;
   show();
   if (synced)
      synced = FALSE;
   else
      _web_wait_display_frame();
}

static void web_set_palette(AL_CONST RGB *p, int from, int to, int retracesync)
{
   for (int c = from; c <= to; c++) {
      const uint32_t r = _rgb_scale_6[p[c].r & 63];
      const uint32_t g = _rgb_scale_6[p[c].g & 63];
      const uint32_t b = _rgb_scale_6[p[c].b & 63];
      colours[c] = 0xFF000000u | b << 16 | g << 8 | r; /* RGBA bytes, little-endian */
   }
   if (pixels && retracesync) {
      /* As on a palette display, the change shows at the retrace. */
      web_vsync();
      show();
   }
}

static BITMAP *web_gfx_init(int w, int h, int v_w, int v_h, int color_depth)
{
   if (color_depth != 8) {
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("Unsupported color depth"));
      return NULL;
   }
   if (w <= 0 || h <= 0 || (v_w != 0 && v_w != w) || (v_h != 0 && v_h != h)) {
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("Unsupported virtual resolution"));
      return NULL;
   }
   pixels = calloc((size_t)w * h, 1);
   rgba = calloc((size_t)w * h, sizeof *rgba);
   if (!pixels || !rgba) {
      free(pixels);
      free(rgba);
      pixels = NULL;
      rgba = NULL;
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("Not enough memory"));
      return NULL;
   }
   gfx_web.w = w;
   gfx_web.h = h;
   gfx_web.vid_mem = w * h;
   return _make_bitmap(w, h, (uintptr_t)pixels, &gfx_web, 8, w);
}

static void web_gfx_exit(BITMAP *b)
{
   (void)b;
   free(pixels);
   free(rgba);
   pixels = NULL;
   rgba = NULL;
}

GFX_DRIVER gfx_web = {
   GFX_WEB,
   empty_string,
   empty_string,
   "Web canvas",
   web_gfx_init,
   web_gfx_exit,
   NULL, /* scroll */
   web_vsync,
   web_set_palette,
   NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
   NULL, NULL, NULL, NULL,
   0, 0,    /* w, h: set by init */
   TRUE,    /* linear */
   0, 0, 0, 0,
   TRUE     /* windowed: a canvas on a page */
};
