/* Configuration of Allegro in a browser tab (WebAssembly under emscripten):
 * one thread, the C library of emscripten, a little-endian machine. */
#ifndef ALWEBCFG_H
#define ALWEBCFG_H

#ifndef SCAN_DEPEND
   #include <fcntl.h>
   #include <unistd.h>
#endif

/* The program's main() becomes _mangled_main(), called by the platform's
 * own main() (wmain.c), which then ends the run with exit(): a main() that
 * waited in the browser's turn returns to nobody, and only exit() lets the
 * page learn that the program has ended. END_OF_MAIN() picks the call that
 * fits main's parameters, with or without (argc, argv). */
#ifndef ALLEGRO_NO_MAGIC_MAIN
   #define ALLEGRO_MAGIC_MAIN
   #define main _mangled_main
   #undef END_OF_MAIN
   #ifdef __cplusplus
      #define END_OF_MAIN()                                                      \
         __attribute__((unused)) static int _web_call_main(int (*m)(void), int, char **) { return m(); } \
         __attribute__((unused)) static int _web_call_main(int (*m)(int, char **), int c, char **v)      \
         {                                                                       \
            return m(c, v);                                                      \
         }                                                                       \
         extern "C" int _web_main(int c, char **v) { return _web_call_main(_mangled_main, c, v); }
   #else
      #define END_OF_MAIN() \
         int _web_main(int c, char **v) { return _mangled_main(c, v); }
   #endif
#endif

#define ALLEGRO_HAVE_DIRENT_H   1
#define ALLEGRO_HAVE_INTTYPES_H 1
#define ALLEGRO_HAVE_STDINT_H   1
#define ALLEGRO_HAVE_SYS_TIME_H 1
#define ALLEGRO_HAVE_SYS_STAT_H 1
#define ALLEGRO_HAVE_TIME_H     1

#define ALLEGRO_PLATFORM_STR  "Web"
#define ALLEGRO_USE_CONSTRUCTOR
#define ALLEGRO_LITTLE_ENDIAN

#define ALLEGRO_EXTRA_HEADER     "allegro/platform/alweb.h"

#endif
