/* Allegro in a browser tab: the entry point. The program's own main()
 * (renamed by END_OF_MAIN, see alwebcfg.h) runs through the browser's turns;
 * when it returns, exit() ends the run so that the page is told. */
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <stdlib.h>

extern int _web_main(int argc, char **argv);

int main(int argc, char **argv)
{
   exit(_web_main(argc, argv));
}
