// Allegro in a browser tab: MIDI. The player's raw MIDI bytes are gathered
// into whole messages by the program's own MIDI parser and handed to the
// page's synthesizer (web.js); a page without Web Audio has no MIDI device
// here.
#include <allegro.h>

#include "platform/midi_driver.h"
#include "platform/midi_parse.h"

extern "C" int web_js_midi_ready(void);
extern "C" void web_js_midi(int status, int data1, int data2);

static const int CONTROL_CHANGE = 0xB0;
static const int ALL_SOUND_OFF = 120;
static const int CHANNELS = 16;

static midi_parser parser;

static void web_raw_midi(int byte)
{
    midi_event e;
    if (!ZE_midi_parse_byte(&parser, byte, &e)) {
        return;
    }
    const int status = MIDI_FIRST_STATUS + (e.type << 4) + e.channel;
    if (e.type == MIDI_PITCH_BEND) {
        web_js_midi(status, e.data1 & 0x7F, e.data1 >> 7);
    } else {
        web_js_midi(status, e.data1, e.data2);
    }
}

static int web_midi_detect(int input)
{
    return !input && web_js_midi_ready();
}

static int web_midi_init(int input, int)
{
    if (input || !web_js_midi_ready()) {
        ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE,
                 get_config_text("The page's synthesizer is not running"));
        return -1;
    }
    ZE_midi_parser_reset(&parser);
    return 0;
}

static void web_midi_exit(int)
{
    for (int channel = 0; channel < CHANNELS; channel++) {
        web_js_midi(CONTROL_CHANGE | channel, ALL_SOUND_OFF, 0);
    }
}

constinit MIDI_DRIVER midi_web =
    ZE_raw_midi_driver(MIDI_WEB, "Web synthesizer", web_midi_detect, web_midi_init, web_midi_exit,
                       NULL, NULL, web_raw_midi);
