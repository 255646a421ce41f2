# Sources of the GIF codec that include no Windows header: the stream items,
# colour tables, LZW decoding and the encoders. They build for the target and
# natively (tests/native/gif: sanitizers, fuzzing, comparison with another
# decoder and the benchmark). Files under native/ stand in for the Windows
# build's own (GIFItemFile.cpp over the platform's file streams).
set(MEVRA_GIF_PORTABLE_SOURCES
  GIFTypes.cpp GIFColorMap.cpp GIFItem.cpp GIFContainer.cpp GIFSubImage.cpp GIFExtension.cpp
  GIFDecoder.cpp GIFEncoder.cpp native/GIFItemFile.cpp)
