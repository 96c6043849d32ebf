// The cquery program. It links no windowing library: the UI module is loaded when something is shown.

#include "lookup/carquery.h"

int main(int argc, char** argv)
{
    return carlume::ProgramMainBlock(argc, argv);
}
