// Prints the listing the core gives for a number and a scan bound, for the end-to-end test to
// compare with what the window shows.
#include "numrules.h"
#include "pass.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: listing_tool N BOUND\n");
        return 2;
    }
    core::AnalysisState s;
    s.n = rt::Val(argv[1]);
    core::RunPass(s, rt::Val(argv[2]), {}, {});
    std::fwrite(s.listing.data(), 1, s.listing.size(), stdout);
    return 0;
}
