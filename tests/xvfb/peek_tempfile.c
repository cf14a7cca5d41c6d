/* Preloaded into the demo by e2e_files.sh: keeps a copy of tempola.xyz as it
   stands when sound is installed, which is after all loading at start-up and
   before the intro loads its own pictures. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

int install_sound(int digi, int midi, const char *cfg_path)
{
    const char *copy = getenv("TESSERA_PEEK");
    FILE *in = fopen("tempola.xyz", "rb");
    if (copy != NULL && in != NULL) {
        FILE *out = fopen(copy, "wb");
        int c;
        while (out != NULL && (c = fgetc(in)) != EOF) {
            fputc(c, out);
        }
        if (out != NULL) {
            fclose(out);
        }
    }
    if (in != NULL) {
        fclose(in);
    }
    int (*real)(int, int, const char *) =
        (int (*)(int, int, const char *))dlsym(RTLD_NEXT, "install_sound");
    return real(digi, midi, cfg_path);
}
