// The sequence of pictures and the flash: every 1569 ticks the next picture
// comes in near-white and fades to its own colours in 100 ticks.
#include "sequence.h"

#include <cstdio>

#include "base/random.h"
#include "base/state.h"
#include "field/field.h"
#include "overlays/extras.h"
#include "platform/files.h"
#include "resources/archive.h"

PALETTE tinted;

static const int16_t LAST_PICTURE = RES_PICTURES - 1;
static const int MAX_COMPONENT = 63;
static const int64_t PERCENT = 100;

void ZE_track_transition(void)
{
    if (ZE_read(flags.part_clock) < PART_TICKS) {
        return;
    }
    const int16_t field = ZE_read(flags.field);
    if (field >= LAST_PICTURE) {
        ZE_write(flags.done, uint8_t{1});
        return;
    }

    const int16_t next = static_cast<int16_t>(field + 1);
    ZE_write(flags.field, next);
    set_palette_range(iso_pal[next], 0, PAL_SIZE - 1, 0);

    // A tick in progress finishes first, and none starts until the clocks,
    // the motion and the letters are all set for the new picture.
    std::lock_guard<std::mutex> tick(ZE_tick_lock);
    ZE_write(flags.flash, FLASH_START);
    const int16_t mode = static_cast<int16_t>((ZE_rand() % 1000) / 250 + 1);
    ZE_write(flags.mode, mode);
    ZE_write(flags.part_clock, 0);
    ZE_write(flags.wave, int16_t{0});
    ZE_write(flags.hold, CHANGE_HOLD);
    ZE_assign_iso_field(mode);
    // Every letter sinks 4 pixels, launched or not; this works against the
    // upward drift of the circle.
    for (int i = 0; i < LETTERS; i++) {
        ZE_write(_logo.y[i], ZE_read(_logo.y[i]) + LETTER_DROP);
    }
}

void ZE_modify_palette(void)
{
    const int16_t field = ZE_read(flags.field);
    switch (snap.flash) {
    case FLASH_IDLE:
        break;
    case FLASH_RESTORE:
        set_palette_range(iso_pal[field], 0, PAL_SIZE - 1, 0);
        ZE_write(flags.flash, FLASH_IDLE);
        break;
    default:
        ZE_tint_palette(iso_pal[field], MAX_COMPONENT, MAX_COMPONENT, MAX_COMPONENT, snap.flash, 0,
                        1);
        set_palette_range(tinted, 0, PAL_SIZE - 1, 0);
        break;
    }
}

void ZE_tint_palette(const RGB *source, int32_t red, int32_t green, int32_t blue, int32_t percent,
                     int32_t brightness, int32_t whole)
{
    // A full 100 percent leaves the colours as they are: the frame of a
    // change shows the new picture's own.
    const int64_t share = (percent == 100) ? 0 : percent;
    const int first = whole ? 0 : PAL_SIZE / 2;
    const int64_t target[3] = {red, green, blue};
    for (int i = first; i < PAL_SIZE; i++) {
        const unsigned char in[3] = {source[i].r, source[i].g, source[i].b};
        unsigned char out[3];
        for (int c = 0; c < 3; c++) {
            // s + (t - s) * percent / 100 over one denominator, truncated toward
            // zero as integer division does: exact, the same on every machine.
            const int64_t s = in[c];
            int64_t result = (PERCENT * s + (target[c] - s) * share) / PERCENT;
            if (brightness != 0 && brightness != PERCENT) {
                result = ((result & 0xff) * brightness) / PERCENT; // (r / 100) x brightness, exact
            }
            out[c] = static_cast<unsigned char>(result & 0xff);
        }
        tinted[i].r = out[0];
        tinted[i].g = out[1];
        tinted[i].b = out[2];
    }
}

void ZE_status_log_i(const char *text, int32_t value)
{
    // A diagnostic aid: without a writable log the line is dropped. Only a
    // plain file is appended to: a link of that name is not followed and a
    // FIFO does not stop the demo.
    const char *why = NULL;
    FILE *log = ZE_open_log_file(LOG_NAME, &why);
    if (log == NULL) {
        return;
    }
    fprintf(log, " %s %d\n", text, static_cast<int>(value));
    fclose(log);
}
