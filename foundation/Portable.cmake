# Sources of the control foundation that include no Windows header: they
# also build natively (tests/native/foundation). Paths are relative to
# foundation/.
set(MEVRA_FOUNDATION_PORTABLE_SOURCES PackedBitmap.cpp)
