// saver/main.cpp -- hands the command line to the platform layer and runs the saver's entry.
#include "platform/command_line.h"
#include "platform/stop_signals.h"
#include "saver/run_mode.h"
#include "saver/saver_main.h"
#include "saver/usage.h"

int main(int argc, char** argv)
{
    platform::catchStopSignals();
    platform::setCommandLine(argc, argv);
    const char* argument = findArgument(platform::commandLine());
    if (isInformationRequest(argument)) return printInformation(argument);
    return saverMain();
}
