// The library that carries the text-art sample images as resources.
#pragma once

// The sample cursor's resource name.
extern const char* const ArtSampleCursor;
