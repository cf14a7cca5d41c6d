// Tessera: a self-running demo. Start-up, the intro, the main part, shutdown.
#include <allegro.h>

#include "driver/loop.h"
#include "driver/startup.h"
#include "intro/tulor.h"

int main(void)
{
    ZE_startup();
    TU_intro();
    ZE_demo_loop();
    ZE_shutdown();
    return 0;
}
END_OF_MAIN()
