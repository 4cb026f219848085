// wavecrest-stations: see StationsTool.h.
#include "tools/stations/StationsTool.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const int status = RunStationsTool(argc, argv, stdout, stderr);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
    {
        std::fputs("wavecrest-stations: cannot write the output\n", stderr);
        return 2;
    }
    return status;
}
