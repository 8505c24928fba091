#include "driver/cleanup_sequence.h"

// The command line is not read.
int main(int /*argc*/, char** /*argv*/) { return RunCleanupSequence(PlatformCleanupServices()); }
