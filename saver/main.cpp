// saver/main.cpp -- hands the command line to the platform layer and runs the saver's entry.
#include "platform/command_line.h"
#include "saver/saver_main.h"

int main(int argc, char** argv)
{
    platform::setCommandLine(argc, argv);
    return saverMain();
}
