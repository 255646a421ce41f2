# Sources of the platform layer that include no Windows header: they build for
# the target and natively (tests/native: sanitizers and fuzzing).
set(MEVRA_PLATFORM_PORTABLE_SOURCES
  Exceptions.cpp Object.cpp Persistent.cpp Stream.cpp Text.cpp)
