#include "cli/command_line.h"

// The command line alone, as a console program: on Windows the window program has no console to
// print to, so this companion beside it prints what `summenleiter --liste` prints elsewhere.
int main(int argc, char *argv[])
{
    return cli::Main(argc, argv);
}
