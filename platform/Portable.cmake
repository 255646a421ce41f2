# Sources of the platform layer that include no Windows header: they build for
# the target and natively (tests/native: sanitizers and fuzzing). Files under
# native/ stand in for what the Windows build takes from the system.
set(MEVRA_PLATFORM_PORTABLE_SOURCES
  BmpCodec.cpp Collection.cpp Component.cpp Exceptions.cpp List.cpp Md5.cpp Numbers.cpp Object.cpp Persistent.cpp
  Stream.cpp StringList.cpp Text.cpp
  Units.cpp native/Collation.cpp)
