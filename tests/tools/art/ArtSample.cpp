// A library that carries the sample images (res/): programs that use it get
// them through mevra_resources, as programs get a control library's cursors.
#include "tests/tools/art/ArtSample.h"

const char* const ArtSampleCursor = "ART_SAMPLE_CURSOR";
