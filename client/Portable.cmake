# Sources of the client that include no Windows header: the zlib streams, the
# settings data they carry and the cut of a dropped text. They build for the
# target and natively (tests/native/client: sanitizers and fuzzing). Files under native/ stand in
# for the Windows build's own (ZLibHeap.cpp over the process heap).
set(MEVRA_CLIENT_PORTABLE_SOURCES ZLibStream.cpp SettingsCodec.cpp DropText.cpp native/ZLibHeap.cpp)
