/* Hooks preloaded into the demo by the Xvfb tests.

   install_sound: with TESSERA_PEEK set, keeps a copy of tempola.xyz as it
   stands when sound is installed, which is after all loading at start-up and
   before the intro loads its own pictures. The copy is made even when there
   is no such file (then it is empty), so that it shows the helper ran.

   load_pcx: with TESSERA_SIGNAL_AT_LOAD=N:SIG, the Nth picture loaded sends
   the demo signal SIG while it is being loaded, so that a test can catch the
   loading steps.

   stop_midi: with TESSERA_HANG_IN_STOP_MIDI set, never returns, as a
   shutdown that hangs. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int install_sound(int digi, int midi, const char *cfg_path)
{
    const char *copy = getenv("TESSERA_PEEK");
    FILE *out = copy != NULL ? fopen(copy, "wb") : NULL;
    FILE *in = copy != NULL ? fopen("tempola.xyz", "rb") : NULL;
    if (out != NULL && in != NULL) {
        int c;
        while ((c = fgetc(in)) != EOF) {
            fputc(c, out);
        }
    }
    if (in != NULL) {
        fclose(in);
    }
    if (out != NULL) {
        fclose(out);
    }
    int (*real)(int, int, const char *) =
        (int (*)(int, int, const char *))dlsym(RTLD_NEXT, "install_sound");
    return real(digi, midi, cfg_path);
}

void *load_pcx(const char *filename, void *pal)
{
    static int loaded;
    int at = 0, sig = 0;
    const char *when = getenv("TESSERA_SIGNAL_AT_LOAD");
    if (when != NULL && sscanf(when, "%d:%d", &at, &sig) == 2 && ++loaded == at) {
        kill(getpid(), sig);
    }
    void *(*real)(const char *, void *) =
        (void *(*)(const char *, void *))dlsym(RTLD_NEXT, "load_pcx");
    return real(filename, pal);
}

void stop_midi(void)
{
    if (getenv("TESSERA_HANG_IN_STOP_MIDI") != NULL) {
        for (;;) {
            pause();
        }
    }
    void (*real)(void) = (void (*)(void))dlsym(RTLD_NEXT, "stop_midi");
    real();
}
