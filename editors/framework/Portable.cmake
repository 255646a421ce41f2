# Sources of the editor framework that include no Windows header: the
# resource strings, the variant helpers and the value types. They build for
# the target and natively (tests/native/editors/framework: the tests under the
# sanitizers and the variant stream's fuzz target).
set(MEVRA_FRAMEWORK_PORTABLE_SOURCES
  DataStorage.cpp DateTimeFormat.cpp DateUtils.cpp EditStrings.cpp Variants.cpp)
