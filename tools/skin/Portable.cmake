# Sources of the skin tools that include no Windows header: the compressor,
# the package writer and the house-skin generator also build natively
# (round-trip tests, fuzz seeds). Paths are relative to tools/skin/.
set(MEVRA_SKIN_TOOLS_PORTABLE_SOURCES
  HouseSkin.cpp LZHEncoder.cpp PixelCanvas.cpp SkinPackageWriter.cpp)
