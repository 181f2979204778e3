// saver/main.cpp -- hands the command line to the platform layer and runs the saver's entry.
#include "platform/command_line.h"
#include "platform/stop_signals.h"
#include "saver/saver_main.h"

int main(int argc, char** argv)
{
    platform::catchStopSignals();
    platform::setCommandLine(argc, argv);
    return saverMain();
}
