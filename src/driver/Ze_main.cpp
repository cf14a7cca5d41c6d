// Tessera: a self-running demo. Start-up, the intro, the main part, shutdown.
#include <allegro.h>

#include "driver/loop.h"
#include "driver/options.h"
#include "driver/startup.h"
#include "intro/tulor.h"
#include "platform/signals.h"

int main(int argc, char **argv)
{
    ZE_take_options(argc, argv);
    ZE_startup();
    TU_intro();
    // After SIGINT, SIGTERM or SIGHUP in the intro the main part never starts.
    ZE_end_if_signalled();
    ZE_demo_loop();
    ZE_shutdown();
    ZE_end_if_signalled();
    return 0;
}
END_OF_MAIN()
