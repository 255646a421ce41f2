# Sources of the text-art converter that include no Windows header: it also
# builds natively (tests/native/tools). Paths are relative to tools/art/.
set(MEVRA_ART_TOOLS_PORTABLE_SOURCES TextArt.cpp)
