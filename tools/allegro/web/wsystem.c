/* Allegro in a browser tab: the system driver, the keyboard and the lists
 * of drivers. The page (web.js) queues the DOM's key events; they reach
 * Allegro's key[] at the yield points, where the program gives the browser
 * its turn. Sound and graphics other than ours, mouse and joystick: none. */
#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <emscripten.h>

extern void web_js_init(const unsigned char *codes, int count);
extern int web_js_take_key(void);
extern void web_js_message(const char *text);

static int scancode_of(int code, int right, int *ascii);

/* The DOM key codes the keyboard reads, which the page keeps from the
 * browser (no scrolling, no menus) and lets go of when the tab loses the
 * focus. */
static unsigned char handled_codes[256];

static int web_sys_init(void)
{
   int count = 0, code, ascii;
   os_type = OSTYPE_UNKNOWN;
   for (code = 0; code < 256; code++) {
      if (scancode_of(code, 0, &ascii))
         handled_codes[count++] = code;
   }
   web_js_init(handled_codes, count);
   return 0;
}

static void web_sys_exit(void)
{
}

static void web_get_executable_name(char *output, int size)
{
   _al_sane_strncpy(output, "/tessera", size);
}

static void web_message(AL_CONST char *msg)
{
   web_js_message(msg);
}

static void web_yield_timeslice(void)
{
   web_sleep(0);
}

static int web_desktop_color_depth(void)
{
   return 32;
}

SYSTEM_DRIVER system_web = {
   SYSTEM_WEB,
   empty_string,
   empty_string,
   "Web",
   web_sys_init,
   web_sys_exit,
   web_get_executable_name,
   NULL, /* find_resource */
   NULL, /* set_window_title */
   NULL, /* set_close_button_callback */
   web_message,
   NULL, /* assert */
   NULL, /* save_console_state */
   NULL, /* restore_console_state */
   NULL, /* create_bitmap */
   NULL, /* created_bitmap */
   NULL, /* create_sub_bitmap */
   NULL, /* created_sub_bitmap */
   NULL, /* destroy_bitmap */
   NULL, /* read_hardware_palette */
   NULL, /* set_palette_range */
   NULL, /* get_vtable */
   NULL, /* set_display_switch_mode */
   NULL, /* display_switch_lock */
   web_desktop_color_depth,
   NULL, /* get_desktop_resolution */
   NULL, /* get_gfx_safe_mode */
   web_yield_timeslice,
   NULL, NULL, NULL, NULL, /* mutexes: one thread */
   NULL, NULL, NULL, NULL, NULL, NULL, NULL /* the lists below */
};

/* The DOM's legacy key codes the demo and Allegro's usual keys need. */
enum {
   DOM_ALT = 18,
   DOM_ENTER = 13,
   DOM_ESC = 27,
   DOM_SPACE = 32,
   DOM_LEFT = 37,
   DOM_0 = 48,
   DOM_A = 65,
   DOM_F1 = 112,
   DOM_RIGHT_SIDE = 1 /* the page adds this bit for a key on the right (AltGr) */
};

static int scancode_of(int code, int right, int *ascii)
{
   *ascii = 0;
   if (code >= DOM_0 && code < DOM_0 + 10) {
      *ascii = code;
      return KEY_0 + (code - DOM_0);
   }
   if (code >= DOM_A && code < DOM_A + 26) {
      *ascii = code - DOM_A + 'a';
      return KEY_A + (code - DOM_A);
   }
   if (code >= DOM_F1 && code < DOM_F1 + 12) {
      return KEY_F1 + (code - DOM_F1);
   }
   if (code >= DOM_LEFT && code < DOM_LEFT + 4) {
      static const int ARROWS[4] = {KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN};
      return ARROWS[code - DOM_LEFT];
   }
   switch (code) {
   case DOM_ESC: *ascii = 27; return KEY_ESC;
   case DOM_SPACE: *ascii = ' '; return KEY_SPACE;
   case DOM_ENTER: *ascii = 13; return KEY_ENTER;
   case DOM_ALT: return right ? KEY_ALTGR : KEY_ALT;
   }
   return 0;
}

void _web_poll_keyboard(void)
{
   int event;
   while ((event = web_js_take_key()) >= 0) {
      /* event: code << 2 | right side << 1 | down */
      int ascii;
      const int scancode = scancode_of(event >> 2, (event >> 1) & DOM_RIGHT_SIDE, &ascii);
      if (scancode == 0 || keyboard_driver != &keyboard_web)
         continue;
      if (event & 1)
         _handle_key_press(ascii, scancode);
      else
         _handle_key_release(scancode);
   }
}

static int web_key_init(void)
{
   return 0;
}

static void web_key_exit(void)
{
}

KEYBOARD_DRIVER keyboard_web = {
   KEYBOARD_WEB,
   empty_string,
   empty_string,
   "Web keyboard",
   FALSE, /* the browser repeats keys itself */
   web_key_init,
   web_key_exit,
   NULL, NULL, NULL, NULL, NULL, NULL, NULL
};

_DRIVER_INFO _system_driver_list[] = {
   {SYSTEM_WEB, &system_web, TRUE},
   {SYSTEM_NONE, &system_none, FALSE},
   {0, NULL, 0}
};

_DRIVER_INFO _keyboard_driver_list[] = {
   {KEYBOARD_WEB, &keyboard_web, TRUE},
   {0, NULL, 0}
};

_DRIVER_INFO _timer_driver_list[] = {
   {TIMER_WEB, &timer_web, TRUE},
   {0, NULL, 0}
};

_DRIVER_INFO _mouse_driver_list[] = {
   {0, NULL, 0}
};

_DRIVER_INFO _gfx_driver_list[] = {
   {GFX_WEB, &gfx_web, TRUE},
   {0, NULL, 0}
};

_DRIVER_INFO _digi_driver_list[] = {
   {0, NULL, 0}
};

BEGIN_MIDI_DRIVER_LIST
   {MIDI_WEB, &midi_web, TRUE},
END_MIDI_DRIVER_LIST

BEGIN_JOYSTICK_DRIVER_LIST
END_JOYSTICK_DRIVER_LIST
