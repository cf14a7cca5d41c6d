/* Allegro in a browser tab: time. There is one thread, so the timer
 * handlers run at the yield points, where the program gives the browser its
 * turn: each yield reads the keys, then hands Allegro's timer the time that
 * has passed since the last one (emscripten_get_now), and Allegro calls
 * every handler that fell due meanwhile, as often as it fell due. Nothing
 * runs between yields, so a handler never interrupts the frame loop. */
#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <emscripten.h>

extern void web_js_sleep(int ms);
extern void web_js_wait_frame(void);

/* A tab in the background gets no turns; when it comes back, the handlers
 * catch up on at most this much time, so the demo pauses rather than
 * racing through what was missed. */
#define MAX_CATCH_UP_MS 250.0

static int timer_on = FALSE;
static double last_ms; /* when the handlers were last given time */

static void run_timers(void)
{
   _web_poll_keyboard();
   if (!timer_on)
      return;
   const double now = emscripten_get_now();
   double ms = now - last_ms;
   if (ms > MAX_CATCH_UP_MS) {
      last_ms = now - MAX_CATCH_UP_MS;
      ms = MAX_CATCH_UP_MS;
   }
   /* Whole timer units only; the remainder waits for the next yield. */
   const long units = (long)(ms * TIMERS_PER_SECOND / 1000.0);
   if (units <= 0)
      return;
   last_ms += units * 1000.0 / TIMERS_PER_SECOND;
   _handle_timer_tick((int)units);
}

void web_sleep(unsigned int ms)
{
   web_js_sleep((int)ms);
   run_timers();
}

void _web_wait_display_frame(void)
{
   web_js_wait_frame();
   run_timers();
}

static int web_timer_init(void)
{
   last_ms = emscripten_get_now();
   timer_on = TRUE;
   return 0;
}

static void web_timer_exit(void)
{
   timer_on = FALSE;
}

/* Sleeps in the browser's turn, giving the handlers their time on waking. */
static void web_rest(unsigned int time, void (*callback)(void))
{
   const double end = emscripten_get_now() + time;
   do {
      if (callback)
         callback();
      const double left = end - emscripten_get_now();
      web_sleep(callback || left < 1.0 ? 0 : (unsigned int)left);
   } while (emscripten_get_now() < end);
}

TIMER_DRIVER timer_web = {
   TIMER_WEB,
   empty_string,
   empty_string,
   "Web timer",
   web_timer_init,
   web_timer_exit,
   NULL, NULL, /* install_int, remove_int: Allegro's own queue */
   NULL, NULL, /* install_param_int, remove_param_int */
   NULL, NULL, /* can_simulate_retrace, simulate_retrace */
   web_rest
};
