# Sources of the skin engine that include no Windows header: the package
# reader and the INI side of the skin sections build for the target and
# natively (tests/native: sanitizers and fuzzing). Paths are relative to skin/.
set(MEVRA_SKIN_PORTABLE_SOURCES
  package/LZH.cpp package/QuickIni.cpp package/SkinReader.cpp SkinSections.cpp)
