/* Allegro in a browser tab: MIDI. The player's raw MIDI bytes are gathered
 * into whole messages and handed to the page's synthesizer (web.js); a page
 * without Web Audio has no MIDI device here. */
#include <allegro.h>
#include <allegro/internal/aintern.h>

extern int web_js_midi_ready(void);
extern void web_js_midi(int status, int data1, int data2);

static int status;   /* the running status; 0 inside a system message */
static int data[2];
static int have;     /* data bytes of the message gathered so far */

static int data_bytes(int s)
{
   switch (s & 0xF0) {
   case 0xC0:
   case 0xD0:
      return 1;
   default:
      return 2;
   }
}

static void web_raw_midi(int byte)
{
   byte &= 0xFF;
   if (byte >= 0xF8)
      return; /* real-time bytes: nothing to play */
   if (byte >= 0x80) {
      /* A system message (SysEx and the like) is not played; it ends the
       * running status. */
      status = byte < 0xF0 ? byte : 0;
      have = 0;
      return;
   }
   if (!status)
      return;
   data[have++] = byte;
   if (have == data_bytes(status)) {
      web_js_midi(status, data[0], have > 1 ? data[1] : 0);
      have = 0;
   }
}

static int web_midi_detect(int input)
{
   return !input && web_js_midi_ready();
}

static int web_midi_init(int input, int voices)
{
   (void)voices;
   if (input || !web_js_midi_ready()) {
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("The page's synthesizer is not running"));
      return -1;
   }
   status = 0;
   have = 0;
   return 0;
}

static void web_midi_exit(int input)
{
   (void)input;
   /* All sound off on every channel. */
   for (int channel = 0; channel < 16; channel++)
      web_js_midi(0xB0 | channel, 120, 0);
}

MIDI_DRIVER midi_web = {
   MIDI_WEB,
   empty_string,
   empty_string,
   "Web synthesizer",
   0, 0, 0xFFFF, 0, -1, -1,
   web_midi_detect,
   web_midi_init,
   web_midi_exit,
   NULL, NULL, /* mixer volume */
   web_raw_midi,
   _dummy_load_patches,
   _dummy_adjust_patches,
   _dummy_key_on,
   _dummy_noop1,
   _dummy_noop2,
   _dummy_noop3,
   _dummy_noop2,
   _dummy_noop2
};
