/* Allegro's platform choice for the browser build (emscripten): the file
 * that Allegro's own build generates for the platforms it knows. */
#ifndef ALPLATF_WEB_H
#define ALPLATF_WEB_H

#ifndef __EMSCRIPTEN__
   #error the web platform of Allegro is built with emscripten
#endif

#define ALLEGRO_WEB
#define ALLEGRO_NO_ASM
#define ALLEGRO_USE_C

#endif
