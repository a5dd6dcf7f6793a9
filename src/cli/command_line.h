#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The program's command line: the listing of a number, forward searches and the sequences of the
// numbers with halvable pairs, printed without a window. Free of Qt, so that it runs where no
// display is.
namespace cli {

// Whether the arguments are for the command line rather than the window (whose toolkit takes
// options of one dash, such as -platform): the first begins with "--", or is "-h" or "-?".
bool IsCommandLine(int argc, char **argv);

// Runs the command line on the arguments after the program's name: prints to out, reports a
// fault in one line on err. Returns the exit code: 0 done, 1 the range or the output ended
// first, 2 bad input (and nothing printed on out).
int Run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

// Run on the process's arguments, standard output and standard error.
int Main(int argc, char **argv);

} // namespace cli
