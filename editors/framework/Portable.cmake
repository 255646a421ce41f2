# Sources of the editor framework that include no Windows header: the
# resource strings, the variant helpers, the value types, the date formats
# and helpers, the calendar tables and the check-state value formats. They
# build for the target and natively (tests/native/editors/framework: the
# tests under the sanitizers and the fuzz targets). Files under native/ stand
# in for what the Windows build takes from the system (CalendarLocale.cpp).
set(MEVRA_FRAMEWORK_PORTABLE_SOURCES
  CalendarTables.cpp CheckStates.cpp DataStorage.cpp DateTimeFormat.cpp DateUtils.cpp EditStrings.cpp Variants.cpp)
set(MEVRA_FRAMEWORK_NATIVE_SOURCES native/CalendarLocale.cpp)
