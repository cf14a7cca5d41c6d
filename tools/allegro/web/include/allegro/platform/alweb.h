/* The drivers of Allegro in a browser tab, and the yield points through
 * which the program gives the browser its turn. There is one thread: the
 * timer handlers (the MIDI player among them) run on it, at the yield
 * points, with the time that has passed since the last one. */
#ifndef ALWEB_H
#define ALWEB_H

#ifndef ALLEGRO_WEB
   #error bad include
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define SYSTEM_WEB   AL_ID('W','E','B',' ')
#define TIMER_WEB    AL_ID('W','E','B','T')
#define KEYBOARD_WEB AL_ID('W','E','B','K')
#define GFX_WEB      AL_ID('W','E','B','G')
#define MIDI_WEB     AL_ID('W','E','B','M')

AL_VAR(SYSTEM_DRIVER, system_web);
AL_VAR(TIMER_DRIVER, timer_web);
AL_VAR(KEYBOARD_DRIVER, keyboard_web);
AL_VAR(GFX_DRIVER, gfx_web);
AL_VAR(MIDI_DRIVER, midi_web);

/* Shows the screen on the page's canvas through the current palette, then
 * waits for the browser's next frame (at most one frame per display
 * refresh). After a vsync() that has already waited, it only shows. */
AL_FUNC(void, web_show_frame, (void));

/* Gives the browser its turn for `ms` milliseconds (0: just a turn), then
 * reads the keys and runs the timer handlers that fell due meanwhile. */
AL_FUNC(void, web_sleep, (unsigned int ms));

/* Internal: waits for the browser's next display frame, then as web_sleep. */
AL_FUNC(void, _web_wait_display_frame, (void));
/* Internal: the keys pressed and released since the last call. */
AL_FUNC(void, _web_poll_keyboard, (void));

#ifdef __cplusplus
}
#endif

#endif
